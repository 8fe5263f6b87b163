// The algorithms every canvas class shares, written once against the Canvas
// interface. They move pixels one at a time through the virtual operations
// and are the reference for what an operation does: the block paths of
// fast_paths.cpp give exactly their results and hand over to them where a
// block cannot.
#include "canvas/canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "canvas/bmp_file.h"
#include "canvas/bmp_format.h"
#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/drawing.h"
#include "canvas/gdi_handles.h"

namespace shared_canvas {

namespace {

bool IsInside(const Canvas& canvas, int x, int y) {
    return x >= 0 && y >= 0 && x < canvas.GetWidth() && y < canvas.GetHeight();
}

int ClampChannel(int64_t value) {
    return static_cast<int>(std::min<int64_t>(std::max<int64_t>(value, 0), 255));
}

// A channel value times a factor, truncated toward zero and limited to
// 0..255 before it becomes an int (NaN gives 0).
int ScaledChannel(int channel, double factor) {
    double scaled = std::trunc(static_cast<double>(channel) * factor);
    if (!(scaled > 0.0)) return 0;
    if (scaled > 255.0) return 255;
    return static_cast<int>(scaled);
}

// The order in which one axis of a block is walked. Copying a canvas onto
// itself must read every source pixel before it is overwritten, so when the
// target lies after the source the walk runs backwards.
struct Walk {
    int first;
    int end;
    int step;
};

Walk AxisWalk(int count, bool backwards) {
    return backwards ? Walk{count - 1, -1, -1} : Walk{0, count, 1};
}

bool IsSameCanvas(const Canvas& self, const Canvas* target) {
    return target == &self;
}

// The per-pixel block copy shared by DrawTo and DrawRectTo.
void CopyBlock(const Canvas& self, Canvas* target, const TransferBlock& block) {
    bool same = IsSameCanvas(self, target);
    Walk rows = AxisWalk(block.height, same && block.targetY > block.sourceY);
    Walk columns = AxisWalk(block.width, same && block.targetX > block.sourceX);
    bool keyed = self.GetTransparentColor() != NO_TRANSPARENT_COLOR;
    for (int i = rows.first; i != rows.end; i += rows.step) {
        for (int j = columns.first; j != columns.end; j += columns.step) {
            int sourceX = block.sourceX + j;
            int sourceY = block.sourceY + i;
            if (!keyed) {
                target->SetRawPixel(block.targetX + j, block.targetY + i,
                                    self.GetRgb(sourceX, sourceY));
            } else if (!IsTransparentAt(self, sourceX, sourceY)) {
                target->SetRawPixel(block.targetX + j, block.targetY + i,
                                    self.GetRawPixel(sourceX, sourceY));
            }
        }
    }
}

// Reads the claimed length of a BMP file image from its own headers, for
// callers that hand over an image without saying how long it is. The image
// must hold at least the 54 header bytes and everything its headers promise.
bool ClaimedBmpSize(const void* image, size_t* size) {
    BmpFileHeader fileHeader;
    BmpInfoHeader infoHeader;
    const uint8_t* bytes = static_cast<const uint8_t*>(image);
    std::memcpy(&fileHeader, bytes, sizeof fileHeader);
    std::memcpy(&infoHeader, bytes + BMP_FILE_HEADER_SIZE, sizeof infoHeader);
    // A file size in the header bounds the image, so headers that place the
    // rows beyond it are refused instead of read outside the image; only an
    // image without one is taken at its other headers' word.
    if (fileHeader.fileSize >= BMP_HEADERS_SIZE) {
        *size = fileHeader.fileSize;
        return true;
    }
    uint64_t claimed = BMP_HEADERS_SIZE;
    if (infoHeader.width > 0 && infoHeader.height > 0) {
        uint64_t pixels = Dib24Stride(infoHeader.width) * static_cast<uint64_t>(infoHeader.height);
        claimed = std::max<uint64_t>(claimed, fileHeader.dataOffset + pixels);
    }
    if (claimed > SIZE_MAX) return false;
    *size = static_cast<size_t>(claimed);
    return true;
}

// Memory for the rows of a picture file read in bands, kept between loads;
// a row longer than this gets memory of its own for one load.
constexpr size_t KEPT_BAND_BYTES = static_cast<size_t>(1) << 20;

uint8_t* KeptBand() {
    static std::unique_ptr<uint8_t[]> kept;
    if (!kept) kept.reset(new (std::nothrow) uint8_t[KEPT_BAND_BYTES]);
    return kept.get();
}

}  // namespace

// Clips a width × height block placed at (x, y) to a target of targetWidth ×
// targetHeight. The caller has already refused blocks entirely off the target
// to the left, top, right or bottom.
TransferBlock ClipTransfer(int x, int y, int width, int height, int targetWidth, int targetHeight) {
    TransferBlock block;
    int64_t left = x;
    int64_t top = y;
    int64_t blockWidth = width;
    int64_t blockHeight = height;
    if (left < 0) {
        block.sourceX = static_cast<int>(-left);
        blockWidth += left;
        left = 0;
    }
    if (top < 0) {
        block.sourceY = static_cast<int>(-top);
        blockHeight += top;
        top = 0;
    }
    if (left + blockWidth > targetWidth) blockWidth = targetWidth - left;
    if (top + blockHeight > targetHeight) blockHeight = targetHeight - top;
    block.width = static_cast<int>(std::max<int64_t>(blockWidth, 0));
    block.height = static_cast<int>(std::max<int64_t>(blockHeight, 0));
    block.targetX = static_cast<int>(left);
    block.targetY = static_cast<int>(top);
    return block;
}

// Whether a block of the source's full size at (x, y) misses the target
// entirely (the tests of DrawTo and DrawRectTo against the left and top use
// the full source size).
bool BlockMisses(int x, int y, int width, int height, int targetWidth, int targetHeight) {
    return static_cast<int64_t>(x) + width <= 0 || static_cast<int64_t>(y) + height <= 0 ||
           x >= targetWidth || y >= targetHeight;
}

bool MissesTarget(const Canvas& self, const Canvas* target, int x, int y) {
    return BlockMisses(x, y, self.GetWidth(), self.GetHeight(), target->GetWidth(),
                       target->GetHeight());
}

bool HasPixels(int width, int height) {
    return width >= 1 && height >= 1;
}

bool IsAcceptableSize(int width, int height) {
    return HasPixels(width, height) &&
           static_cast<int64_t>(width) * static_cast<int64_t>(height) <= MAX_CANVAS_PIXELS;
}

bool IsTransparentAt(const Canvas& canvas, int x, int y) {
    Rgb transparent = canvas.GetTransparentColor();
    return transparent != NO_TRANSPARENT_COLOR && IsInside(canvas, x, y) &&
           canvas.GetRgb(x, y) == transparent;
}

bool CopyFrom(Canvas& self, const Canvas* source) {
    if (source == nullptr) return false;
    if (source == &self) return true;
    int width = source->GetWidth();
    int height = source->GetHeight();
    if (!self.Create(width, height, 0)) return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) self.SetRgb(x, y, source->GetRgb(x, y));
    }
    self.SetTransparentColor(source->GetTransparentColor());
    return true;
}

