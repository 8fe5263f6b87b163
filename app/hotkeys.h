// The two global hot keys of the main window (ids HK_NEW and HK_HIDE, from
// settings/hotkey_flags.h).
#pragma once

#include "settings/hotkey_flags.h"

#include <windows.h>

// Registers both when IsUseHotkey is 1; a pair that cannot be registered (the
// combination belongs to another program) is forgotten: set to 0, silently.
// A pair without a key registers nothing.
void RegisterHotkeys(HWND mainWindow);
void OnHotkey(HWND mainWindow, int id);
