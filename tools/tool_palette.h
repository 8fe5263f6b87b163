// The modeless tool palette: the drawing tool, the pen and eraser widths and
// the drawing colour, edited in place in g_settings.Tool.
#pragma once

#include <windows.h>

#include <cstdint>
#include <type_traits>

// Custom colours of the palette's colour chooser; cleared each time the
// palette is initialised, kept for the rest of the run.
extern COLORREF PaletteCustomColors[16];

// Characters read from the palette's number fields.
constexpr int PALETTE_TEXT_LENGTH = 6;

// The palette's number fields as unsigned decimals (no digits give 0).
unsigned long ParsePaletteNumber(const char* text);
// A pen or eraser width: 0 becomes 1, 256 or more becomes 255.
constexpr uint16_t ClampToolWidth(unsigned long value) {
    return value == 0 ? 1 : value > 255 ? 255 : static_cast<uint16_t>(value);
}
// A colour component: 256 or more becomes 255.
constexpr uint8_t ClampColorComponent(unsigned long value) {
    return value > 255 ? 255 : static_cast<uint8_t>(value);
}

// Dialog procedure of the palette; it also answers WM_PEN_COLOR_PICKED
// (settings/tool_state.h).
INT_PTR CALLBACK PaletteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the platform as is: the calling convention must be the DLGPROC's.
static_assert(std::is_same_v<decltype(&PaletteProc), DLGPROC>,
              "a DLGPROC with its calling convention");

// Creates the palette (hidden) owned by the main window; null when it cannot
// be created. The caller keeps the handle and destroys the palette.
HWND CreateToolPalette(HWND mainWindow);
