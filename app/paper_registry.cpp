#include "app/paper_registry.h"

#include <array>
#include <new>

namespace {

using PaperSlots = std::array<std::unique_ptr<Paper>, MaxPapers>;

std::unique_ptr<PaperSlots> papers;

bool IsSlot(int slot) {
    return slot >= 0 && slot < MaxPapers;
}

}  // namespace

bool AllocatePapers() {
    if (!papers) papers.reset(new (std::nothrow) PaperSlots());
    return papers != nullptr;
}

void FreePapers() {
    if (!papers) return;
    // Each slot is emptied before its note goes: whatever the note's teardown
    // sends finds no note for its window.
    for (std::unique_ptr<Paper>& slot : *papers) {
        std::unique_ptr<Paper> gone = std::move(slot);
    }
    papers.reset();
}

bool PapersExist() {
    return papers != nullptr;
}

Paper* GetPaper(int slot) {
    if (!papers || !IsSlot(slot)) return nullptr;
    return (*papers)[slot].get();
}

Paper* AddPaper(int slot, std::unique_ptr<Paper> paper) {
    if (!papers || !IsSlot(slot) || (*papers)[slot]) return nullptr;
    (*papers)[slot] = std::move(paper);
    return (*papers)[slot].get();
}

void RemovePaper(int slot) {
    if (!papers || !IsSlot(slot)) return;
    std::unique_ptr<Paper> gone = std::move((*papers)[slot]);
}

int FindFreeSlot() {
    if (!papers) return MaxPapers;
    for (int slot = 0; slot < MaxPapers; ++slot) {
        if (!(*papers)[slot]) return slot;
    }
    return MaxPapers;
}

int FindPaperSlot(HWND window) {
    if (!papers || !window) return -1;
    for (int slot = 0; slot < MaxPapers; ++slot) {
        if ((*papers)[slot] && (*papers)[slot]->GetWindow() == window) return slot;
    }
    return -1;
}

bool AnyPaperInUse() {
    bool inUse = false;
    ForEachPaper([&inUse](Paper& paper) { inUse = inUse || paper.IsInUse(); });
    return inUse;
}

LRESULT CALLBACK PaperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int slot = FindPaperSlot(window);
    if (slot < 0) return DefWindowProcA(window, message, wParam, lParam);
    return (*papers)[slot]->HandleMessage(window, message, wParam, lParam);
}

void BringNotesToFront(HWND mainWindow) {
    SetForegroundWindow(mainWindow);
    ForEachPaperWindow([](HWND window) { SetForegroundWindow(window); });
}

void PurgePapers() {
    if (!papers) return;
    for (std::unique_ptr<Paper>& slot : *papers) {
        // A note still running its own code asks again once it has returned.
        if (slot && !slot->GetWindow() && !slot->IsInUse()) {
            std::unique_ptr<Paper> gone = std::move(slot);
        }
    }
}
