#include "settings/ini_values.h"

#include <windows.h>

#include <cstdio>

namespace {

bool IsIniSpace(char character) {
    return character == ' ' || character == '\t' || character == '\n' || character == '\r' ||
           character == '\v' || character == '\f';
}

int HexadecimalDigitValue(char character) {
    if (character >= '0' && character <= '9') return character - '0';
    if (character >= 'a' && character <= 'f') return character - 'a' + 10;
    if (character >= 'A' && character <= 'F') return character - 'A' + 10;
    return -1;
}

// Sign and digits in the given base after leading white space; the value
// wraps modulo 2^32.
uint32_t ParseWrapped(const char* text, int base) {
    if (!text) return 0;
    while (IsIniSpace(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    if (base == 16 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        HexadecimalDigitValue(text[2]) >= 0) {
        text += 2;
    }
    uint32_t value = 0;
    for (;; ++text) {
        int digit = HexadecimalDigitValue(*text);
        if (digit < 0 || digit >= base) break;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    return negative ? 0u - value : value;
}

}  // namespace

int32_t ParseIniDecimal(const char* text) {
    return static_cast<int32_t>(ParseWrapped(text, 10));
}

uint32_t ParseIniHexadecimal(const char* text) {
    return ParseWrapped(text, 16);
}

int32_t ParseIniFlag(const char* text) {
    if (!text) return 0;
    return static_cast<signed char>(text[0]) > '0' ? 1 : 0;
}

std::string FormatIniDecimal(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return buffer;
}

std::string FormatIniHexadecimal(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(value));
    return buffer;
}

std::string FormatIniFlag(int32_t flag) {
    return flag ? "1" : "0";
}

size_t FolderEnd(const std::string& path) {
    size_t end = 0;
    ForEachCharacterStart(path, [&](size_t index) {
        const char character = path[index];
        if (character == '\\' || character == '/' || character == ':') end = index + 1;
    });
    return end;
}

std::string FolderOfPath(const std::string& path) {
    return path.substr(0, FolderEnd(path));
}

std::string FirstCommandLineArgument(const char* commandLine) {
    std::string argument;
    if (!commandLine) return argument;
    const char* cursor = commandLine;
    while (*cursor == ' ' || *cursor == '\t') ++cursor;
    // The program name ends at the closing quote, or at white space outside
    // quotes; backslashes are literal in it.
    bool quoted = false;
    for (; *cursor; ++cursor) {
        if (*cursor == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (*cursor == ' ' || *cursor == '\t')) break;
        argument += *cursor;
    }
    return argument;
}
