// The version information box.
#pragma once

#include <windows.h>

#include <string>

// The "ProductVersion" string of a file's version resource, looked up under
// the first translation the file lists; false when it cannot be read.
bool ReadProductVersion(const char* path, std::string& version);
// The three lines of the box for a version text.
std::string VersionBoxText(const std::string& version);

// Shows the box with the version of the given file (the program itself for
// ShowVersionBox). 1 when shown, 0 when the version could not be read.
int ShowVersionBoxFor(HWND owner, const char* path);
int ShowVersionBox(HWND owner);
// The box without a version number, for when ShowVersionBox fails.
void ShowFallbackVersionBox(HWND owner);
