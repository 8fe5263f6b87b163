// The version information box.
#pragma once

#include <windows.h>

// Shows the box with the program's version. 1 when shown, 0 when the version
// could not be read.
int ShowVersionBox(HWND owner);
// The box without a version number, for when ShowVersionBox fails.
void ShowFallbackVersionBox(HWND owner);
