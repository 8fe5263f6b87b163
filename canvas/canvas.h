// The one abstract raster surface of the program and the faces through which
// its three classes are reached. Every canvas class derives virtually from
// Canvas, so each object holds one Canvas sub-object whichever face it is
// seen through.
#pragma once

#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdint>

#include "canvas/rgb.h"

// Format code of LoadFromMemory: a whole 24-bit BMP file image.
constexpr int BMP_IMAGE_FORMAT = 384;  // 0x180
// Format code of LoadDib24Rows: headerless bottom-up 24-bit rows, padded to 4 bytes.
constexpr int DIB24_ROWS_FORMAT = 257;  // 0x101

class DibSectionCanvas;
class GdiSurface;
class PixelBuffer;

// Pixels are (x, y) with x the column from the left and y the row from the
// top. Reads outside the canvas return 0, writes outside return false. The
// declaration order below is the slot order of the interface.
class Canvas {
public:
    virtual bool CreateFromBitmap(HBITMAP bitmap) = 0;                                       // 0
    virtual bool LoadFromMemory(const void* image, int format) = 0;                          // 1
    virtual bool CopyFrom(const Canvas* source) = 0;                                         // 2
    virtual bool Create(int width, int height, Rgb fill) = 0;                                // 3
    virtual bool LoadBmp(const char* path) = 0;                                              // 4
    virtual bool SaveBmp(const char* path) const = 0;                                        // 5
    virtual int GetWidth() const = 0;                                                        // 6
    virtual int GetHeight() const = 0;                                                       // 7
    virtual Rgb GetRgb(int x, int y) const = 0;                                              // 8
    virtual COLORREF GetColorRef(int x, int y) const = 0;                                    // 9
    virtual Rgb GetRawPixel(int x, int y) const = 0;                                         // 10
    virtual int GetRed(int x, int y) const = 0;                                              // 11
    virtual int GetGreen(int x, int y) const = 0;                                            // 12
    virtual int GetBlue(int x, int y) const = 0;                                             // 13
    virtual bool PutDib24(int x, int y, int width, int height, const uint8_t* rows) = 0;     // 14
    virtual bool SetRgb(int x, int y, Rgb colour) = 0;                                       // 15
    virtual bool SetRawPixel(int x, int y, Rgb value) = 0;                                   // 16
    virtual bool SetRed(int x, int y, int value) = 0;                                        // 17
    virtual bool SetGreen(int x, int y, int value) = 0;                                      // 18
    virtual bool SetBlue(int x, int y, int value) = 0;                                       // 19
    virtual bool AddRed(int x, int y, int delta) = 0;                                        // 20
    virtual bool AddGreen(int x, int y, int delta) = 0;                                      // 21
    virtual bool AddBlue(int x, int y, int delta) = 0;                                       // 22
    virtual bool ScaleRed(int x, int y, double factor) = 0;                                  // 23
    virtual bool ScaleGreen(int x, int y, double factor) = 0;                                // 24
    virtual bool ScaleBlue(int x, int y, double factor) = 0;                                 // 25
    virtual Rgb GetTransparentColor() const = 0;                                             // 26
    virtual bool SetTransparentColor(Rgb colour) = 0;                                        // 27
    virtual bool DrawRectTo(Canvas* target, int x, int y, int width, int height) const = 0;  // 28
    virtual bool DrawRectToDC(HDC dc, int x, int y, int width, int height) const = 0;        // 29
    virtual bool DrawTo(DibSectionCanvas* target, int x, int y) const = 0;                   // 30
    virtual bool DrawTo(GdiSurface* target, int x, int y) const = 0;                         // 31
    virtual bool DrawTo(PixelBuffer* target, int x, int y) const = 0;                        // 32
    virtual bool DrawTo(Canvas* target, int x, int y) const = 0;                             // 33
    virtual bool DrawToDC(HDC dc, int x, int y) const = 0;                                   // 34
    virtual bool TileTo(Canvas* target, int x, int y, int width, int height) const = 0;      // 35
    virtual bool TileToDC(HDC dc, int x, int y, int width, int height) const = 0;            // 36
    virtual bool BlendToDC(HDC dc, int x, int y, double opacity) const = 0;                  // 37
    virtual bool BlendTo(Canvas* target, int x, int y, double opacity) const = 0;            // 38
    virtual bool DrawThickLine(int x1, int y1, int x2, int y2, Rgb colour,
                               uint16_t width) = 0;                                      // 39
    virtual bool DrawLine(int x1, int y1, int x2, int y2, Rgb colour) = 0;               // 40
    virtual bool DrawBox(int left, int top, int right, int bottom, Rgb colour) = 0;      // 41
    virtual bool FillBox(int left, int top, int right, int bottom, Rgb colour) = 0;      // 42
    virtual bool DrawCircle(int cx, int cy, int radius, Rgb colour) = 0;                 // 43
    virtual bool FillCircle(int cx, int cy, int radius, Rgb colour) = 0;                 // 44
    virtual bool FloodFill(int x, int y, Rgb colour) = 0;                                // 45
    virtual bool FillEllipse(int left, int top, int right, int bottom, Rgb colour) = 0;  // 46
    // A new DibCanvas holding a copy of the block; the caller owns it.
    virtual Canvas* CopyRect(int x, int y, int width, int height) const = 0;  // 47
    virtual ~Canvas() = default;                                              // 48

protected:
    Canvas() = default;
    Canvas(const Canvas&) = default;
    Canvas& operator=(const Canvas&) = default;
};

