#include "canvas/ddb_canvas.h"

#include <algorithm>

#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/drawing.h"
#include "canvas/fast_paths.h"

using gdi_handles::BitmapHandle;
using gdi_handles::MemoryDCHandle;
using gdi_handles::WindowDC;

DdbCanvas::DdbCanvas() : Canvas(), GdiSurface() {
    Create(128, 128, 0);
}

DdbCanvas::DdbCanvas(int newWidth, int newHeight) : Canvas(), GdiSurface() {
    Create(newWidth, newHeight, 0);
}

DdbCanvas::DdbCanvas(const Canvas* source) : Canvas(), GdiSurface() {
    CopyFrom(source);
}

DdbCanvas::DdbCanvas(const DdbCanvas& source) : Canvas(), GdiSurface() {
    CopyFrom(static_cast<const Canvas*>(&source));
}

DdbCanvas::DdbCanvas(const DibCanvas& source) : Canvas(), GdiSurface() {
    CopyFrom(static_cast<const Canvas*>(&source));
}

DdbCanvas::DdbCanvas(const DibSectionCanvas& source) : Canvas(), GdiSurface() {
    CopyFrom(static_cast<const Canvas*>(&source));
}

DdbCanvas::~DdbCanvas() {
    // The bitmap goes back out of the device context before either is
    // deleted (the holders then delete the bitmap, then the context).
    if (bitmap) SelectObject(memoryDC.Get(), previousObject);
}

DdbCanvas& DdbCanvas::operator=(const DdbCanvas& source) {
    if (&source != this) CopyFrom(static_cast<const Canvas*>(&source));
    return *this;
}

DdbCanvas& DdbCanvas::operator=(const DibCanvas& source) {
    CopyFrom(static_cast<const Canvas*>(&source));
    return *this;
}

DdbCanvas& DdbCanvas::operator=(const DibSectionCanvas& source) {
    CopyFrom(static_cast<const Canvas*>(&source));
    return *this;
}

bool DdbCanvas::IsValid(int x, int y) const {
    return memoryDC && x >= 0 && y >= 0 && x < width && y < height;
}

bool DdbCanvas::IsTransparentAt(int x, int y) const {
    return shared_canvas::IsTransparentAt(*this, x, y);
}

HBITMAP DdbCanvas::GetBitmap() const {
    return bitmap.Get();
}
HDC DdbCanvas::GetDeviceContext() const {
    return memoryDC.Get();
}

bool DdbCanvas::Create(int newWidth, int newHeight, Rgb fill) {
    if (!shared_canvas::IsAcceptableSize(newWidth, newHeight)) return false;
    // The new bitmap and device context are made before the old ones go, so a
    // refusal leaves the canvas as it was.
    BitmapHandle newBitmap;
    MemoryDCHandle newDC;
    {
        WindowDC screen;
        if (!screen) return false;
        newBitmap.Reset(CreateCompatibleBitmap(screen.Get(), newWidth, newHeight));
        if (!newBitmap) return false;
        newDC.Reset(CreateCompatibleDC(screen.Get()));
    }
    if (!newDC) return false;
    HGDIOBJ newPrevious = SelectObject(newDC.Get(), newBitmap.Get());
    if (newPrevious == nullptr || newPrevious == HGDI_ERROR) return false;

    if (bitmap) SelectObject(memoryDC.Get(), previousObject);
    bitmap.Reset();
    memoryDC.Reset();
    memoryDC.Swap(newDC);
    bitmap.Swap(newBitmap);
    previousObject = newPrevious;
    width = newWidth;
    height = newHeight;
    transparentColor = NO_TRANSPARENT_COLOR;

    fast_canvas::FillDC(memoryDC.Get(), width, height, fill);
    return true;
}

bool DdbCanvas::CreateFromBitmap(HBITMAP source) {
    return fast_canvas::CreateFromBitmap(*this, source);
}

bool DdbCanvas::LoadFromMemory(const void* image, int format) {
    return shared_canvas::LoadFromMemory(*this, image, format);
}

