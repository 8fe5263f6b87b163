// Reading and writing the values of the INI file: pure text conversions with
// no file or window behind them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Leading white space, an optional sign and decimal digits, stopping at the
// first other character; no digits give 0. Wraps modulo 2^32 instead of
// overflowing.
int32_t ParseIniDecimal(const char* text);
// The same with hexadecimal digits and an optional "0x" prefix, unsigned.
uint32_t ParseIniHexadecimal(const char* text);
// 1 when the first byte, as a signed 8-bit number, is above '0': "1" and "y"
// give 1; "0", "-1", " 1" and bytes of 0x80 or more give 0.
int32_t ParseIniFlag(const char* text);

std::string FormatIniDecimal(int32_t value);
std::string FormatIniHexadecimal(uint32_t value);  // "%x": lower case, no prefix
std::string FormatIniFlag(int32_t flag);           // "1" for any non-zero value

// Calls visit(index) with the index of each character of a code page 932
// text, in order: the second byte of a double-byte character is skipped, so
// a trail byte 0x5C (as in "表") is never taken for a backslash.
template <typename Visit>
void ForEachCharacterStart(const std::string& text, Visit visit) {
    for (size_t index = 0; index < text.size(); ++index) {
        visit(index);
        if (IsDBCSLeadByte(static_cast<BYTE>(text[index])) && index + 1 < text.size()) ++index;
    }
}
// One past the last path separator ("\", "/" or a drive's ":"), or 0.
size_t FolderEnd(const std::string& path);
// The folder part (drive and directory, with its trailing separator) of a
// path; empty when it has none.
std::string FolderOfPath(const std::string& path);
// The first argument of a command line as Windows splits it (quotes removed).
std::string FirstCommandLineArgument(const char* commandLine);
