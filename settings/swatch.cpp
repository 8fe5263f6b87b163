#include "settings/swatch.h"

#include <commdlg.h>

static_assert(sizeof(void*) != 4 || sizeof(CHOOSECOLORA) == 36, "the 32-bit chooser layout");

namespace {

// Ends the paint cycle of a window when it goes out of scope.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window(window) { dc = BeginPaint(window, &paint); }
    ~PaintScope() { EndPaint(window, &paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return dc; }

private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};

// A solid brush selected into a DC; the previous brush is put back and the
// brush deleted, in that order.
class SelectedSolidBrush {
public:
    SelectedSolidBrush(HDC dc, COLORREF colour) : dc(dc), brush(CreateSolidBrush(colour)) {
        if (brush) previous = SelectObject(dc, brush);
    }
    ~SelectedSolidBrush() {
        if (!brush) return;
        if (previous) SelectObject(dc, previous);
        DeleteObject(brush);
    }
    SelectedSolidBrush(const SelectedSolidBrush&) = delete;
    SelectedSolidBrush& operator=(const SelectedSolidBrush&) = delete;
    bool IsValid() const { return brush != nullptr; }

private:
    HDC dc;
    HBRUSH brush;
    HGDIOBJ previous = nullptr;
};

}  // namespace

void PaintSwatch(HWND dialog, int controlId, COLORREF colour) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    PaintScope paint(control);
    if (!paint.Dc()) return;
    SelectedSolidBrush brush(paint.Dc(), colour);
    if (!brush.IsValid()) return;
    // The control's inside is one colour; flooding that colour from (1, 1)
    // fills all of it and stops at anything drawn in another colour.
    COLORREF surface = GetPixel(paint.Dc(), 0, 0);
    ExtFloodFill(paint.Dc(), 1, 1, surface, FLOODFILLSURFACE);
}

bool ChooseSwatchColor(HWND owner, ColorQuad& colour, COLORREF (&customColors)[16]) {
    CHOOSECOLORA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.rgbResult = ColorQuadToColorRef(colour);
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorA(&chooser)) return false;
    SetColorQuadFromColorRef(colour, chooser.rgbResult);
    return true;
}
