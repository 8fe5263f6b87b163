// The hidden main window: start-up, exit, the tray-menu and accelerator
// commands, and the state the shell keeps for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

constexpr char MAIN_WINDOW_CLASS[] = "Inkslip";

// Private messages of the main window.
constexpr UINT WM_TRAY_NOTIFY = WM_USER;        // from the tray icon
constexpr UINT WM_PURGE_PAPERS = WM_USER + 1;   // a note has torn itself down

// Where the run finds its files: the INI file and the program path whose
// folder holds the default data folder.
struct ShellPaths {
    std::string iniPath;
    std::string programPath;
};

// The paths of a normal run: both from the first command-line argument.
ShellPaths ShellPathsFromCommandLine();
// The data folder of the running shell: DataFolderPath verbatim when set,
// else "data\" in the program's folder.
std::string CurrentDataFolder();

// Registers the "Inkslip" class; false on failure.
bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the hidden main window, which runs the whole start-up with these
// paths. Null on failure.
HWND CreateMainWindow(HINSTANCE instance, const ShellPaths& paths);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the WNDPROC's.
static_assert(std::is_same_v<decltype(&MainWindowProc), WNDPROC>, "a WNDPROC with its calling convention");

// The state of the run, shared by the shell's modules.
struct ShellState {
    HWND mainWindow = nullptr;
    HWND toolPalette = nullptr;
    HMENU trayMenu = nullptr;
    // Set just before a hot key or a tray double click runs the new-note
    // command; lets IsNoSizing skip the size dialog.
    uint32_t NewFromHotkey = 0;
    ShellPaths paths;
};
extern ShellState g_shell;

// Runs a main-window command (tray menu, accelerator) by id.
void RunCommand(HWND mainWindow, int id);

// New note from a BMP file at a known path (the open dialog's answer).
void NewPaperFromFile(HWND mainWindow, const char* path);
