// The two global hot keys of the main window.
#pragma once

#include <windows.h>

constexpr int HK_NEW = 1;   // new note
constexpr int HK_HIDE = 2;  // hide all / show all

// Registers both when IsUseHotkey is 1; a pair that cannot be registered (the
// combination belongs to another program) is forgotten: set to 0, silently.
void RegisterHotkeys(HWND mainWindow);
void OnHotkey(HWND mainWindow, int id);
