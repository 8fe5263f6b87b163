#include "settings/swatch.h"

#include <commdlg.h>

#include "canvas/gdi_handles.h"

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

}  // namespace

void PaintSwatch(HWND dialog, int controlId, COLORREF colour) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    PaintScope paint(control);
    if (!paint.Dc()) return;
    // Declared in this order, the brush is put out of the DC before it is deleted.
    gdi_handles::BrushHandle brush(CreateSolidBrush(colour));
    if (!brush) return;
    gdi_handles::SelectObjectGuard select(paint.Dc(), brush.Get());
    // The control's inside is one colour; flooding that colour from (1, 1)
    // fills all of it and stops at anything drawn in another colour.
    COLORREF surface = GetPixel(paint.Dc(), 0, 0);
    ExtFloodFill(paint.Dc(), 1, 1, surface, FLOODFILLSURFACE);
}

void ChooseSwatchColor(HWND owner, ColorQuad& colour, COLORREF (&customColors)[16]) {
    CHOOSECOLORA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.rgbResult = ColorQuadToColorRef(colour);
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (ChooseColorA(&chooser)) SetColorQuadFromColorRef(colour, chooser.rgbResult);
}
