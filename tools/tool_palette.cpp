#include "tools/tool_palette.h"

#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/swatch.h"

#include <cstdlib>

COLORREF PaletteCustomColors[16] = {};

namespace {

struct ToolButton {
    int id;
    int icon;
    DrawMode mode;
};

const ToolButton TOOL_BUTTONS[] = {
    {IDC_PALETTE_PEN, IDI_PEN, DRAW_PEN},
    {IDC_PALETTE_ERASER, IDI_ERASER, DRAW_ERASE},
    {IDC_PALETTE_FILL, IDI_FILL, DRAW_FILL},
    {IDC_PALETTE_BOX, IDI_BOX, DRAW_BOX},
    {IDC_PALETTE_ELLIPSE, IDI_ELLIPSE, DRAW_CIRCLE},
    {IDC_PALETTE_TEXT, IDI_TEXT, DRAW_TEXT},
};

ToolState& Tool() {
    return g_settings.Tool;
}

void PaintPenSwatch(HWND dialog) {
    PaintSwatch(dialog, IDC_PALETTE_SWATCH, ColorQuadToColorRef(Tool().PenColor));
}

void WriteNumber(HWND dialog, int id, unsigned value) {
    SetDlgItemInt(dialog, id, value, FALSE);
}

unsigned long ReadNumber(HWND dialog, int id) {
    char text[PALETTE_TEXT_LENGTH + 1] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return ParsePaletteNumber(text);
}

// The three component fields show PenColor. Writing them raises their
// EN_CHANGE handling, which stores the same values again.
void WriteColorFields(HWND dialog) {
    WriteNumber(dialog, IDC_PALETTE_RED, Tool().PenColor.red);
    WriteNumber(dialog, IDC_PALETTE_GREEN, Tool().PenColor.green);
    WriteNumber(dialog, IDC_PALETTE_BLUE, Tool().PenColor.blue);
}

void RepaintSwatch(HWND dialog) {
    PaintPenSwatch(dialog);
    InvalidateRect(dialog, nullptr, FALSE);
}

INT_PTR OnInitDialog(HWND dialog) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const ToolButton& button : TOOL_BUTTONS) {
        // Shared icons belong to the system; the palette never destroys them.
        HANDLE icon =
            LoadImageA(instance, MAKEINTRESOURCEA(button.icon), IMAGE_ICON, 16, 16, LR_SHARED);
        SendDlgItemMessageA(dialog, button.id, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(icon));
    }
    PaintPenSwatch(dialog);
    HWND swatch = GetDlgItem(dialog, IDC_PALETTE_SWATCH);
    InvalidateRect(swatch, nullptr, TRUE);
    UpdateWindow(swatch);

    WriteColorFields(dialog);
    WriteNumber(dialog, IDC_PALETTE_ERASE_SIZE, Tool().EraseSize);
    WriteNumber(dialog, IDC_PALETTE_PEN_SIZE, Tool().PenSize);

    int checked = IDC_PALETTE_PEN;
    for (const ToolButton& button : TOOL_BUTTONS) {
        if (button.mode == Tool().DrawMode) checked = button.id;
    }
    CheckRadioButton(dialog, IDC_PALETTE_PEN, IDC_PALETTE_TEXT, checked);

    for (COLORREF& colour : PaletteCustomColors) colour = 0;
    return TRUE;
}

INT_PTR OnPaint(HWND dialog) {
    PaintPenSwatch(dialog);
    return FALSE;
}

// The close box only hides the palette; the tray command brings it back.
INT_PTR OnClose(HWND dialog) {
    ShowWindow(dialog, SW_HIDE);
    EnableMenuItem(Tool().TrayMenu, IDM_SHOW_TOOL_PALETTE, MF_BYCOMMAND | MF_ENABLED);
    g_settings.ToolIsHide = 1;
    return TRUE;
}

// A width applies when its field loses the focus, so half-typed numbers never
// reach the notes.
void OnWidthKillFocus(HWND dialog, int id, uint16_t& width) {
    uint16_t value = ClampToolWidth(ReadNumber(dialog, id));
    WriteNumber(dialog, id, value);
    width = value;
}

// A component applies at every change; an emptied field counts as 0 and is
// left empty so the user can go on typing.
void OnComponentChange(HWND dialog, int id, uint8_t& component) {
    unsigned long value = ReadNumber(dialog, id);
    if (value > 255) SetDlgItemTextA(dialog, id, "255");
    component = ClampColorComponent(value);
    RepaintSwatch(dialog);
}

// The fields always follow the pen colour; each field's change repaints the
// swatch.
INT_PTR OnPenColorPicked(HWND dialog) {
    WriteColorFields(dialog);
    return TRUE;
}

// A cancelled chooser still rewrites the fields, which may have fallen behind
// the pen colour.
void OnSwatchClick(HWND dialog) {
    ChooseSwatchColor(dialog, Tool().PenColor, PaletteCustomColors);
    WriteColorFields(dialog);
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
    for (const ToolButton& button : TOOL_BUTTONS) {
        if (button.id == id) {
            Tool().DrawMode = button.mode;
            return TRUE;
        }
    }
    switch (id) {
        case IDC_PALETTE_PEN_SIZE:
            if (notification == EN_KILLFOCUS) OnWidthKillFocus(dialog, id, Tool().PenSize);
            break;
        case IDC_PALETTE_ERASE_SIZE:
            if (notification == EN_KILLFOCUS) OnWidthKillFocus(dialog, id, Tool().EraseSize);
            break;
        case IDC_PALETTE_RED:
            if (notification == EN_CHANGE) OnComponentChange(dialog, id, Tool().PenColor.red);
            break;
        case IDC_PALETTE_GREEN:
            if (notification == EN_CHANGE) OnComponentChange(dialog, id, Tool().PenColor.green);
            break;
        case IDC_PALETTE_BLUE:
            if (notification == EN_CHANGE) OnComponentChange(dialog, id, Tool().PenColor.blue);
            break;
        case IDC_PALETTE_SWATCH:
            OnSwatchClick(dialog);
            break;
        default:
            break;
    }
    return TRUE;
}

}  // namespace

unsigned long ParsePaletteNumber(const char* text) {
    // At most six characters arrive, so only a pasted sign can push the value
    // out of range; the clamps then take it to the maximum.
    return std::strtoul(text, nullptr, 10);
}

INT_PTR CALLBACK PaletteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog);
        case WM_PAINT:
            return OnPaint(dialog);
        case WM_CLOSE:
            return OnClose(dialog);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_PEN_COLOR_PICKED:
            return OnPenColorPicked(dialog);
        default:
            return FALSE;
    }
}

HWND CreateToolPalette(HWND mainWindow) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TOOL_PALETTE),
                              mainWindow, PaletteProc, 0);
}
