#include "canvas/dib_canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "canvas/ddb_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/drawing.h"
#include "canvas/fast_paths.h"

namespace {

using shared_canvas::AbsoluteRadius;
using shared_canvas::FitsInt;

// The points of a one-pixel line from (x0, y0) to (x1, y1), both ends
// included, one per step along the longer axis: the slope and its inverse
// in double precision, offsets truncated toward zero. A slope of exactly ±1
// steps along x. `visit` is called with each point.
//
// Steps whose stepped coordinate lies more than `margin` outside
// 0 ≤ x < width (or 0 ≤ y < height when stepping along y) cannot reach the
// canvas and are not taken, so a line running far off the canvas ends
// quickly; the pixels set are the same.
template <typename Visit>
void WalkLine(int x0, int y0, int x1, int y1, int width, int height, int64_t margin, Visit visit) {
    auto point = [&visit](int64_t px, int64_t py) {
        if (FitsInt(px) && FitsInt(py)) visit(static_cast<int>(px), static_cast<int>(py));
    };
    const int64_t lowX = -margin;
    const int64_t highX = width - 1 + margin;
    const int64_t lowY = -margin;
    const int64_t highY = height - 1 + margin;
    if (x0 == x1 && y0 == y1) {
        point(x0, y0);
        return;
    }
    if (x0 == x1) {
        int64_t first = std::max<int64_t>(std::min(y0, y1), lowY);
        int64_t last = std::min<int64_t>(std::max(y0, y1), highY);
        for (int64_t y = first; y <= last; ++y) point(x0, y);
        return;
    }
    if (y0 == y1) {
        int64_t first = std::max<int64_t>(std::min(x0, x1), lowX);
        int64_t last = std::min<int64_t>(std::max(x0, x1), highX);
        for (int64_t x = first; x <= last; ++x) point(x, y0);
        return;
    }
    int64_t xa = x0, ya = y0, xb = x1, yb = y1;
    if (xb < xa) {
        std::swap(xa, xb);
        std::swap(ya, yb);
    }
    double m = static_cast<double>(yb - ya) / static_cast<double>(xb - xa);
    double k = static_cast<double>(xb - xa) / static_cast<double>(yb - ya);
    bool stepAlongX = ya < yb ? m <= 1.0 : m >= -1.0;
    if (stepAlongX) {
        int64_t first = std::max(xa, lowX);
        int64_t last = std::min(xb, highX);
        for (int64_t x = first; x <= last; ++x) {
            point(x, ya + static_cast<int64_t>(std::trunc(static_cast<double>(x - xa) * m)));
        }
    } else if (ya < yb) {
        // Falling steep line: from the top end down.
        int64_t first = std::max(ya, lowY);
        int64_t last = std::min(yb, highY);
        for (int64_t y = first; y <= last; ++y) {
            point(static_cast<int64_t>(
                      std::trunc(static_cast<double>(xa) + static_cast<double>(y - ya) * k)),
                  y);
        }
    } else {
        // Rising steep line: from the left (lower) end up, offsets taken from
        // the other end.
        int64_t first = std::min(ya, highY);
        int64_t last = std::max(yb, lowY);
        for (int64_t y = first; y >= last; --y) {
            point(xb + static_cast<int64_t>(std::trunc(static_cast<double>(y - yb) * k)), y);
        }
    }
}

// Half the height of column offset i of a circle of radius r.
int64_t HalfHeight(int64_t r, int64_t i) {
    double rr = static_cast<double>(r);
    double ii = static_cast<double>(i);
    return static_cast<int64_t>(std::trunc(std::sqrt(rr * rr - ii * ii)));
}

}  // namespace

DibCanvas::DibCanvas() : Canvas(), PixelBuffer() {
    Create(128, 128, 0);
}

DibCanvas::DibCanvas(int newWidth, int newHeight) : Canvas(), PixelBuffer() {
    Create(newWidth, newHeight, 0);
}

DibCanvas::DibCanvas(const Canvas* source) : Canvas(), PixelBuffer() {
    CopyFrom(source);
}

DibCanvas::DibCanvas(const DdbCanvas& source) : Canvas(), PixelBuffer() {
    CopyFrom(static_cast<const Canvas*>(&source));
}

