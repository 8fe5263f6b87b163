// Reading and writing the values of the INI file: pure text conversions with
// no file or window behind them.
#pragma once

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

// The folder part (drive and directory, with its trailing separator) of a
// path; empty when it has none. Double-byte characters whose second byte is a
// backslash are not taken for separators.
std::string FolderOfPath(const std::string& path);
// The first argument of a command line as Windows splits it (quotes removed).
std::string FirstCommandLineArgument(const char* commandLine);
