#include "canvas/dib_section_canvas.h"

#include <algorithm>
#include <cstring>

#include "canvas/ddb_canvas.h"
#include "canvas/dib_canvas.h"
#include "canvas/drawing.h"
#include "canvas/fast_paths.h"

using gdi_handles::BitmapHandle;
using gdi_handles::MemoryDCHandle;
using gdi_handles::WindowDC;

DibSectionCanvas::DibSectionCanvas() : Canvas(), PixelBuffer(), GdiPixelBuffer() {
    Create(128, 128, 0);
}

DibSectionCanvas::DibSectionCanvas(int newWidth, int newHeight)
    : Canvas(), PixelBuffer(), GdiPixelBuffer() {
    Create(newWidth, newHeight, 0);
}

DibSectionCanvas::DibSectionCanvas(const Canvas* source)
    : Canvas(), PixelBuffer(), GdiPixelBuffer() {
    CopyFrom(source);
}

DibSectionCanvas::DibSectionCanvas(const DdbCanvas& source)
    : Canvas(), PixelBuffer(), GdiPixelBuffer() {
    CopyFrom(static_cast<const Canvas*>(&source));
}

DibSectionCanvas::DibSectionCanvas(const DibCanvas& source)
    : Canvas(), PixelBuffer(), GdiPixelBuffer() {
    CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
}

DibSectionCanvas::DibSectionCanvas(const DibSectionCanvas& source)
    : Canvas(), PixelBuffer(), GdiPixelBuffer() {
    CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
}

DibSectionCanvas::~DibSectionCanvas() {
    // The section goes back out of the device context before either is
    // deleted (the holders then delete the section, then the context).
    if (bits != nullptr) SelectObject(memoryDC.Get(), previousBitmap);
    bits = nullptr;
}

DibSectionCanvas& DibSectionCanvas::operator=(const DdbCanvas& source) {
    CopyFrom(static_cast<const Canvas*>(&source));
    return *this;
}

DibSectionCanvas& DibSectionCanvas::operator=(const DibCanvas& source) {
    CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
    return *this;
}

DibSectionCanvas& DibSectionCanvas::operator=(const DibSectionCanvas& source) {
    if (&source != this) CopyPixelsFrom(static_cast<const PixelBuffer*>(&source));
    return *this;
}

HBITMAP DibSectionCanvas::GetBitmap() const {
    return bitmap.Get();
}
HDC DibSectionCanvas::GetDeviceContext() const {
    return memoryDC.Get();
}
HDC DibSectionCanvas::GetMemoryDC() const {
    return memoryDC.Get();
}

bool DibSectionCanvas::LoadDib24Rows(const void* rows, int format) {
    return shared_canvas::LoadDib24Rows(*this, rows, format);
}

bool DibSectionCanvas::IsTransparentAt(int x, int y) const {
    return shared_canvas::IsTransparentAt(*this, x, y);
}

bool DibSectionCanvas::CopyPixelsFrom(const PixelBuffer* source) {
    if (source == nullptr) return false;
    // Copying onto itself changes nothing.
    if (source == static_cast<const PixelBuffer*>(this)) return true;
    return shared_canvas::CopyPixels(*this, *source);
}

const BITMAPINFO* DibSectionCanvas::GetBitmapInfo() const {
    return &bitmapInfo;
}

// A row handed out is read or written directly: drawing the platform still
// holds back must land in it first (drawing::FinishDrawing). The pixel
// accessors need no flush of their own, as every canvas operation that draws
// through the platform finishes its drawing before it returns.
const uint32_t* DibSectionCanvas::GetConstRow(int y) const {
    if (bits == nullptr || y < 0 || y >= height) return nullptr;
    drawing::FinishDrawing();
    return bits + static_cast<size_t>(y) * static_cast<size_t>(width);
}

uint32_t* DibSectionCanvas::GetRow(int y) {
    if (bits == nullptr || y < 0 || y >= height) return nullptr;
    drawing::FinishDrawing();
    return bits + static_cast<size_t>(y) * static_cast<size_t>(width);
}

bool DibSectionCanvas::CreateFromBitmap(HBITMAP source) {
    return fast_canvas::CreateFromBitmap(*this, source);
}

bool DibSectionCanvas::LoadFromMemory(const void* image, int format) {
    return shared_canvas::LoadFromMemory(*this, image, format);
}

bool DibSectionCanvas::CopyFrom(const Canvas* source) {
    return fast_canvas::CopyFrom(*this, source);
}

