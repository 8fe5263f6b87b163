// The registry of notes: a fixed table of slots whose index is the note's
// number. The number names the note's window class and its data files, so the
// lowest free slot is what a new note is called. The registry owns its notes:
// it deletes a note only when none of the note's own code is running.
#pragma once

#include "paper/paper.h"

#include <windows.h>

#include <memory>
#include <type_traits>

constexpr int MaxPapers = 255;

// Makes the table with every slot empty; false when memory is short.
bool AllocatePapers();
// Deletes the table and every note still in it.
void FreePapers();
bool PapersExist();

Paper* GetPaper(int slot);
// Puts a note into an empty slot; the registry owns it from then on. The
// note, or null (and the note deleted) when the slot is taken or out of range.
Paper* AddPaper(int slot, std::unique_ptr<Paper> paper);
// Deletes the note of a slot at once and frees the slot; for a note that
// could not be made, whose own code has returned.
void RemovePaper(int slot);
// The lowest empty slot, or MaxPapers when every slot is taken (or there is no
// table).
int FindFreeSlot();
// The first slot whose note has this window, or -1.
int FindPaperSlot(HWND window);
// Whether any note's own code is running (a dialog of a note, a note being
// made): the program must not end under it.
bool AnyPaperInUse();

// Given to every note's window class: hands the message to the note that owns
// the window, or to DefWindowProcA while no note claims it yet (creation) or
// any more (teardown).
LRESULT CALLBACK PaperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the WNDPROC's.
static_assert(std::is_same_v<decltype(&PaperWindowProc), WNDPROC>,
              "a WNDPROC with its calling convention");

// The main window, then every note in slot order, to the foreground.
void BringNotesToFront(HWND mainWindow);

// Deletes every note that has torn itself down (no window left) and whose own
// code has returned, and frees its slot. A torn-down note asks for this.
void PurgePapers();

// Calls action(Paper&) for every registered note, in slot order.
template <typename Action>
void ForEachPaper(Action action) {
    for (int slot = 0; slot < MaxPapers; ++slot) {
        if (Paper* paper = GetPaper(slot)) action(*paper);
    }
}

// Calls action(window) for the window of every registered note, in slot order.
template <typename Action>
void ForEachPaperWindow(Action action) {
    ForEachPaper([&action](Paper& paper) {
        if (paper.GetWindow()) action(paper.GetWindow());
    });
}
