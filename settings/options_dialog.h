// The modal options dialog: default note size and background, folders, the
// two global hot keys and the two behaviour switches.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

// Custom colours of the background colour chooser, kept for the run.
extern COLORREF OptionsCustomColors[16];

// The smallest accepted default width and height.
constexpr int32_t MinDefaultSize = 20;

// Characters read from the dialog's text fields.
constexpr int OPTIONS_TEXT_LENGTH = 259;

// Runs the shell's folder browser. Leaves the chosen folder's path, or an
// empty text when nothing usable was chosen, in `buffer`. Returns false, with
// the buffer untouched, only when the shell allocator is not available.
bool BrowseFolder(HWND owner, const char* title, char* buffer, int bufferSize);

// Dialog procedure of the options dialog, owned by the main window for which
// it registers the hot keys.
INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the DLGPROC's.
static_assert(std::is_same_v<decltype(&OptionsProc), DLGPROC>,
              "a DLGPROC with its calling convention");

// Runs the options dialog owned by the main window; returns IDOK or IDCANCEL.
// While the main window has an options dialog open, brings that one to the
// front instead and returns IDCANCEL at once, the hot keys untouched.
INT_PTR ShowOptionsDialog(HWND mainWindow);