// A canvas whose pixels sit in a bitmap selected into a memory device
// context, so platform drawing reaches them.
class GdiSurface : public virtual Canvas {
public:
    virtual HBITMAP GetBitmap() const = 0;
    virtual HDC GetDeviceContext() const = 0;

protected:
    GdiSurface() = default;
    GdiSurface(const GdiSurface&) = default;
    GdiSurface& operator=(const GdiSurface&) = default;
};

// A canvas whose pixels are a top-down 32-bit array in memory, stride
// width × 4 bytes, word x + y × width holding pixel (x, y) as 0xZZRRGGBB.
class PixelBuffer : public virtual Canvas {
public:
    virtual bool CopyPixelsFrom(const PixelBuffer* source) = 0;
    virtual const BITMAPINFO* GetBitmapInfo() const = 0;
    // The word of pixel (0, y); null when y is outside the canvas.
    virtual const uint32_t* GetConstRow(int y) const = 0;
    virtual uint32_t* GetRow(int y) = 0;

protected:
    PixelBuffer() = default;
    PixelBuffer(const PixelBuffer&) = default;
    PixelBuffer& operator=(const PixelBuffer&) = default;
};

// Both at once: a pixel array that is also selected into a device context.
class GdiPixelBuffer : public GdiSurface, public virtual Canvas, public virtual PixelBuffer {
protected:
    GdiPixelBuffer() = default;
    GdiPixelBuffer(const GdiPixelBuffer&) = default;
    GdiPixelBuffer& operator=(const GdiPixelBuffer&) = default;
};