bool LoadBmpImage(Canvas& self, const void* image, size_t size) {
    Dib24Image dib;
    if (!ParseBmpFileImage(image, size, &dib)) return false;
    if (!self.Create(dib.width, dib.height, 0)) return false;
    self.PutDib24(0, 0, dib.width, dib.height, dib.rows);
    return true;
}

bool LoadFromMemory(Canvas& self, const void* image, int format) {
    if (image == nullptr || format != BMP_IMAGE_FORMAT) return false;
    size_t size = 0;
    if (!ClaimedBmpSize(image, &size)) return false;
    return LoadBmpImage(self, image, size);
}

bool LoadBmp(Canvas& self, const char* path) {
    if (path == nullptr) return false;
    BmpFileReader file;
    if (!file.Open(path)) return false;
    const BmpLayout& layout = file.Layout();
    // The rows come in bands through memory kept between loads: fresh memory
    // for a whole large file would cost a page fault on every page.
    const int32_t bandRows = static_cast<int32_t>(
        std::max<size_t>(1, std::min<size_t>(KEPT_BAND_BYTES / layout.stride, layout.height)));
    const size_t bandBytes = static_cast<size_t>(bandRows) * layout.stride;
    uint8_t* band = bandBytes <= KEPT_BAND_BYTES ? KeptBand() : nullptr;
    std::unique_ptr<uint8_t[]> ownBand;
    if (band == nullptr) {
        ownBand.reset(new (std::nothrow) uint8_t[bandBytes]);
        band = ownBand.get();
    }
    // The first band is read before the canvas changes: a file that cannot be
    // read at all leaves it as it was.
    if (band == nullptr || !file.ReadRows(0, bandRows, band)) return false;
    if (!self.Create(layout.width, layout.height, 0)) return false;
    for (int32_t first = 0;;) {
        const int32_t count = std::min(bandRows, layout.height - first);
        self.PutDib24(0, layout.height - first - count, layout.width, count, band);
        first += count;
        if (first >= layout.height) return true;
        // Only a failing device stops here, the canvas then partly loaded.
        if (!file.ReadRows(first, std::min(bandRows, layout.height - first), band)) return false;
    }
}

