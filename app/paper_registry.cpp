#include "app/paper_registry.h"

#include <new>

namespace {

Paper** papers = nullptr;

}  // namespace

bool AllocatePapers() {
    if (papers) return true;
    papers = new (std::nothrow) Paper*[MaxPapers]();
    return papers != nullptr;
}

void FreePapers() {
    delete[] papers;
    papers = nullptr;
}

bool PapersExist() { return papers != nullptr; }

Paper* GetPaper(int slot) {
    if (!papers || slot < 0 || slot >= MaxPapers) return nullptr;
    return papers[slot];
}

void SetPaper(int slot, Paper* paper) {
    if (papers && slot >= 0 && slot < MaxPapers) papers[slot] = paper;
}

int FindFreeSlot() {
    if (!papers) return MaxPapers;
    for (int slot = 0; slot < MaxPapers; ++slot) {
        if (!papers[slot]) return slot;
    }
    return MaxPapers;
}

int FindPaperSlot(HWND window) {
    if (!papers || !window) return -1;
    for (int slot = 0; slot < MaxPapers; ++slot) {
        if (papers[slot] && papers[slot]->GetWindow() == window) return slot;
    }
    return -1;
}

LRESULT CALLBACK PaperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int slot = FindPaperSlot(window);
    if (slot < 0) return DefWindowProcA(window, message, wParam, lParam);
    return papers[slot]->HandleMessage(window, message, wParam, lParam);
}

void BringNotesToFront(HWND mainWindow) {
    SetForegroundWindow(mainWindow);
    ForEachPaperWindow([](HWND window) { SetForegroundWindow(window); });
}

void PurgePapers() {
    if (!papers) return;
    for (int slot = 0; slot < MaxPapers; ++slot) {
        Paper* paper = papers[slot];
        if (paper && !paper->GetWindow()) {
            // Empty the slot first: whatever the destructor sends finds no note.
            papers[slot] = nullptr;
            delete paper;
        }
    }
}