bool DibSectionCanvas::Create(int newWidth, int newHeight, Rgb fill) {
    if (!shared_canvas::IsAcceptableSize(newWidth, newHeight)) return false;
    BITMAPINFO newInfo;
    drawing::DescribeTopDown32(&newInfo, newWidth, newHeight);
    void* newBits = nullptr;
    BitmapHandle newBitmap(
        CreateDIBSection(nullptr, &newInfo, DIB_RGB_COLORS, &newBits, nullptr, 0));
    if (!newBitmap || newBits == nullptr) return false;
    MemoryDCHandle newDC;
    {
        WindowDC screen;
        newDC.Reset(CreateCompatibleDC(screen.Get()));
    }
    if (!newDC) return false;
    HGDIOBJ newPrevious = SelectObject(newDC.Get(), newBitmap.Get());
    if (newPrevious == nullptr || newPrevious == HGDI_ERROR) return false;

    // Only now that the new image exists does the old one go.
    if (bits != nullptr) SelectObject(memoryDC.Get(), previousBitmap);
    bitmap.Reset();
    memoryDC.Reset();
    memoryDC.Swap(newDC);
    bitmap.Swap(newBitmap);
    previousBitmap = newPrevious;
    bitmapInfo = newInfo;
    bits = static_cast<uint32_t*>(newBits);
    width = newWidth;
    height = newHeight;

    if (fill == 0) {
        std::memset(bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    } else {
        fast_canvas::FillWords(*this, fill);
    }
    return true;
}

bool DibSectionCanvas::LoadBmp(const char* path) {
    return shared_canvas::LoadBmp(*this, path);
}

bool DibSectionCanvas::SaveBmp(const char* path) const {
    return fast_canvas::SaveBmp(*this, path);
}

int DibSectionCanvas::GetWidth() const {
    return width;
}
int DibSectionCanvas::GetHeight() const {
    return height;
}

Rgb DibSectionCanvas::GetRgb(int x, int y) const {
    return GetRawPixel(x, y) & 0x00FFFFFFu;
}

COLORREF DibSectionCanvas::GetColorRef(int x, int y) const {
    return RgbToColorRef(GetRgb(x, y));
}

Rgb DibSectionCanvas::GetRawPixel(int x, int y) const {
    if (!IsInside(x, y)) return 0;
    return bits[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
}

int DibSectionCanvas::GetRed(int x, int y) const {
    return static_cast<int>((GetRawPixel(x, y) >> 16) & 0xFF);
}
int DibSectionCanvas::GetGreen(int x, int y) const {
    return static_cast<int>((GetRawPixel(x, y) >> 8) & 0xFF);
}
int DibSectionCanvas::GetBlue(int x, int y) const {
    return static_cast<int>(GetRawPixel(x, y) & 0xFF);
}

bool DibSectionCanvas::PutDib24(int x, int y, int blockWidth, int blockHeight,
                                const uint8_t* rows) {
    return fast_canvas::PutDib24(*this, x, y, blockWidth, blockHeight, rows);
}

bool DibSectionCanvas::SetRgb(int x, int y, Rgb colour) {
    return SetRawPixel(x, y, colour & 0x00FFFFFFu);
}

bool DibSectionCanvas::SetRawPixel(int x, int y, Rgb value) {
    if (!IsInside(x, y)) return false;
    bits[static_cast<size_t>(y) * static_cast<size_t>(width) + x] = value;
    return true;
}

bool DibSectionCanvas::SetChannel(int x, int y, int shift, int value) {
    if (!IsInside(x, y)) return false;
    uint32_t& word = bits[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
    word = WithChannel(word, shift, value);
    return true;
}

bool DibSectionCanvas::SetRed(int x, int y, int value) {
    return SetChannel(x, y, 16, value);
}
bool DibSectionCanvas::SetGreen(int x, int y, int value) {
    return SetChannel(x, y, 8, value);
}
bool DibSectionCanvas::SetBlue(int x, int y, int value) {
    return SetChannel(x, y, 0, value);
}

bool DibSectionCanvas::AddRed(int x, int y, int delta) {
    return shared_canvas::AddRed(*this, x, y, delta);
}
bool DibSectionCanvas::AddGreen(int x, int y, int delta) {
    return shared_canvas::AddGreen(*this, x, y, delta);
}
bool DibSectionCanvas::AddBlue(int x, int y, int delta) {
    return shared_canvas::AddBlue(*this, x, y, delta);
}
bool DibSectionCanvas::ScaleRed(int x, int y, double factor) {
    return shared_canvas::ScaleRed(*this, x, y, factor);
}
bool DibSectionCanvas::ScaleGreen(int x, int y, double factor) {
    return shared_canvas::ScaleGreen(*this, x, y, factor);
}
bool DibSectionCanvas::ScaleBlue(int x, int y, double factor) {
    return shared_canvas::ScaleBlue(*this, x, y, factor);
}

Rgb DibSectionCanvas::GetTransparentColor() const {
    return transparentColor;
}

bool DibSectionCanvas::SetTransparentColor(Rgb colour) {
    transparentColor = colour;
    return true;
}

bool DibSectionCanvas::DrawRectTo(Canvas* target, int x, int y, int blockWidth,
                                  int blockHeight) const {
    return fast_canvas::DrawRectTo(*this, target, x, y, blockWidth, blockHeight);
}

bool DibSectionCanvas::DrawRectToDC(HDC dc, int x, int y, int blockWidth, int blockHeight) const {
    if (blockWidth < 1 || blockHeight < 1) return false;
    return fast_canvas::DrawBlockToDC(*this, dc, x, y, std::min(blockWidth, width),
                                      std::min(blockHeight, height));
}

bool DibSectionCanvas::DrawTo(DibSectionCanvas* target, int x, int y) const {
    return shared_canvas::DrawToDibSection(*this, target, x, y);
}

bool DibSectionCanvas::DrawTo(GdiSurface* target, int x, int y) const {
    return shared_canvas::DrawToGdiSurface(*this, target, x, y);
}

bool DibSectionCanvas::DrawTo(PixelBuffer* target, int x, int y) const {
    return fast_canvas::CopyRowsTo(*this, target, x, y);
}

bool DibSectionCanvas::DrawTo(Canvas* target, int x, int y) const {
    return fast_canvas::DrawTo(*this, target, x, y);
}

bool DibSectionCanvas::DrawToDC(HDC dc, int x, int y) const {
    return fast_canvas::DrawBlockToDC(*this, dc, x, y, width, height);
}

bool DibSectionCanvas::TileTo(Canvas* target, int x, int y, int areaWidth, int areaHeight) const {
    return shared_canvas::TileTo(*this, target, x, y, areaWidth, areaHeight);
}

bool DibSectionCanvas::TileToDC(HDC dc, int x, int y, int areaWidth, int areaHeight) const {
    return shared_canvas::TileToDCByBlocks(*this, dc, x, y, areaWidth, areaHeight);
}

bool DibSectionCanvas::BlendToDC(HDC dc, int x, int y, double opacity) const {
    return shared_canvas::BlendToDC(*this, dc, x, y, opacity);
}

bool DibSectionCanvas::BlendTo(Canvas* target, int x, int y, double opacity) const {
    return shared_canvas::BlendTo(*this, target, x, y, opacity);
}

bool DibSectionCanvas::DrawThickLine(int x1, int y1, int x2, int y2, Rgb colour,
                                     uint16_t penWidth) {
    return drawing::GdiDrawThickLine(*this, memoryDC.Get(), x1, y1, x2, y2, colour, penWidth);
}

bool DibSectionCanvas::DrawLine(int x1, int y1, int x2, int y2, Rgb colour) {
    return drawing::GdiDrawLine(*this, memoryDC.Get(), x1, y1, x2, y2, colour);
}

bool DibSectionCanvas::DrawBox(int left, int top, int right, int bottom, Rgb colour) {
    return shared_canvas::DrawBox(*this, left, top, right, bottom, colour);
}

bool DibSectionCanvas::FillBox(int left, int top, int right, int bottom, Rgb colour) {
    return fast_canvas::FillBox(*this, left, top, right, bottom, colour);
}

// The circles and the ellipse report success once they reach the platform
// call, whatever it answers.
bool DibSectionCanvas::DrawCircle(int cx, int cy, int radius, Rgb colour) {
    if (radius == 0) return DrawLine(cx, cy, cx, cy, colour);
    drawing::GdiDrawCircle(*this, memoryDC.Get(), cx, cy, radius, colour);
    return true;
}

bool DibSectionCanvas::FillCircle(int cx, int cy, int radius, Rgb colour) {
    if (radius == 0) return DrawLine(cx, cy, cx, cy, colour);
    drawing::GdiFillCircle(*this, memoryDC.Get(), cx, cy, radius, colour);
    return true;
}

bool DibSectionCanvas::FloodFill(int x, int y, Rgb colour) {
    return drawing::GdiFloodFill(*this, memoryDC.Get(), x, y, colour);
}

bool DibSectionCanvas::FillEllipse(int left, int top, int right, int bottom, Rgb colour) {
    drawing::GdiFillEllipse(memoryDC.Get(), left, top, right, bottom, colour);
    return true;
}

Canvas* DibSectionCanvas::CopyRect(int x, int y, int blockWidth, int blockHeight) const {
    return fast_canvas::CopyRect(*this, x, y, blockWidth, blockHeight);
}