bool SaveBmp(const Canvas& self, const char* path) {
    if (path == nullptr) return false;
    int width = self.GetWidth();
    int height = self.GetHeight();
    if (!HasPixels(width, height)) return false;
    BmpFileBuilder file;
    if (!file.Start(width, height)) return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            file.SetPixel(x, y,
                          MakeRgb(self.GetRed(x, y), self.GetGreen(x, y), self.GetBlue(x, y)));
        }
    }
    return WriteWholeFile(path, file.Data(), file.Size());
}

bool PlaceDib24(const Canvas& self, int x, int y, int width, int height, const uint8_t* rows,
                TransferBlock* block) {
    if (!HasPixels(width, height) || rows == nullptr ||
        BlockMisses(x, y, width, height, self.GetWidth(), self.GetHeight())) {
        return false;
    }
    *block = ClipTransfer(x, y, width, height, self.GetWidth(), self.GetHeight());
    return true;
}

bool PutDib24(Canvas& self, int x, int y, int width, int height, const uint8_t* rows) {
    TransferBlock block;
    if (!PlaceDib24(self, x, y, width, height, rows, &block)) return false;
    size_t stride = static_cast<size_t>(Dib24Stride(width));
    // Only the rows and columns that land inside the canvas are visited.
    for (int i = 0; i < block.height; ++i) {
        for (int j = 0; j < block.width; ++j) {
            self.SetRgb(block.targetX + j, block.targetY + i,
                        Dib24PixelAt(rows, stride, height, block.sourceX + j, block.sourceY + i));
        }
    }
    return true;
}

namespace {

// One channel of one pixel read, changed and written back through the
// canvas's own channel operations; false outside the canvas.
using ChannelGetter = int (Canvas::*)(int, int) const;
using ChannelSetter = bool (Canvas::*)(int, int, int);

template <typename Change>
bool ChangeChannel(Canvas& self, int x, int y, ChannelGetter get, ChannelSetter set,
                   Change change) {
    if (!IsInside(self, x, y)) return false;
    return (self.*set)(x, y, change((self.*get)(x, y)));
}

auto AddingTo(int delta) {
    return [delta](int channel) { return ClampChannel(static_cast<int64_t>(channel) + delta); };
}
auto ScalingBy(double factor) {
    return [factor](int channel) { return ScaledChannel(channel, factor); };
}

}  // namespace

bool AddRed(Canvas& self, int x, int y, int delta) {
    return ChangeChannel(self, x, y, &Canvas::GetRed, &Canvas::SetRed, AddingTo(delta));
}
bool AddGreen(Canvas& self, int x, int y, int delta) {
    return ChangeChannel(self, x, y, &Canvas::GetGreen, &Canvas::SetGreen, AddingTo(delta));
}
bool AddBlue(Canvas& self, int x, int y, int delta) {
    return ChangeChannel(self, x, y, &Canvas::GetBlue, &Canvas::SetBlue, AddingTo(delta));
}
bool ScaleRed(Canvas& self, int x, int y, double factor) {
    return ChangeChannel(self, x, y, &Canvas::GetRed, &Canvas::SetRed, ScalingBy(factor));
}
bool ScaleGreen(Canvas& self, int x, int y, double factor) {
    return ChangeChannel(self, x, y, &Canvas::GetGreen, &Canvas::SetGreen, ScalingBy(factor));
}
bool ScaleBlue(Canvas& self, int x, int y, double factor) {
    return ChangeChannel(self, x, y, &Canvas::GetBlue, &Canvas::SetBlue, ScalingBy(factor));
}

