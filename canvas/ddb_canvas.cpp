#include "canvas/ddb_canvas.h"

#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/ddb_canvas.h"

// Skeleton: filled in next.
DdbCanvas::DdbCanvas() {}
DdbCanvas::DdbCanvas(int, int) {}
DdbCanvas::DdbCanvas(const Canvas*) {}
DdbCanvas::DdbCanvas(const DdbCanvas&) {}
DdbCanvas& DdbCanvas::operator=(const DdbCanvas&) { return *this; }
DdbCanvas::DdbCanvas(const DibCanvas&) {}
DdbCanvas& DdbCanvas::operator=(const DibCanvas&) { return *this; }
DdbCanvas::DdbCanvas(const DibSectionCanvas&) {}
DdbCanvas& DdbCanvas::operator=(const DibSectionCanvas&) { return *this; }
DdbCanvas::~DdbCanvas() {}
bool DdbCanvas::IsTransparentAt(int, int) const { return false; }
HBITMAP DdbCanvas::GetBitmap() const { return nullptr; }
HDC DdbCanvas::GetDeviceContext() const { return nullptr; }
bool DdbCanvas::CreateFromBitmap(HBITMAP) { return false; }
bool DdbCanvas::LoadFromMemory(const void*, int) { return false; }
bool DdbCanvas::CopyFrom(const Canvas*) { return false; }
bool DdbCanvas::Create(int, int, Rgb) { return false; }
bool DdbCanvas::LoadBmp(const char*) { return false; }
bool DdbCanvas::SaveBmp(const char*) const { return false; }
int DdbCanvas::GetWidth() const { return 0; }
int DdbCanvas::GetHeight() const { return 0; }
Rgb DdbCanvas::GetRgb(int, int) const { return 0; }
COLORREF DdbCanvas::GetColorRef(int, int) const { return 0; }
Rgb DdbCanvas::GetRawPixel(int, int) const { return 0; }
int DdbCanvas::GetRed(int, int) const { return 0; }
int DdbCanvas::GetGreen(int, int) const { return 0; }
int DdbCanvas::GetBlue(int, int) const { return 0; }
bool DdbCanvas::PutDib24(int, int, int, int, const uint8_t*) { return false; }
bool DdbCanvas::SetRgb(int, int, Rgb) { return false; }
bool DdbCanvas::SetRawPixel(int, int, Rgb) { return false; }
bool DdbCanvas::SetRed(int, int, int) { return false; }
bool DdbCanvas::SetGreen(int, int, int) { return false; }
bool DdbCanvas::SetBlue(int, int, int) { return false; }
bool DdbCanvas::AddRed(int, int, int) { return false; }
bool DdbCanvas::AddGreen(int, int, int) { return false; }
bool DdbCanvas::AddBlue(int, int, int) { return false; }
bool DdbCanvas::ScaleRed(int, int, double) { return false; }
bool DdbCanvas::ScaleGreen(int, int, double) { return false; }
bool DdbCanvas::ScaleBlue(int, int, double) { return false; }
Rgb DdbCanvas::GetTransparentColor() const { return 0; }
bool DdbCanvas::SetTransparentColor(Rgb) { return false; }
bool DdbCanvas::DrawRectTo(Canvas*, int, int, int, int) const { return false; }
bool DdbCanvas::DrawRectToDC(HDC, int, int, int, int) const { return false; }
bool DdbCanvas::DrawTo(DibSectionCanvas*, int, int) const { return false; }
bool DdbCanvas::DrawTo(GdiSurface*, int, int) const { return false; }
bool DdbCanvas::DrawTo(PixelBuffer*, int, int) const { return false; }
bool DdbCanvas::DrawTo(Canvas*, int, int) const { return false; }
bool DdbCanvas::DrawToDC(HDC, int, int) const { return false; }
bool DdbCanvas::TileTo(Canvas*, int, int, int, int) const { return false; }
bool DdbCanvas::TileToDC(HDC, int, int, int, int) const { return false; }
bool DdbCanvas::BlendToDC(HDC, int, int, double) const { return false; }
bool DdbCanvas::BlendTo(Canvas*, int, int, double) const { return false; }
bool DdbCanvas::DrawThickLine(int, int, int, int, Rgb, uint16_t) { return false; }
bool DdbCanvas::DrawLine(int, int, int, int, Rgb) { return false; }
bool DdbCanvas::DrawBox(int, int, int, int, Rgb) { return false; }
bool DdbCanvas::FillBox(int, int, int, int, Rgb) { return false; }
bool DdbCanvas::DrawCircle(int, int, int, Rgb) { return false; }
bool DdbCanvas::FillCircle(int, int, int, Rgb) { return false; }
bool DdbCanvas::FloodFill(int, int, Rgb) { return false; }
bool DdbCanvas::FillEllipse(int, int, int, int, Rgb) { return false; }
Canvas* DdbCanvas::CopyRect(int, int, int, int) const { return nullptr; }
