#include "canvas/drawing.h"

#include <cstring>

#include "canvas/canvas.h"
#include "canvas/gdi_handles.h"

namespace drawing {

void FinishDrawing() {
    GdiFlush();
}

void DescribeTopDown32(BITMAPINFO* info, int width, int height) {
    std::memset(info, 0, sizeof *info);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 32;
    info->bmiHeader.biCompression = BI_RGB;
}

namespace {

using gdi_handles::BrushHandle;
using gdi_handles::PenHandle;
using gdi_handles::SelectObjectGuard;

using shared_canvas::AbsoluteRadius;
using shared_canvas::ClampToInt;

// A circle of the given radius with the current brush: pen and, when asked,
// brush made here.
BOOL CircleWithPen(HDC dc, int cx, int cy, int64_t radius, Rgb colour, bool fill) {
    COLORREF platformColour = RgbToColorRef(colour);
    PenHandle pen(CreatePen(PS_SOLID, 1, platformColour));
    BrushHandle brush(fill ? CreateSolidBrush(platformColour) : nullptr);
    BOOL drawn;
    {
        SelectObjectGuard selectPen(dc, pen.Get());
        SelectObjectGuard selectBrush(dc, brush.Get());
        MoveToEx(dc, cx, cy, nullptr);
        drawn = Ellipse(dc, ClampToInt(cx - radius), ClampToInt(cy - radius),
                        ClampToInt(cx + radius), ClampToInt(cy + radius));
    }
    FinishDrawing();
    return drawn;
}

// A line with a solid pen of that width made here.
void LineWithPen(HDC dc, int x1, int y1, int x2, int y2, Rgb colour, int width) {
    PenHandle pen(CreatePen(PS_SOLID, width, RgbToColorRef(colour)));
    {
        SelectObjectGuard selectPen(dc, pen.Get());
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    }
    FinishDrawing();
}

}  // namespace

bool GdiDrawLine(Canvas& canvas, HDC dc, int x1, int y1, int x2, int y2, Rgb colour) {
    if (x1 == x2 && y1 == y2) return canvas.SetRgb(x1, y1, colour);
    LineWithPen(dc, x1, y1, x2, y2, colour, 1);
    return true;
}

bool GdiDrawThickLine(Canvas& canvas, HDC dc, int x1, int y1, int x2, int y2, Rgb colour,
                      uint16_t width) {
    if (width == 0) return false;
    if (x1 == x2 && y1 == y2) {
        // A click without movement: a dot.
        if (width == 1) return canvas.SetRgb(x1, y1, colour);
        return canvas.FillCircle(x1, y1, width / 2, colour);
    }
    LineWithPen(dc, x1, y1, x2, y2, colour, width);
    return true;
}

bool GdiDrawCircle(Canvas& canvas, HDC dc, int cx, int cy, int radius, Rgb colour) {
    int64_t r = AbsoluteRadius(radius);
    if (r == 0) return canvas.DrawLine(cx, cy, cx, cy, colour);
    // Only the pen is ours: the inside is painted with the brush the device
    // context has.
    return CircleWithPen(dc, cx, cy, r, colour, false) != FALSE;
}

bool GdiFillCircle(Canvas& canvas, HDC dc, int cx, int cy, int radius, Rgb colour) {
    int64_t r = AbsoluteRadius(radius);
    if (r == 0) return canvas.DrawLine(cx, cy, cx, cy, colour);
    return CircleWithPen(dc, cx, cy, r, colour, true) != FALSE;
}

bool GdiFloodFill(Canvas& canvas, HDC dc, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= canvas.GetWidth() || y >= canvas.GetHeight()) return false;
    BrushHandle brush(CreateSolidBrush(RgbToColorRef(colour)));
    COLORREF seed = RGB(canvas.GetRed(x, y), canvas.GetGreen(x, y), canvas.GetBlue(x, y));
    BOOL filled;
    {
        SelectObjectGuard selectBrush(dc, brush.Get());
        filled = ExtFloodFill(dc, x, y, seed, FLOODFILLSURFACE);
    }
    FinishDrawing();
    return filled != FALSE;
}

bool GdiFillEllipse(HDC dc, int left, int top, int right, int bottom, Rgb colour) {
    COLORREF platformColour = RgbToColorRef(colour);
    PenHandle pen(CreatePen(PS_SOLID, 1, platformColour));
    BrushHandle brush(CreateSolidBrush(platformColour));
    BOOL drawn;
    {
        SelectObjectGuard selectPen(dc, pen.Get());
        SelectObjectGuard selectBrush(dc, brush.Get());
        MoveToEx(dc, left, top, nullptr);
        drawn = Ellipse(dc, left, top, right, bottom);
    }
    FinishDrawing();
    return drawn != FALSE;
}

}  // namespace drawing