bool DrawTo(const Canvas& self, Canvas* target, int x, int y) {
    if (target == nullptr || MissesTarget(self, target, x, y)) return false;
    CopyBlock(self, target,
              ClipTransfer(x, y, self.GetWidth(), self.GetHeight(), target->GetWidth(),
                           target->GetHeight()));
    return true;
}

bool DrawRectTo(const Canvas& self, Canvas* target, int x, int y, int width, int height) {
    if (target == nullptr || width < 1 || height < 1 || MissesTarget(self, target, x, y)) {
        return false;
    }
    CopyBlock(
        self, target,
        ClipTransfer(x, y, std::min(width, self.GetWidth()), std::min(height, self.GetHeight()),
                     target->GetWidth(), target->GetHeight()));
    return true;
}

bool DrawToDibSection(const Canvas& self, DibSectionCanvas* target, int x, int y) {
    if (target == nullptr) return false;
    if (self.GetTransparentColor() == NO_TRANSPARENT_COLOR) {
        return self.DrawToDC(target->GetDeviceContext(), x, y);
    }
    return self.DrawTo(static_cast<PixelBuffer*>(target), x, y);
}

bool DrawToGdiSurface(const Canvas& self, GdiSurface* target, int x, int y) {
    if (target == nullptr) return false;
    return self.DrawToDC(target->GetDeviceContext(), x, y);
}

bool CopyRowsTo(const PixelBuffer& self, PixelBuffer* target, int x, int y) {
    if (target == nullptr || MissesTarget(self, target, x, y)) return false;
    TransferBlock block = ClipTransfer(x, y, self.GetWidth(), self.GetHeight(), target->GetWidth(),
                                       target->GetHeight());
    bool same = static_cast<const PixelBuffer*>(target) == &self;
    Walk rows = AxisWalk(block.height, same && block.targetY > block.sourceY);
    if (self.GetTransparentColor() == NO_TRANSPARENT_COLOR) {
        // Rows lie their canvas's width apart.
        const uint32_t* sourceRows = self.GetConstRow(0);
        uint32_t* targetRows = target->GetRow(0);
        if (sourceRows == nullptr || targetRows == nullptr) return true;
        for (int i = rows.first; i != rows.end; i += rows.step) {
            // memmove: a canvas copied onto itself shares its rows.
            std::memmove(targetRows + static_cast<size_t>(block.targetY + i) * target->GetWidth() +
                             block.targetX,
                         sourceRows + static_cast<size_t>(block.sourceY + i) * self.GetWidth() +
                             block.sourceX,
                         static_cast<size_t>(block.width) * sizeof(uint32_t));
        }
        return true;
    }
    CopyBlock(self, target, block);
    return true;
}

