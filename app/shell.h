// The hidden main window: start-up, exit, the tray-menu and accelerator
// commands, and the state the shell keeps for the whole run.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>

constexpr char MAIN_WINDOW_CLASS[] = "Inkslip";

// Private messages of the main window; the notes' own (a note torn down, a
// note changed) are WM_PAPER_TORN_DOWN and WM_PAPER_CHANGED of paper.h.
constexpr UINT WM_TRAY_NOTIFY = WM_USER;  // from the tray icon

// Timers of the main window.
constexpr UINT_PTR SAVE_TIMER = 1;  // writes the changed notes, one per tick
constexpr UINT_PTR EXIT_TIMER = 2;  // an exit waiting for dialogs to close

// Where the run finds its files: the INI file (the data folder is the notes'
// own business: CurrentPaperDataFolder).
struct ShellPaths {
    std::string iniPath;
};

// The paths of a normal run: from the first command-line argument.
ShellPaths ShellPathsFromCommandLine();

// Registers the "Inkslip" class; false on failure.
bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the hidden main window, which runs the whole start-up with these
// paths. Null on failure.
HWND CreateMainWindow(HINSTANCE instance, const ShellPaths& paths);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the WNDPROC's.
static_assert(std::is_same_v<decltype(&MainWindowProc), WNDPROC>,
              "a WNDPROC with its calling convention");

// The state of the run, kept by the main window and shared by the shell's
// modules.
struct ShellState {
    // The tool palette: the one handle to it, also for the notes' colour picks.
    HWND toolPalette = nullptr;
    HMENU trayMenu = nullptr;
    ShellPaths paths;
    // The next slot the save timer looks at, and whether a note changed since
    // the current round of saves began.
    int nextSaveSlot = 0;
    bool changedDuringSaves = false;
};
extern ShellState g_shell;

// Runs a main-window command (tray menu, accelerator) by id.
void RunCommand(HWND mainWindow, int id);

// The new-note command. Made by a hot key or a tray double click
// (`quick`), the note skips the size dialog when IsNoSizing is set.
void NewPaper(HWND mainWindow, bool quick);
// New note from a BMP file at a known path (the open dialog's answer).
void NewPaperFromFile(HWND mainWindow, const char* path);