DibCanvas::DibCanvas(const DibCanvas& source) : Canvas(), PixelBuffer() {
    CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
}

DibCanvas::DibCanvas(const DibSectionCanvas& source) : Canvas(), PixelBuffer() {
    CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
}

DibCanvas::~DibCanvas() = default;

DibCanvas& DibCanvas::operator=(const DdbCanvas& source) {
    CopyFrom(static_cast<const Canvas*>(&source));
    return *this;
}

DibCanvas& DibCanvas::operator=(const DibCanvas& source) {
    if (&source != this) CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
    return *this;
}

DibCanvas& DibCanvas::operator=(const DibSectionCanvas& source) {
    CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
    return *this;
}

bool DibCanvas::LoadDib24Rows(const void* rows, int format) {
    return shared_canvas::LoadDib24Rows(*this, rows, format);
}

bool DibCanvas::IsTransparentAt(int x, int y) const {
    return shared_canvas::IsTransparentAt(*this, x, y);
}

bool DibCanvas::CopyPixelsFrom(const PixelBuffer* source) {
    // Copying onto itself changes nothing and is reported as not done.
    if (source == nullptr || source == static_cast<const PixelBuffer*>(this)) return false;
    return shared_canvas::CopyPixels(*this, *source);
}

const BITMAPINFO* DibCanvas::GetBitmapInfo() const {
    return &bitmapInfo;
}

const uint32_t* DibCanvas::GetConstRow(int y) const {
    if (!bits || y < 0 || y >= height) return nullptr;
    return bits.get() + static_cast<size_t>(y) * static_cast<size_t>(width);
}

uint32_t* DibCanvas::GetRow(int y) {
    if (!bits || y < 0 || y >= height) return nullptr;
    return bits.get() + static_cast<size_t>(y) * static_cast<size_t>(width);
}

bool DibCanvas::CreateFromBitmap(HBITMAP source) {
    return fast_canvas::CreateFromBitmap(*this, source);
}

bool DibCanvas::LoadFromMemory(const void* image, int format) {
    return shared_canvas::LoadFromMemory(*this, image, format);
}

bool DibCanvas::CopyFrom(const Canvas* source) {
    // Copying onto itself changes nothing and is reported as not done.
    if (source == static_cast<const Canvas*>(this)) return false;
    return fast_canvas::CopyFrom(*this, source);
}

bool DibCanvas::Create(int newWidth, int newHeight, Rgb fill) {
    if (!shared_canvas::IsAcceptableSize(newWidth, newHeight)) return false;
    // The new buffer is had before the old one goes: a refusal leaves the
    // canvas whole.
    size_t count = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight);
    std::unique_ptr<uint32_t[]> newBits(new (std::nothrow) uint32_t[count]);
    if (!newBits) return false;
    drawing::DescribeTopDown32(&bitmapInfo, newWidth, newHeight);
    bits = std::move(newBits);
    width = newWidth;
    height = newHeight;
    if (fill == 0) {
        std::memset(bits.get(), 0, count * sizeof(uint32_t));
    } else {
        fast_canvas::FillWords(*this, fill);
    }
    return true;
}

bool DibCanvas::LoadBmp(const char* path) {
    return shared_canvas::LoadBmp(*this, path);
}

bool DibCanvas::SaveBmp(const char* path) const {
    return fast_canvas::SaveBmp(*this, path);
}

int DibCanvas::GetWidth() const {
    return width;
}
int DibCanvas::GetHeight() const {
    return height;
}

Rgb DibCanvas::GetRgb(int x, int y) const {
    return GetRawPixel(x, y) & 0x00FFFFFFu;
}

COLORREF DibCanvas::GetColorRef(int x, int y) const {
    return RgbToColorRef(GetRgb(x, y));
}

