#include "canvas/dib_canvas.h"

#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/ddb_canvas.h"

// Skeleton: filled in next.
DibCanvas::DibCanvas() {}
DibCanvas::DibCanvas(int, int) {}
DibCanvas::DibCanvas(const Canvas*) {}
DibCanvas::DibCanvas(const DdbCanvas&) {}
DibCanvas& DibCanvas::operator=(const DdbCanvas&) { return *this; }
DibCanvas::DibCanvas(const DibCanvas&) {}
DibCanvas& DibCanvas::operator=(const DibCanvas&) { return *this; }
DibCanvas::DibCanvas(const DibSectionCanvas&) {}
DibCanvas& DibCanvas::operator=(const DibSectionCanvas&) { return *this; }
DibCanvas::~DibCanvas() {}
bool DibCanvas::IsTransparentAt(int, int) const { return false; }
bool DibCanvas::LoadDib24Rows(const void*, int) { return false; }
bool DibCanvas::CopyPixelsFrom(const PixelBuffer*) { return false; }
const BITMAPINFO* DibCanvas::GetBitmapInfo() const { return nullptr; }
const uint32_t* DibCanvas::GetConstRow(int) const { return nullptr; }
uint32_t* DibCanvas::GetRow(int) { return nullptr; }
bool DibCanvas::CreateFromBitmap(HBITMAP) { return false; }
bool DibCanvas::LoadFromMemory(const void*, int) { return false; }
bool DibCanvas::CopyFrom(const Canvas*) { return false; }
bool DibCanvas::Create(int, int, Rgb) { return false; }
bool DibCanvas::LoadBmp(const char*) { return false; }
bool DibCanvas::SaveBmp(const char*) const { return false; }
int DibCanvas::GetWidth() const { return 0; }
int DibCanvas::GetHeight() const { return 0; }
Rgb DibCanvas::GetRgb(int, int) const { return 0; }
COLORREF DibCanvas::GetColorRef(int, int) const { return 0; }
Rgb DibCanvas::GetRawPixel(int, int) const { return 0; }
int DibCanvas::GetRed(int, int) const { return 0; }
int DibCanvas::GetGreen(int, int) const { return 0; }
int DibCanvas::GetBlue(int, int) const { return 0; }
bool DibCanvas::PutDib24(int, int, int, int, const uint8_t*) { return false; }
bool DibCanvas::SetRgb(int, int, Rgb) { return false; }
bool DibCanvas::SetRawPixel(int, int, Rgb) { return false; }
bool DibCanvas::SetRed(int, int, int) { return false; }
bool DibCanvas::SetGreen(int, int, int) { return false; }
bool DibCanvas::SetBlue(int, int, int) { return false; }
bool DibCanvas::AddRed(int, int, int) { return false; }
bool DibCanvas::AddGreen(int, int, int) { return false; }
bool DibCanvas::AddBlue(int, int, int) { return false; }
bool DibCanvas::ScaleRed(int, int, double) { return false; }
bool DibCanvas::ScaleGreen(int, int, double) { return false; }
bool DibCanvas::ScaleBlue(int, int, double) { return false; }
Rgb DibCanvas::GetTransparentColor() const { return 0; }
bool DibCanvas::SetTransparentColor(Rgb) { return false; }
bool DibCanvas::DrawRectTo(Canvas*, int, int, int, int) const { return false; }
bool DibCanvas::DrawRectToDC(HDC, int, int, int, int) const { return false; }
bool DibCanvas::DrawTo(DibSectionCanvas*, int, int) const { return false; }
bool DibCanvas::DrawTo(GdiSurface*, int, int) const { return false; }
bool DibCanvas::DrawTo(PixelBuffer*, int, int) const { return false; }
bool DibCanvas::DrawTo(Canvas*, int, int) const { return false; }
bool DibCanvas::DrawToDC(HDC, int, int) const { return false; }
bool DibCanvas::TileTo(Canvas*, int, int, int, int) const { return false; }
bool DibCanvas::TileToDC(HDC, int, int, int, int) const { return false; }
bool DibCanvas::BlendToDC(HDC, int, int, double) const { return false; }
bool DibCanvas::BlendTo(Canvas*, int, int, double) const { return false; }
bool DibCanvas::DrawThickLine(int, int, int, int, Rgb, uint16_t) { return false; }
bool DibCanvas::DrawLine(int, int, int, int, Rgb) { return false; }
bool DibCanvas::DrawBox(int, int, int, int, Rgb) { return false; }
bool DibCanvas::FillBox(int, int, int, int, Rgb) { return false; }
bool DibCanvas::DrawCircle(int, int, int, Rgb) { return false; }
bool DibCanvas::FillCircle(int, int, int, Rgb) { return false; }
bool DibCanvas::FloodFill(int, int, Rgb) { return false; }
bool DibCanvas::FillEllipse(int, int, int, int, Rgb) { return false; }
Canvas* DibCanvas::CopyRect(int, int, int, int) const { return nullptr; }