bool DdbCanvas::CopyFrom(const Canvas* source) {
    return fast_canvas::CopyFrom(*this, source);
}

bool DdbCanvas::LoadBmp(const char* path) {
    return shared_canvas::LoadBmp(*this, path);
}

bool DdbCanvas::SaveBmp(const char* path) const {
    return fast_canvas::SaveBmp(*this, path);
}

int DdbCanvas::GetWidth() const {
    return width;
}
int DdbCanvas::GetHeight() const {
    return height;
}

Rgb DdbCanvas::GetRgb(int x, int y) const {
    if (!IsValid(x, y)) return 0;
    return ColorRefToRgb(GetPixel(memoryDC.Get(), x, y));
}

COLORREF DdbCanvas::GetColorRef(int x, int y) const {
    if (!IsValid(x, y)) return 0;
    return GetPixel(memoryDC.Get(), x, y);
}

Rgb DdbCanvas::GetRawPixel(int x, int y) const {
    return GetRgb(x, y);
}

int DdbCanvas::GetRed(int x, int y) const {
    return static_cast<int>(GetColorRef(x, y) & 0xFF);
}
int DdbCanvas::GetGreen(int x, int y) const {
    return static_cast<int>((GetColorRef(x, y) >> 8) & 0xFF);
}
int DdbCanvas::GetBlue(int x, int y) const {
    return static_cast<int>(GetRgb(x, y) & 0xFF);
}

bool DdbCanvas::PutDib24(int x, int y, int blockWidth, int blockHeight, const uint8_t* rows) {
    return fast_canvas::PutDib24(*this, x, y, blockWidth, blockHeight, rows);
}

bool DdbCanvas::SetRgb(int x, int y, Rgb colour) {
    if (!IsValid(x, y)) return false;
    SetPixel(memoryDC.Get(), x, y, RgbToColorRef(colour));
    return true;
}

bool DdbCanvas::SetRawPixel(int x, int y, Rgb value) {
    return SetRgb(x, y, value);
}

bool DdbCanvas::SetColorRefByte(int x, int y, int shift, int value) {
    if (!IsValid(x, y)) return false;
    SetPixel(memoryDC.Get(), x, y,
             WithChannel(GetPixel(memoryDC.Get(), x, y) & 0x00FFFFFF, shift, value));
    return true;
}

bool DdbCanvas::SetRed(int x, int y, int value) {
    return SetColorRefByte(x, y, 0, value);
}
bool DdbCanvas::SetGreen(int x, int y, int value) {
    return SetColorRefByte(x, y, 8, value);
}
bool DdbCanvas::SetBlue(int x, int y, int value) {
    return SetColorRefByte(x, y, 16, value);
}

bool DdbCanvas::AddRed(int x, int y, int delta) {
    return IsValid(x, y) && shared_canvas::AddRed(*this, x, y, delta);
}
bool DdbCanvas::AddGreen(int x, int y, int delta) {
    return IsValid(x, y) && shared_canvas::AddGreen(*this, x, y, delta);
}
bool DdbCanvas::AddBlue(int x, int y, int delta) {
    return IsValid(x, y) && shared_canvas::AddBlue(*this, x, y, delta);
}
bool DdbCanvas::ScaleRed(int x, int y, double factor) {
    return IsValid(x, y) && shared_canvas::ScaleRed(*this, x, y, factor);
}
bool DdbCanvas::ScaleGreen(int x, int y, double factor) {
    return IsValid(x, y) && shared_canvas::ScaleGreen(*this, x, y, factor);
}
bool DdbCanvas::ScaleBlue(int x, int y, double factor) {
    return IsValid(x, y) && shared_canvas::ScaleBlue(*this, x, y, factor);
}

Rgb DdbCanvas::GetTransparentColor() const {
    return transparentColor;
}

bool DdbCanvas::SetTransparentColor(Rgb colour) {
    transparentColor = colour;
    return true;
}