namespace {

// The part of a plane that a tiling can reach, edges excluded on the right
// and at the bottom.
struct Reach {
    int64_t left = INT_MIN;
    int64_t top = INT_MIN;
    int64_t right = static_cast<int64_t>(INT_MAX) + 1;
    int64_t bottom = static_cast<int64_t>(INT_MAX) + 1;
};

// The first tile start and the end of the tiles of one axis of a rectangle
// from `origin` of `length`, tiles of `tile`, that meet low ≤ p < high.
struct TileRun {
    int64_t first;
    int64_t end;
};
TileRun TilesMeeting(int origin, int length, int tile, int64_t low, int64_t high) {
    int64_t first = origin;
    // Tiles that end at or before `low` are skipped whole, so every tile
    // still starts a whole number of tiles from the origin.
    if (low > first) first += (low - first) / tile * tile;
    return TileRun{first, std::min<int64_t>(static_cast<int64_t>(origin) + length, high)};
}

// Whether a width × height rectangle at (x, y) can be tiled with `self`: it
// has pixels, lies not wholly left of or above the origin, and the canvas
// has a tile to repeat.
bool CanTile(const Canvas& self, int x, int y, int width, int height) {
    return width >= 1 && height >= 1 && static_cast<int64_t>(x) + width >= 0 &&
           static_cast<int64_t>(y) + height >= 0 && HasPixels(self.GetWidth(), self.GetHeight());
}

// Calls drawTile(x, y, width, height) for every tile of `self` that the
// rectangle holds and that meets `reach`, row by row; a tile is cut at the
// rectangle's right and bottom edges.
template <typename DrawTile>
void TileAcross(const Canvas& self, int x, int y, int width, int height, const Reach& reach,
                DrawTile drawTile) {
    const int tileWidth = self.GetWidth();
    const int tileHeight = self.GetHeight();
    const int64_t right = static_cast<int64_t>(x) + width;
    const int64_t bottom = static_cast<int64_t>(y) + height;
    const TileRun rows = TilesMeeting(y, height, tileHeight, reach.top, reach.bottom);
    const TileRun columns = TilesMeeting(x, width, tileWidth, reach.left, reach.right);
    for (int64_t ty = rows.first; ty < rows.end; ty += tileHeight) {
        for (int64_t tx = columns.first; tx < columns.end; tx += tileWidth) {
            drawTile(static_cast<int>(tx), static_cast<int>(ty),
                     static_cast<int>(std::min<int64_t>(tileWidth, right - tx)),
                     static_cast<int>(std::min<int64_t>(tileHeight, bottom - ty)));
        }
    }
}

// What drawing on a device context can reach, in its logical coordinates:
// the box of its clipping and its surface. A transform that turns or shears
// gives no such box; everything is taken as reachable then.
Reach ReachOf(HDC dc) {
    Reach reach;
    XFORM transform;
    if (GetGraphicsMode(dc) == GM_ADVANCED &&
        (!GetWorldTransform(dc, &transform) || transform.eM12 != 0 || transform.eM21 != 0)) {
        return reach;
    }
    RECT box;
    const int kind = GetClipBox(dc, &box);
    if (kind == ERROR || kind == NULLREGION) return Reach{0, 0, 0, 0};
    return Reach{box.left, box.top, box.right, box.bottom};
}

}  // namespace

bool TileTo(const Canvas& self, Canvas* target, int x, int y, int width, int height) {
    if (!CanTile(self, x, y, width, height)) return false;
    // Tiles that miss the target draw nothing (and without a target none is
    // drawn), so only those that meet it are visited.
    const Reach reach = target == nullptr ? Reach{0, 0, 0, 0}
                                          : Reach{0, 0, target->GetWidth(), target->GetHeight()};
    TileAcross(self, x, y, width, height, reach,
               [&](int tx, int ty, int tileWidth, int tileHeight) {
                   self.DrawRectTo(target, tx, ty, tileWidth, tileHeight);
               });
    return true;
}

bool TileToDCWithClipRegion(const Canvas& self, HDC dc, int x, int y, int width, int height) {
    if (!CanTile(self, x, y, width, height)) return false;
    {
        // The device context keeps its own copy of the region, which stays
        // selected and cuts the last tiles at the rectangle's edges.
        gdi_handles::RegionHandle region(
            CreateRectRgn(x, y, ClampToInt(static_cast<int64_t>(x) + width),
                          ClampToInt(static_cast<int64_t>(y) + height)));
        SelectClipRgn(dc, region.Get());
    }
    TileAcross(self, x, y, width, height, ReachOf(dc),
               [&](int tx, int ty, int, int) { self.DrawToDC(dc, tx, ty); });
    return true;
}

bool TileToDCByBlocks(const Canvas& self, HDC dc, int x, int y, int width, int height) {
    if (!CanTile(self, x, y, width, height)) return false;
    TileAcross(self, x, y, width, height, ReachOf(dc),
               [&](int tx, int ty, int tileWidth, int tileHeight) {
                   self.DrawRectToDC(dc, tx, ty, tileWidth, tileHeight);
               });
    return true;
}

