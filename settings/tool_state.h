// The drawing-tool state shared by pointer between the settings record, every
// note and the tool palette.
#pragma once

#include "settings/color_quad.h"

#include <windows.h>

#include <cstdint>

enum DrawMode : int32_t {
    DRAW_PEN = 0,
    DRAW_ERASE = 1,
    DRAW_FILL = 2,
    DRAW_BOX = 3,
    DRAW_CIRCLE = 4,
    DRAW_TEXT = 5,  // can be stored and selected, draws nothing
};

// Sent to the tool palette after PenColor in the shared ToolState changed
// (a colour picked on a note, which tells the main window, which hands the
// message on); wParam and lParam are 0. The palette shows the
// red, green and blue of the current PenColor in its fields and, while it is
// shown, repaints its swatch.
constexpr UINT WM_PEN_COLOR_PICKED = WM_APP + 1;

struct ToolState {
    uint16_t PenSize;
    uint16_t EraseSize;
    ColorQuad PenColor;
    HMENU TrayMenu;  // the loaded tray menu; never stored
    DrawMode DrawMode;
};