bool DdbCanvas::DrawRectTo(Canvas* target, int x, int y, int blockWidth, int blockHeight) const {
    return fast_canvas::DrawRectTo(*this, target, x, y, blockWidth, blockHeight);
}

bool DdbCanvas::DrawRectToDC(HDC dc, int x, int y, int blockWidth, int blockHeight) const {
    if (blockWidth < 1 || blockHeight < 1) return false;
    return fast_canvas::DrawBlockToDC(*this, dc, x, y, std::min(blockWidth, width),
                                      std::min(blockHeight, height));
}

bool DdbCanvas::DrawTo(DibSectionCanvas* target, int x, int y) const {
    return shared_canvas::DrawToDibSection(*this, target, x, y);
}

bool DdbCanvas::DrawTo(GdiSurface* target, int x, int y) const {
    return shared_canvas::DrawToGdiSurface(*this, target, x, y);
}

bool DdbCanvas::DrawTo(PixelBuffer* target, int x, int y) const {
    return fast_canvas::DrawTo(*this, static_cast<Canvas*>(target), x, y);
}

bool DdbCanvas::DrawTo(Canvas* target, int x, int y) const {
    return fast_canvas::DrawTo(*this, target, x, y);
}

bool DdbCanvas::DrawToDC(HDC dc, int x, int y) const {
    return fast_canvas::DrawBlockToDC(*this, dc, x, y, width, height);
}

bool DdbCanvas::TileTo(Canvas* target, int x, int y, int areaWidth, int areaHeight) const {
    return shared_canvas::TileTo(*this, target, x, y, areaWidth, areaHeight);
}

bool DdbCanvas::TileToDC(HDC dc, int x, int y, int areaWidth, int areaHeight) const {
    return shared_canvas::TileToDCWithClipRegion(*this, dc, x, y, areaWidth, areaHeight);
}

bool DdbCanvas::BlendToDC(HDC dc, int x, int y, double opacity) const {
    return shared_canvas::BlendToDC(*this, dc, x, y, opacity);
}

bool DdbCanvas::BlendTo(Canvas* target, int x, int y, double opacity) const {
    return shared_canvas::BlendTo(*this, target, x, y, opacity);
}

bool DdbCanvas::DrawThickLine(int x1, int y1, int x2, int y2, Rgb colour, uint16_t penWidth) {
    return drawing::GdiDrawThickLine(*this, memoryDC.Get(), x1, y1, x2, y2, colour, penWidth);
}

bool DdbCanvas::DrawLine(int x1, int y1, int x2, int y2, Rgb colour) {
    return drawing::GdiDrawLine(*this, memoryDC.Get(), x1, y1, x2, y2, colour);
}

bool DdbCanvas::DrawBox(int left, int top, int right, int bottom, Rgb colour) {
    return shared_canvas::DrawBox(*this, left, top, right, bottom, colour);
}

bool DdbCanvas::FillBox(int left, int top, int right, int bottom, Rgb colour) {
    return fast_canvas::FillBox(*this, left, top, right, bottom, colour);
}

bool DdbCanvas::DrawCircle(int cx, int cy, int radius, Rgb colour) {
    return drawing::GdiDrawCircle(*this, memoryDC.Get(), cx, cy, radius, colour);
}

bool DdbCanvas::FillCircle(int cx, int cy, int radius, Rgb colour) {
    return drawing::GdiFillCircle(*this, memoryDC.Get(), cx, cy, radius, colour);
}

bool DdbCanvas::FloodFill(int x, int y, Rgb colour) {
    return drawing::GdiFloodFill(*this, memoryDC.Get(), x, y, colour);
}

bool DdbCanvas::FillEllipse(int left, int top, int right, int bottom, Rgb colour) {
    return drawing::GdiFillEllipse(memoryDC.Get(), left, top, right, bottom, colour);
}

Canvas* DdbCanvas::CopyRect(int x, int y, int blockWidth, int blockHeight) const {
    return fast_canvas::CopyRect(*this, x, y, blockWidth, blockHeight);
}
