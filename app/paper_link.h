// The shell's view of a note. The note class lives in paper/; until its header
// is in the tree this declares the same interface with a note that can never
// be made, so that the shell builds and runs (every creation then fails).
#pragma once

#if __has_include("paper/paper.h")
#include "paper/paper.h"
#define INKSLIP_HAVE_PAPER 1
#else
#define INKSLIP_HAVE_PAPER 0

#include "settings/tool_state.h"

#include <windows.h>

class Paper {
public:
    Paper() = default;
    ~Paper() = default;
    Paper(const Paper&) = delete;
    Paper& operator=(const Paper&) = delete;

    bool Create(HWND, WNDPROC, int, int, int, int, int) { return false; }
    bool CreateFromFile(HWND, WNDPROC, int, int, const char*, int) { return false; }
    bool Destroy() { return false; }
    HWND GetWindow() const { return nullptr; }
    static void SetToolState(ToolState*) {}
    static void SetPaletteWindow(HWND) {}
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    bool Undo() { return false; }
    bool Save(const char*) { return false; }
};
#endif
