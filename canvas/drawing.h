// The drawing primitives as the platform draws them on a canvas's memory
// device context. Each call makes its own pen (and brush when it fills),
// selects them, draws, selects the previous ones back and deletes its own, so
// the device context keeps the objects it had.
//
// Coverage of the platform figures, which the canvas operations rely on:
// a one-pixel line covers its start point but not its end point; a wider pen
// draws round ends; Ellipse(l, t, r, b) covers l..r-1 and t..b-1; a surface
// flood fill repaints the connected area of exactly the seed colour.
#pragma once

#include <windows.h>

#include <cstdint>

#include "canvas/rgb.h"

class Canvas;

namespace drawing {

// Ends a piece of platform drawing. The platform may batch drawing calls, and
// the memory of a DIB section (DibSectionCanvas) is read and written directly
// after them: every canvas operation that draws on a device context through
// the platform calls this before it returns, and every direct block access to
// a DIB section's memory flushes first, so that memory always holds the
// finished drawing.
void FinishDrawing();

// Describes a top-down 32-bit DIB of that size (rows first to last, no
// colour table), as every canvas and block path lays out its words.
void DescribeTopDown32(BITMAPINFO* info, int width, int height);

// The single-pixel cases go through the canvas (SetRgb, FillCircle, DrawLine)
// so they are refused outside it; everything else is clipped by the platform.
bool GdiDrawLine(Canvas& canvas, HDC dc, int x1, int y1, int x2, int y2, Rgb colour);
bool GdiDrawThickLine(Canvas& canvas, HDC dc, int x1, int y1, int x2, int y2, Rgb colour,
                      uint16_t width);
// These two return what Ellipse returned, or the canvas's DrawLine for radius 0.
bool GdiDrawCircle(Canvas& canvas, HDC dc, int cx, int cy, int radius, Rgb colour);
bool GdiFillCircle(Canvas& canvas, HDC dc, int cx, int cy, int radius, Rgb colour);
// False when the seed lies outside the canvas.
bool GdiFloodFill(Canvas& canvas, HDC dc, int x, int y, Rgb colour);
bool GdiFillEllipse(HDC dc, int left, int top, int right, int bottom, Rgb colour);

}  // namespace drawing