namespace {

// Drawn onto its own device context pixel by pixel, a canvas would read
// pixels it has already written: it is read from a copy made first instead,
// as the transfers between canvases read every source pixel before writing.
// The canvas to read from, `self` or the copy kept in `copy`; null when no
// copy could be made.
const Canvas* PictureToRead(const Canvas& self, HDC dc, std::unique_ptr<Canvas>* copy) {
    const GdiSurface* surface = dynamic_cast<const GdiSurface*>(&self);
    if (surface == nullptr || dc == nullptr || surface->GetDeviceContext() != dc ||
        !HasPixels(self.GetWidth(), self.GetHeight())) {
        return &self;
    }
    copy->reset(self.CopyRect(0, 0, self.GetWidth(), self.GetHeight()));
    if (*copy == nullptr) return nullptr;
    (*copy)->SetTransparentColor(self.GetTransparentColor());
    return copy->get();
}

}  // namespace

bool DrawKeyedToDC(const Canvas& self, HDC dc, int x, int y, int width, int height) {
    std::unique_ptr<Canvas> copy;
    const Canvas* picture = PictureToRead(self, dc, &copy);
    if (picture == nullptr) return false;
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            if (IsTransparentAt(*picture, j, i)) continue;
            int64_t targetX = static_cast<int64_t>(x) + j;
            int64_t targetY = static_cast<int64_t>(y) + i;
            // Beyond the int range nothing can be drawn.
            if (!FitsInt(targetX) || !FitsInt(targetY)) continue;
            SetPixel(dc, static_cast<int>(targetX), static_cast<int>(targetY),
                     picture->GetColorRef(j, i));
        }
    }
    drawing::FinishDrawing();
    return true;
}

namespace {

// One blended channel: the source share plus the target share, truncated
// toward zero and limited to 255.
int BlendChannel(int source, int target, double opacity, double keep) {
    double mixed = std::trunc(source * opacity + target * keep);
    if (!(mixed > 0.0)) return 0;
    return mixed > 255.0 ? 255 : static_cast<int>(mixed);
}

}  // namespace

bool BlendTo(const Canvas& self, Canvas* target, int x, int y, double opacity) {
    if (!(opacity > 0.0) || target == nullptr) return false;
    if (opacity >= 1.0) return self.DrawTo(target, x, y);
    double keep = 1.0 - opacity;
    int width = self.GetWidth();
    int height = self.GetHeight();
    bool same = IsSameCanvas(self, target);
    Walk rows = AxisWalk(height, same && y > 0);
    Walk columns = AxisWalk(width, same && x > 0);
    for (int i = rows.first; i != rows.end; i += rows.step) {
        for (int j = columns.first; j != columns.end; j += columns.step) {
            if (IsTransparentAt(self, j, i)) continue;
            int64_t targetX = static_cast<int64_t>(x) + j;
            int64_t targetY = static_cast<int64_t>(y) + i;
            // Beyond the int range is outside every target: nothing to write.
            if (!FitsInt(targetX) || !FitsInt(targetY)) continue;
            int X = static_cast<int>(targetX);
            int Y = static_cast<int>(targetY);
            int red = BlendChannel(self.GetRed(j, i), target->GetRed(X, Y), opacity, keep);
            int green = BlendChannel(self.GetGreen(j, i), target->GetGreen(X, Y), opacity, keep);
            int blue = BlendChannel(self.GetBlue(j, i), target->GetBlue(X, Y), opacity, keep);
            target->SetRgb(X, Y,
                           static_cast<Rgb>(red) * 65536 + static_cast<Rgb>(green) * 256 +
                               static_cast<Rgb>(blue));
        }
    }
    return true;
}

bool BlendToDC(const Canvas& self, HDC dc, int x, int y, double opacity) {
    if (!(opacity > 0.0)) return false;
    if (opacity >= 1.0) return self.DrawToDC(dc, x, y);
    std::unique_ptr<Canvas> copy;
    const Canvas* picture = PictureToRead(self, dc, &copy);
    if (picture == nullptr) return false;
    double keep = 1.0 - opacity;
    int width = picture->GetWidth();
    int height = picture->GetHeight();
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            if (IsTransparentAt(*picture, j, i)) continue;
            int64_t targetX = static_cast<int64_t>(x) + j;
            int64_t targetY = static_cast<int64_t>(y) + i;
            if (!FitsInt(targetX) || !FitsInt(targetY)) continue;
            int X = static_cast<int>(targetX);
            int Y = static_cast<int>(targetY);
            COLORREF under = GetPixel(dc, X, Y);
            int red = BlendChannel(picture->GetRed(j, i), GetRValue(under), opacity, keep);
            int green = BlendChannel(picture->GetGreen(j, i), GetGValue(under), opacity, keep);
            int blue = BlendChannel(picture->GetBlue(j, i), GetBValue(under), opacity, keep);
            SetPixel(dc, X, Y, RGB(red, green, blue));
        }
    }
    drawing::FinishDrawing();
    return true;
}

