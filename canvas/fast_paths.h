// Block paths for the transfers, fills and files of the canvases. Where the
// source and the destination allow it they move whole blocks (row copies,
// BitBlt, SetDIBitsToDevice, FillRect) instead of one platform call per
// pixel, and give exactly the pixels and results of the per-pixel algorithms
// of shared_canvas (canvas.h), which stay the reference: every function here
// hands over to its reference whenever a block path could not promise the
// same outcome. The canvas classes always take these paths; the references
// are called directly only where a block path gives way, and by the tests
// and benchmarks that hold the two side by side.
#pragma once

#include <windows.h>

#include <cstdint>

#include "canvas/canvas.h"

namespace fast_canvas {

// The shared operations with their block paths (same contracts as the
// shared_canvas functions of the same names).
bool CopyFrom(Canvas& self, const Canvas* source);
bool SaveBmp(const Canvas& self, const char* path);
bool PutDib24(Canvas& self, int x, int y, int width, int height, const uint8_t* rows);
bool DrawRectTo(const Canvas& self, Canvas* target, int x, int y, int width, int height);
bool DrawTo(const Canvas& self, Canvas* target, int x, int y);
bool CopyRowsTo(const PixelBuffer& self, PixelBuffer* target, int x, int y);
bool FillBox(Canvas& self, int left, int top, int right, int bottom, Rgb colour);
Canvas* CopyRect(const Canvas& self, int x, int y, int width, int height);

// The top-left width × height block of a canvas onto a device context at
// (x, y) (the caller has applied its size rules): one platform transfer of
// the block, or, when the canvas has a transparent colour, its opaque pixels
// (as shared_canvas::DrawKeyedToDC draws them). True.
bool DrawBlockToDC(const Canvas& self, HDC dc, int x, int y, int width, int height);

// Every pixel of a device bitmap of width × height selected into `dc` set to
// one colour. Reference: shared_canvas::FillDCByPixels.
void FillDC(HDC dc, int width, int height, Rgb fill);

// Re-creates a canvas from any bitmap, as CreateFromBitmap: its pixels read
// as a top-down 32-bit DIB and written in as SetRawPixel would (a pixel
// buffer keeps their fourth bytes, a device bitmap drops them).
bool CreateFromBitmap(Canvas& self, HBITMAP source);

// Every stored word of a pixel-buffer canvas set to `fill`, unchanged, as
// SetRawPixel would. Reference: one SetRawPixel per pixel.
void FillWords(PixelBuffer& self, Rgb fill);

}  // namespace fast_canvas
