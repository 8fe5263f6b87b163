// The modal dialog in which the user gives the width and height of a note's
// drawing area.
#pragma once

#include <windows.h>

#include <cstdint>
#include <type_traits>

// The smallest width and height a note's drawing area may have.
constexpr int32_t MIN_PAPER_SIZE = 20;
// Characters read from each edit box.
constexpr int SIZE_TEXT_LENGTH = 6;

// The text of a size box as a number: leading white space and a sign
// accepted, reading stops at the first other character, no digits give 0.
int32_t ParseSizeText(const char* text);
// True when a size must be raised to the minimum.
constexpr bool IsBelowMinimumSize(int32_t size) {
    return size < MIN_PAPER_SIZE;
}
// Sizes above 95 % of the screen are only taken after a question: the
// screen rule is ScreenLimit / ExceedsScreenLimit of paper_record.h.

// Dialog procedure of the size dialog; the creation parameter points at the
// caller's pair {width, height}.
INT_PTR CALLBACK SizeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the DLGPROC's.
static_assert(std::is_same_v<decltype(&SizeDialog), DLGPROC>,
              "a DLGPROC with its calling convention");

// Runs the size dialog owned by `owner` with `pair` {width, height} as its
// initial values. Returns IDOK after storing the accepted size into `pair`,
// IDCANCEL (pair unchanged) otherwise.
INT_PTR ShowSizeDialog(HWND owner, int32_t pair[2]);
