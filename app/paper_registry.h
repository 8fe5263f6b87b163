// The registry of notes: a fixed table of slots whose index is the note's
// number. The number names the note's window class and its data files, so the
// lowest free slot is what a new note is called.
#pragma once

#include "paper/paper.h"

#include <windows.h>

#include <type_traits>

constexpr int MaxPapers = 255;

// Makes the table with every slot empty; false when memory is short.
bool AllocatePapers();
// Deletes the table itself (the notes must already be gone).
void FreePapers();
bool PapersExist();

Paper* GetPaper(int slot);
void SetPaper(int slot, Paper* paper);
// The lowest empty slot, or MaxPapers when every slot is taken (or there is no
// table).
int FindFreeSlot();
// The first slot whose note has this window, or -1.
int FindPaperSlot(HWND window);

// Given to every note's window class: hands the message to the note that owns
// the window, or to DefWindowProcA while no note claims it yet (creation) or
// any more (teardown).
LRESULT CALLBACK PaperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the WNDPROC's.
static_assert(std::is_same_v<decltype(&PaperWindowProc), WNDPROC>, "a WNDPROC with its calling convention");

// The main window, then every note in slot order, to the foreground.
void BringNotesToFront(HWND mainWindow);

// Deletes every note that has torn itself down (no window left) and frees its
// slot. A note asks for this as the last act of its teardown.
void PurgePapers();

// Calls action(window) for the window of every registered note, in slot order.
template <typename Action>
void ForEachPaperWindow(Action action) {
    for (int slot = 0; slot < MaxPapers; ++slot) {
        Paper* paper = GetPaper(slot);
        if (paper && paper->GetWindow()) action(paper->GetWindow());
    }
}