// The algorithms every canvas class shares, written once against the
// interface. They move pixels one at a time through the virtual operations
// and are the reference for the block paths of fast_paths.h.
namespace shared_canvas {

// The most pixels a canvas holds: its 32-bit words must fit in 2 GiB, the
// largest block the platform's bitmap functions describe.
constexpr int64_t MAX_CANVAS_PIXELS = 0x1FFFFFFF;

// Coordinates are computed in 64 bits so that far-off positions cannot
// overflow; a result beyond the int range is outside every canvas.
inline bool FitsInt(int64_t value) {
    return value >= INT_MIN && value <= INT_MAX;
}
inline int ClampToInt(int64_t value) {
    return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}
// |radius| without overflow for the most negative int.
inline int64_t AbsoluteRadius(int radius) {
    return radius < 0 ? -static_cast<int64_t>(radius) : static_cast<int64_t>(radius);
}

// Whether a width and a height are both at least 1.
bool HasPixels(int width, int height);
// Whether a canvas of that size may be made: both sides at least 1 and the
// product, computed without overflow, at most MAX_CANVAS_PIXELS.
bool IsAcceptableSize(int width, int height);

bool CopyFrom(Canvas& self, const Canvas* source);
bool LoadBmp(Canvas& self, const char* path);
bool SaveBmp(const Canvas& self, const char* path);
// An image handed over without its length is trusted to hold at least its
// headers and everything they promise.
bool LoadFromMemory(Canvas& self, const void* image, int format);
// A BMP file image of a known length: never read beyond it.
bool LoadBmpImage(Canvas& self, const void* image, size_t size);
bool PutDib24(Canvas& self, int x, int y, int width, int height, const uint8_t* rows);
bool AddRed(Canvas& self, int x, int y, int delta);
bool AddGreen(Canvas& self, int x, int y, int delta);
bool AddBlue(Canvas& self, int x, int y, int delta);
bool ScaleRed(Canvas& self, int x, int y, double factor);
bool ScaleGreen(Canvas& self, int x, int y, double factor);
bool ScaleBlue(Canvas& self, int x, int y, double factor);
bool DrawRectTo(const Canvas& self, Canvas* target, int x, int y, int width, int height);
bool DrawToDibSection(const Canvas& self, DibSectionCanvas* target, int x, int y);
bool DrawToGdiSurface(const Canvas& self, GdiSurface* target, int x, int y);
bool DrawTo(const Canvas& self, Canvas* target, int x, int y);
// DrawTo between pixel-buffer canvases: one copy per row when no
// transparent colour is set.
bool CopyRowsTo(const PixelBuffer& self, PixelBuffer* target, int x, int y);
bool TileTo(const Canvas& self, Canvas* target, int x, int y, int width, int height);
// Tiles a device context through DrawToDC, cut by a clipping region that
// stays selected into the device context afterwards.
bool TileToDCWithClipRegion(const Canvas& self, HDC dc, int x, int y, int width, int height);
// Tiles a device context with DrawRectToDC blocks cut to size; the device
// context is left as it was.
bool TileToDCByBlocks(const Canvas& self, HDC dc, int x, int y, int width, int height);
// The colour-keyed path of DrawToDC and DrawRectToDC: the top-left width ×
// height block, one SetPixel per pixel that is not transparent. Drawn onto its
// own device context, as BlendToDC, a canvas is read from a copy made first;
// both are false only when that copy cannot be made.
bool DrawKeyedToDC(const Canvas& self, HDC dc, int x, int y, int width, int height);
bool BlendToDC(const Canvas& self, HDC dc, int x, int y, double opacity);
bool BlendTo(const Canvas& self, Canvas* target, int x, int y, double opacity);
bool DrawBox(Canvas& self, int left, int top, int right, int bottom, Rgb colour);
// The LoadDib24Rows of the pixel-buffer canvases: headerless bottom-up 24-bit
// rows of the canvas's own size into its words, each word's fourth byte kept.
bool LoadDib24Rows(PixelBuffer& self, const void* rows, int format);
// The CopyPixelsFrom of the pixel-buffer canvases for another canvas: its
// size, words and transparent colour.
bool CopyPixels(PixelBuffer& self, const PixelBuffer& source);
bool FillBox(Canvas& self, int left, int top, int right, int bottom, Rgb colour);
Canvas* CopyRect(const Canvas& self, int x, int y, int width, int height);

// The block of a transfer after clipping: source origin, size and target
// origin.
struct TransferBlock {
    int sourceX = 0;
    int sourceY = 0;
    int width = 0;
    int height = 0;
    int targetX = 0;
    int targetY = 0;
};
// Clips a width × height block placed at (x, y) to a target of targetWidth ×
// targetHeight; blocks entirely off the target are refused before this.
TransferBlock ClipTransfer(int x, int y, int width, int height, int targetWidth, int targetHeight);
// Whether a width × height block at (x, y) misses a target of targetWidth ×
// targetHeight entirely.
bool BlockMisses(int x, int y, int width, int height, int targetWidth, int targetHeight);
// Whether a block of the source's full size at (x, y) misses the target
// entirely (DrawTo and DrawRectTo test against the full source size).
bool MissesTarget(const Canvas& self, const Canvas* target, int x, int y);
// Where PutDib24 puts a width × height block of rows at (x, y): false when
// it refuses them (a side below 1, no rows, or the block wholly off the
// canvas), else the part that lands on the canvas.
bool PlaceDib24(const Canvas& self, int x, int y, int width, int height, const uint8_t* rows,
                TransferBlock* block);

// Every pixel of a width × height device bitmap selected into dc set with
// SetPixel, row by row from the top.
void FillDCByPixels(HDC dc, int width, int height, Rgb fill);

// Whether the pixel at (x, y) of a canvas is left out of transfers: it has a
// transparent colour and the pixel's colour is that one. Every class's
// IsTransparentAt answers with this.
bool IsTransparentAt(const Canvas& canvas, int x, int y);

}  // namespace shared_canvas
