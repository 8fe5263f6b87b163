// The canvas whose pixels are a plain top-down 32-bit array in ordinary
// memory. It has no device context: it draws its lines and circles itself and
// reaches a window through SetDIBitsToDevice. Flood fills and ellipses are not
// available on it.
#pragma once

#include <memory>

#include "canvas/canvas.h"

class DdbCanvas;

class DibCanvas : public virtual PixelBuffer, public virtual Canvas {
public:
    // A 128 × 128 black canvas.
    DibCanvas();
    // A black canvas of that size (empty when the size is refused).
    DibCanvas(int newWidth, int newHeight);
    explicit DibCanvas(const Canvas* source);
    explicit DibCanvas(const DdbCanvas& source);
    DibCanvas(const DibCanvas& source);
    explicit DibCanvas(const DibSectionCanvas& source);
    ~DibCanvas() override;

    DibCanvas& operator=(const DdbCanvas& source);
    DibCanvas& operator=(const DibCanvas& source);
    DibCanvas& operator=(const DibSectionCanvas& source);

    // Copies headerless bottom-up 24-bit rows of the canvas's own size in.
    virtual bool LoadDib24Rows(const void* rows, int format);
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

    // PixelBuffer
    bool CopyPixelsFrom(const PixelBuffer* source) override;
    const BITMAPINFO* GetBitmapInfo() const override;
    const uint32_t* GetConstRow(int y) const override;
    uint32_t* GetRow(int y) override;

private:
    bool IsInside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool SetChannel(int x, int y, int shift, int value);

    int width = 0;
    int height = 0;
    Rgb transparentColor = NO_TRANSPARENT_COLOR;
    BITMAPINFO bitmapInfo{};
    std::unique_ptr<uint32_t[]> bits;
};