void FillDCByPixels(HDC dc, int width, int height, Rgb fill) {
    COLORREF platformFill = RgbToColorRef(fill);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) SetPixel(dc, x, y, platformFill);
    }
    drawing::FinishDrawing();
}

bool LoadDib24Rows(PixelBuffer& self, const void* rows, int format) {
    if (rows == nullptr || format != DIB24_ROWS_FORMAT) return false;
    const int width = self.GetWidth();
    const int height = self.GetHeight();
    const size_t stride = static_cast<size_t>(Dib24Stride(width));
    const uint8_t* source = static_cast<const uint8_t*>(rows);
    uint32_t* words = self.GetRow(0);
    if (words == nullptr) return height == 0 || width == 0;
    for (int y = 0; y < height; ++y, words += width) {
        const uint8_t* pixel = source + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x, pixel += 3) {
            words[x] = (words[x] & 0xFF000000u) | Dib24Colour(pixel);
        }
    }
    return true;
}

bool CopyPixels(PixelBuffer& self, const PixelBuffer& source) {
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    if (!self.Create(width, height, 0)) return false;
    const uint32_t* words = source.GetConstRow(0);
    if (words != nullptr) {
        std::memcpy(self.GetRow(0), words,
                    static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t));
    }
    self.SetTransparentColor(source.GetTransparentColor());
    return true;
}

bool DrawBox(Canvas& self, int left, int top, int right, int bottom, Rgb colour) {
    // Each side leaves out its end point, where the next side starts, so the
    // four together cover the border once.
    bool drawn = self.DrawLine(left, top, right, top, colour);
    drawn = self.DrawLine(right, top, right, bottom, colour) || drawn;
    drawn = self.DrawLine(right, bottom, left, bottom, colour) || drawn;
    drawn = self.DrawLine(left, bottom, left, top, colour) || drawn;
    return drawn;
}

bool FillBox(Canvas& self, int left, int top, int right, int bottom, Rgb colour) {
    if (left == right || top == bottom) return self.DrawLine(left, top, right, bottom, colour);
    // Every row has a nonzero length, so every row reports true whether or
    // not it reaches the canvas. Rows above or below the canvas draw nothing
    // and are not visited, so that a huge box still ends quickly; the order
    // of the rows does not change the pixels (one colour).
    int64_t first = std::max<int64_t>(std::min(top, bottom), 0);
    int64_t last =
        std::min<int64_t>(std::max(top, bottom), static_cast<int64_t>(self.GetHeight()) - 1);
    bool drawn = first > std::min(top, bottom) || last < std::max(top, bottom);
    for (int64_t row = first; row <= last; ++row) {
        drawn = self.DrawLine(left, static_cast<int>(row), right, static_cast<int>(row), colour) ||
                drawn;
    }
    return drawn;
}

Canvas* CopyRect(const Canvas& self, int x, int y, int width, int height) {
    if (x < 0 || y < 0 || width < 1 || height < 1) return nullptr;
    DibCanvas* copy = new (std::nothrow) DibCanvas(width, height);
    if (copy == nullptr) return nullptr;
    if (copy->GetWidth() != width || copy->GetHeight() != height) {
        delete copy;
        return nullptr;
    }
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            int64_t sourceX = static_cast<int64_t>(x) + j;
            int64_t sourceY = static_cast<int64_t>(y) + i;
            // Beyond the source the copy stays black.
            if (!FitsInt(sourceX) || !FitsInt(sourceY)) continue;
            copy->SetRgb(j, i, self.GetRgb(static_cast<int>(sourceX), static_cast<int>(sourceY)));
        }
    }
    return static_cast<Canvas*>(copy);
}

}  // namespace shared_canvas
