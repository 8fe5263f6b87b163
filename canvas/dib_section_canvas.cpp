#include "canvas/dib_section_canvas.h"

#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/ddb_canvas.h"

// Skeleton: filled in next.
DibSectionCanvas::DibSectionCanvas() {}
DibSectionCanvas::DibSectionCanvas(int, int) {}
DibSectionCanvas::DibSectionCanvas(const Canvas*) {}
DibSectionCanvas::DibSectionCanvas(const DdbCanvas&) {}
DibSectionCanvas& DibSectionCanvas::operator=(const DdbCanvas&) { return *this; }
DibSectionCanvas::DibSectionCanvas(const DibCanvas&) {}
DibSectionCanvas& DibSectionCanvas::operator=(const DibCanvas&) { return *this; }
DibSectionCanvas::DibSectionCanvas(const DibSectionCanvas&) {}
DibSectionCanvas& DibSectionCanvas::operator=(const DibSectionCanvas&) { return *this; }
DibSectionCanvas::~DibSectionCanvas() {}
bool DibSectionCanvas::IsTransparentAt(int, int) const { return false; }
HBITMAP DibSectionCanvas::GetBitmap() const { return nullptr; }
HDC DibSectionCanvas::GetDeviceContext() const { return nullptr; }
bool DibSectionCanvas::LoadDib24Rows(const void*, int) { return false; }
bool DibSectionCanvas::CopyPixelsFrom(const PixelBuffer*) { return false; }
const BITMAPINFO* DibSectionCanvas::GetBitmapInfo() const { return nullptr; }
const uint32_t* DibSectionCanvas::GetConstRow(int) const { return nullptr; }
uint32_t* DibSectionCanvas::GetRow(int) { return nullptr; }
HDC DibSectionCanvas::GetMemoryDC() const { return nullptr; }
bool DibSectionCanvas::CreateFromBitmap(HBITMAP) { return false; }
bool DibSectionCanvas::LoadFromMemory(const void*, int) { return false; }
bool DibSectionCanvas::CopyFrom(const Canvas*) { return false; }
bool DibSectionCanvas::Create(int, int, Rgb) { return false; }
bool DibSectionCanvas::LoadBmp(const char*) { return false; }
bool DibSectionCanvas::SaveBmp(const char*) const { return false; }
int DibSectionCanvas::GetWidth() const { return 0; }
int DibSectionCanvas::GetHeight() const { return 0; }
Rgb DibSectionCanvas::GetRgb(int, int) const { return 0; }
COLORREF DibSectionCanvas::GetColorRef(int, int) const { return 0; }
Rgb DibSectionCanvas::GetRawPixel(int, int) const { return 0; }
int DibSectionCanvas::GetRed(int, int) const { return 0; }
int DibSectionCanvas::GetGreen(int, int) const { return 0; }
int DibSectionCanvas::GetBlue(int, int) const { return 0; }
bool DibSectionCanvas::PutDib24(int, int, int, int, const uint8_t*) { return false; }
bool DibSectionCanvas::SetRgb(int, int, Rgb) { return false; }
bool DibSectionCanvas::SetRawPixel(int, int, Rgb) { return false; }
bool DibSectionCanvas::SetRed(int, int, int) { return false; }
bool DibSectionCanvas::SetGreen(int, int, int) { return false; }
bool DibSectionCanvas::SetBlue(int, int, int) { return false; }
bool DibSectionCanvas::AddRed(int, int, int) { return false; }
bool DibSectionCanvas::AddGreen(int, int, int) { return false; }
bool DibSectionCanvas::AddBlue(int, int, int) { return false; }
bool DibSectionCanvas::ScaleRed(int, int, double) { return false; }
bool DibSectionCanvas::ScaleGreen(int, int, double) { return false; }
bool DibSectionCanvas::ScaleBlue(int, int, double) { return false; }
Rgb DibSectionCanvas::GetTransparentColor() const { return 0; }
bool DibSectionCanvas::SetTransparentColor(Rgb) { return false; }
bool DibSectionCanvas::DrawRectTo(Canvas*, int, int, int, int) const { return false; }
bool DibSectionCanvas::DrawRectToDC(HDC, int, int, int, int) const { return false; }
bool DibSectionCanvas::DrawTo(DibSectionCanvas*, int, int) const { return false; }
bool DibSectionCanvas::DrawTo(GdiSurface*, int, int) const { return false; }
bool DibSectionCanvas::DrawTo(PixelBuffer*, int, int) const { return false; }
bool DibSectionCanvas::DrawTo(Canvas*, int, int) const { return false; }
bool DibSectionCanvas::DrawToDC(HDC, int, int) const { return false; }
bool DibSectionCanvas::TileTo(Canvas*, int, int, int, int) const { return false; }
bool DibSectionCanvas::TileToDC(HDC, int, int, int, int) const { return false; }
bool DibSectionCanvas::BlendToDC(HDC, int, int, double) const { return false; }
bool DibSectionCanvas::BlendTo(Canvas*, int, int, double) const { return false; }
bool DibSectionCanvas::DrawThickLine(int, int, int, int, Rgb, uint16_t) { return false; }
bool DibSectionCanvas::DrawLine(int, int, int, int, Rgb) { return false; }
bool DibSectionCanvas::DrawBox(int, int, int, int, Rgb) { return false; }
bool DibSectionCanvas::FillBox(int, int, int, int, Rgb) { return false; }
bool DibSectionCanvas::DrawCircle(int, int, int, Rgb) { return false; }
bool DibSectionCanvas::FillCircle(int, int, int, Rgb) { return false; }
bool DibSectionCanvas::FloodFill(int, int, Rgb) { return false; }
bool DibSectionCanvas::FillEllipse(int, int, int, int, Rgb) { return false; }
Canvas* DibSectionCanvas::CopyRect(int, int, int, int) const { return nullptr; }