Rgb DibCanvas::GetRawPixel(int x, int y) const {
    if (!IsInside(x, y)) return 0;
    return bits[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
}

int DibCanvas::GetRed(int x, int y) const {
    return static_cast<int>((GetRawPixel(x, y) >> 16) & 0xFF);
}
int DibCanvas::GetGreen(int x, int y) const {
    return static_cast<int>((GetRawPixel(x, y) >> 8) & 0xFF);
}
int DibCanvas::GetBlue(int x, int y) const {
    return static_cast<int>(GetRawPixel(x, y) & 0xFF);
}

bool DibCanvas::PutDib24(int x, int y, int blockWidth, int blockHeight, const uint8_t* rows) {
    return fast_canvas::PutDib24(*this, x, y, blockWidth, blockHeight, rows);
}

bool DibCanvas::SetRgb(int x, int y, Rgb colour) {
    return SetRawPixel(x, y, colour & 0x00FFFFFFu);
}

bool DibCanvas::SetRawPixel(int x, int y, Rgb value) {
    if (!IsInside(x, y)) return false;
    bits[static_cast<size_t>(y) * static_cast<size_t>(width) + x] = value;
    return true;
}

bool DibCanvas::SetChannel(int x, int y, int shift, int value) {
    if (!IsInside(x, y)) return false;
    uint32_t& word = bits[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
    word = WithChannel(word, shift, value);
    return true;
}

bool DibCanvas::SetRed(int x, int y, int value) {
    return SetChannel(x, y, 16, value);
}
bool DibCanvas::SetGreen(int x, int y, int value) {
    return SetChannel(x, y, 8, value);
}
bool DibCanvas::SetBlue(int x, int y, int value) {
    return SetChannel(x, y, 0, value);
}

bool DibCanvas::AddRed(int x, int y, int delta) {
    return shared_canvas::AddRed(*this, x, y, delta);
}
bool DibCanvas::AddGreen(int x, int y, int delta) {
    return shared_canvas::AddGreen(*this, x, y, delta);
}
bool DibCanvas::AddBlue(int x, int y, int delta) {
    return shared_canvas::AddBlue(*this, x, y, delta);
}
bool DibCanvas::ScaleRed(int x, int y, double factor) {
    return shared_canvas::ScaleRed(*this, x, y, factor);
}
bool DibCanvas::ScaleGreen(int x, int y, double factor) {
    return shared_canvas::ScaleGreen(*this, x, y, factor);
}
bool DibCanvas::ScaleBlue(int x, int y, double factor) {
    return shared_canvas::ScaleBlue(*this, x, y, factor);
}

Rgb DibCanvas::GetTransparentColor() const {
    return transparentColor;
}

bool DibCanvas::SetTransparentColor(Rgb colour) {
    transparentColor = colour;
    return true;
}

bool DibCanvas::DrawRectTo(Canvas* target, int x, int y, int blockWidth, int blockHeight) const {
    return fast_canvas::DrawRectTo(*this, target, x, y, blockWidth, blockHeight);
}

bool DibCanvas::DrawRectToDC(HDC dc, int x, int y, int blockWidth, int blockHeight) const {
    if (blockWidth < 1 || blockHeight < 1) return false;
    return fast_canvas::DrawBlockToDC(*this, dc, x, y, std::min(blockWidth, width),
                                      std::min(blockHeight, height));
}

bool DibCanvas::DrawTo(DibSectionCanvas* target, int x, int y) const {
    return shared_canvas::DrawToDibSection(*this, target, x, y);
}

bool DibCanvas::DrawTo(GdiSurface* target, int x, int y) const {
    return shared_canvas::DrawToGdiSurface(*this, target, x, y);
}

bool DibCanvas::DrawTo(PixelBuffer* target, int x, int y) const {
    return fast_canvas::CopyRowsTo(*this, target, x, y);
}

bool DibCanvas::DrawTo(Canvas* target, int x, int y) const {
    return fast_canvas::DrawTo(*this, target, x, y);
}

bool DibCanvas::DrawToDC(HDC dc, int x, int y) const {
    return fast_canvas::DrawBlockToDC(*this, dc, x, y, width, height);
}

bool DibCanvas::TileTo(Canvas* target, int x, int y, int areaWidth, int areaHeight) const {
    return shared_canvas::TileTo(*this, target, x, y, areaWidth, areaHeight);
}

bool DibCanvas::TileToDC(HDC dc, int x, int y, int areaWidth, int areaHeight) const {
    return shared_canvas::TileToDCWithClipRegion(*this, dc, x, y, areaWidth, areaHeight);
}

bool DibCanvas::BlendToDC(HDC dc, int x, int y, double opacity) const {
    return shared_canvas::BlendToDC(*this, dc, x, y, opacity);
}

bool DibCanvas::BlendTo(Canvas* target, int x, int y, double opacity) const {
    return shared_canvas::BlendTo(*this, target, x, y, opacity);
}

// The software rasteriser: every pixel goes through SetRgb, so the figures
// are clipped to the canvas.

bool DibCanvas::DrawLine(int x1, int y1, int x2, int y2, Rgb colour) {
    if (x1 == x2 && y1 == y2) return SetRgb(x1, y1, colour);
    WalkLine(x1, y1, x2, y2, width, height, 0, [&](int px, int py) { SetRgb(px, py, colour); });
    return true;
}

bool DibCanvas::DrawThickLine(int x1, int y1, int x2, int y2, Rgb colour, uint16_t penWidth) {
    if (penWidth == 0) return false;
    if (penWidth == 1) return DrawLine(x1, y1, x2, y2, colour);
    int radius = penWidth / 2;
    if (x1 == x2 && y1 == y2) return FillCircle(x1, y1, radius, colour);
    // A disc of radius r at a point reaches r columns and rows beyond it.
    WalkLine(x1, y1, x2, y2, width, height, radius,
             [&](int px, int py) { FillCircle(px, py, radius, colour); });
    return true;
}

bool DibCanvas::DrawBox(int left, int top, int right, int bottom, Rgb colour) {
    return shared_canvas::DrawBox(*this, left, top, right, bottom, colour);
}

bool DibCanvas::FillBox(int left, int top, int right, int bottom, Rgb colour) {
    return fast_canvas::FillBox(*this, left, top, right, bottom, colour);
}

bool DibCanvas::DrawCircle(int cx, int cy, int radius, Rgb colour) {
    int64_t r = AbsoluteRadius(radius);
    if (r == 0) return DrawLine(cx, cy, cx, cy, colour);
    // The column cx + r is not visited; columns off the canvas are skipped.
    int64_t first = std::max<int64_t>(-r, -static_cast<int64_t>(cx));
    int64_t last = std::min<int64_t>(r - 1, static_cast<int64_t>(width) - 1 - cx);
    for (int64_t i = first; i <= last; ++i) {
        int64_t d = HalfHeight(r, i);
        int x = static_cast<int>(cx + i);
        int64_t below = cy + d;
        int64_t above = cy - d;
        if (FitsInt(below)) SetRgb(x, static_cast<int>(below), colour);
        if (FitsInt(above)) SetRgb(x, static_cast<int>(above), colour);
    }
    return true;
}

bool DibCanvas::FillCircle(int cx, int cy, int radius, Rgb colour) {
    int64_t r = AbsoluteRadius(radius);
    if (r == 0) return DrawLine(cx, cy, cx, cy, colour);
    int64_t first = std::max<int64_t>(-r, -static_cast<int64_t>(cx));
    int64_t last = std::min<int64_t>(r - 1, static_cast<int64_t>(width) - 1 - cx);
    for (int64_t i = first; i <= last; ++i) {
        int64_t d = HalfHeight(r, i);
        // The vertical run cy - d .. cy + d, limited to the int range (rows
        // beyond it are outside the canvas anyway).
        int64_t top = std::max<int64_t>(cy - d, INT_MIN);
        int64_t bottom = std::min<int64_t>(cy + d, INT_MAX);
        DrawLine(static_cast<int>(cx + i), static_cast<int>(bottom), static_cast<int>(cx + i),
                 static_cast<int>(top), colour);
    }
    return true;
}

bool DibCanvas::FloodFill(int, int, Rgb) {
    return false;
}

bool DibCanvas::FillEllipse(int, int, int, int, Rgb) {
    return false;
}

Canvas* DibCanvas::CopyRect(int x, int y, int blockWidth, int blockHeight) const {
    return fast_canvas::CopyRect(*this, x, y, blockWidth, blockHeight);
}
