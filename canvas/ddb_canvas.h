// The canvas whose pixels live in a screen-compatible device bitmap selected
// into a memory device context of its own: the platform draws on it directly
// and it reaches a window in one block transfer.
#pragma once

#include "canvas/canvas.h"
#include "canvas/gdi_handles.h"

class DibCanvas;

class DdbCanvas : public virtual Canvas, public virtual GdiSurface {
public:
    // A 128 × 128 black canvas.
    DdbCanvas();
    // A black canvas of that size (empty when the size is refused).
    DdbCanvas(int newWidth, int newHeight);
    explicit DdbCanvas(const Canvas* source);
    DdbCanvas(const DdbCanvas& source);
    explicit DdbCanvas(const DibCanvas& source);
    explicit DdbCanvas(const DibSectionCanvas& source);
    ~DdbCanvas() override;

    DdbCanvas& operator=(const DdbCanvas& source);
    DdbCanvas& operator=(const DibCanvas& source);
    DdbCanvas& operator=(const DibSectionCanvas& source);

    virtual bool IsTransparentAt(int x, int y) const;

    // Canvas
    bool CreateFromBitmap(HBITMAP bitmap) override;
    bool LoadFromMemory(const void* image, int format) override;
    bool CopyFrom(const Canvas* source) override;
    bool Create(int newWidth, int newHeight, Rgb fill) override;
    bool LoadBmp(const char* path) override;
    bool SaveBmp(const char* path) const override;
    int GetWidth() const override;
    int GetHeight() const override;
    Rgb GetRgb(int x, int y) const override;
    COLORREF GetColorRef(int x, int y) const override;
    Rgb GetRawPixel(int x, int y) const override;
    int GetRed(int x, int y) const override;
    int GetGreen(int x, int y) const override;
    int GetBlue(int x, int y) const override;
    bool PutDib24(int x, int y, int blockWidth, int blockHeight, const uint8_t* rows) override;
    bool SetRgb(int x, int y, Rgb colour) override;
    bool SetRawPixel(int x, int y, Rgb value) override;
    bool SetRed(int x, int y, int value) override;
    bool SetGreen(int x, int y, int value) override;
    bool SetBlue(int x, int y, int value) override;
    bool AddRed(int x, int y, int delta) override;
    bool AddGreen(int x, int y, int delta) override;
    bool AddBlue(int x, int y, int delta) override;
    bool ScaleRed(int x, int y, double factor) override;
    bool ScaleGreen(int x, int y, double factor) override;
    bool ScaleBlue(int x, int y, double factor) override;
    Rgb GetTransparentColor() const override;
    bool SetTransparentColor(Rgb colour) override;
    bool DrawRectTo(Canvas* target, int x, int y, int blockWidth, int blockHeight) const override;
    bool DrawRectToDC(HDC dc, int x, int y, int blockWidth, int blockHeight) const override;
    bool DrawTo(DibSectionCanvas* target, int x, int y) const override;
    bool DrawTo(GdiSurface* target, int x, int y) const override;
    bool DrawTo(PixelBuffer* target, int x, int y) const override;
    bool DrawTo(Canvas* target, int x, int y) const override;
    bool DrawToDC(HDC dc, int x, int y) const override;
    bool TileTo(Canvas* target, int x, int y, int areaWidth, int areaHeight) const override;
    bool TileToDC(HDC dc, int x, int y, int areaWidth, int areaHeight) const override;
    bool BlendToDC(HDC dc, int x, int y, double opacity) const override;
    bool BlendTo(Canvas* target, int x, int y, double opacity) const override;
    bool DrawThickLine(int x1, int y1, int x2, int y2, Rgb colour, uint16_t penWidth) override;
    bool DrawLine(int x1, int y1, int x2, int y2, Rgb colour) override;
    bool DrawBox(int left, int top, int right, int bottom, Rgb colour) override;
    bool FillBox(int left, int top, int right, int bottom, Rgb colour) override;
    bool DrawCircle(int cx, int cy, int radius, Rgb colour) override;
    bool FillCircle(int cx, int cy, int radius, Rgb colour) override;
    bool FloodFill(int x, int y, Rgb colour) override;
    bool FillEllipse(int left, int top, int right, int bottom, Rgb colour) override;
    Canvas* CopyRect(int x, int y, int blockWidth, int blockHeight) const override;

    // GdiSurface
    HBITMAP GetBitmap() const override;
    HDC GetDeviceContext() const override;

private:
    // A pixel that the memory device context holds.
    bool IsValid(int x, int y) const;
    // Replaces one channel byte (shift 0 red, 8 green, 16 blue) of the COLORREF.
    bool SetColorRefByte(int x, int y, int shift, int value);

    // Declared before the bitmap so that the bitmap is deleted first.
    gdi_handles::MemoryDCHandle memoryDC;
    gdi_handles::BitmapHandle bitmap;
    // What the memory device context held before the bitmap; put back before
    // the bitmap is deleted.
    HGDIOBJ previousObject = nullptr;
    int width = 0;
    int height = 0;
    Rgb transparentColor = NO_TRANSPARENT_COLOR;
};
