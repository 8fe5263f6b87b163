// Block paths of the canvas operations. The per-pixel algorithms of
// shared_canvas are the reference; each path here first makes sure that the
// block it moves lands exactly as those pixel calls would land and otherwise
// hands the whole operation to the reference.
//
// What makes a block path exact:
// - A pixel-buffer canvas (DibCanvas, DibSectionCanvas) is read and written
//   as words in memory, as its GetRawPixel and SetRawPixel do.
// - A device-bitmap canvas is reached through its memory device context when
//   its bitmap holds full colour (24 or 32 bits, so no colour is mapped to a
//   nearest one), device units are pixels and no clipping region is selected
//   (GetPixel and SetPixel would honour one). Its pixels then read back as
//   GetPixel gives them (the fourth byte dropped) and are written as SetPixel
//   writes them (fourth byte 0), through a DIB section and BitBlt.
// - Anything else (a low-colour display bitmap, a transformed or clipped
//   device context) goes through the reference.
#include "canvas/fast_paths.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "canvas/bmp_file.h"
#include "canvas/bmp_format.h"
#include "canvas/dib_canvas.h"
#include "canvas/drawing.h"
#include "canvas/gdi_handles.h"

namespace fast_canvas {

namespace {

constexpr uint32_t COLOUR_BITS = 0x00FFFFFFu;
constexpr uint32_t ALL_BITS = 0xFFFFFFFFu;

// A top-down 32-bit DIB section in a memory device context of its own,
// through which device bitmaps are read and written in one BitBlt. A block
// sits at its top-left corner; Row(y) is the word of pixel (0, y).
class ScratchSection {
public:
    ScratchSection(int width, int height) {
        BITMAPINFO info;
        drawing::DescribeTopDown32(&info, width, height);
        void* memory = nullptr;
        bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
        if (!bitmap || memory == nullptr) return;
        dc.Reset(CreateCompatibleDC(nullptr));
        if (!dc) return;
        previous = SelectObject(dc.Get(), bitmap.Get());
        if (previous == nullptr || previous == HGDI_ERROR) {
            previous = nullptr;
            return;
        }
        bits = static_cast<uint32_t*>(memory);
        sectionWidth = width;
        sectionHeight = height;
    }
    ~ScratchSection() {
        if (previous) SelectObject(dc.Get(), previous);
    }
    ScratchSection(const ScratchSection&) = delete;
    ScratchSection& operator=(const ScratchSection&) = delete;

    explicit operator bool() const { return bits != nullptr; }
    bool Holds(int width, int height) const {
        return bits != nullptr && width <= sectionWidth && height <= sectionHeight;
    }
    HDC DC() const { return dc.Get(); }
    uint32_t* Row(int y) const { return bits + static_cast<size_t>(y) * sectionWidth; }

private:
    // Declared before the bitmap so that the bitmap is deleted first.
    gdi_handles::MemoryDCHandle dc;
    gdi_handles::BitmapHandle bitmap;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
    int sectionWidth = 0;
    int sectionHeight = 0;
};

// Scratch memory is kept between operations up to this many pixels: memory
// the process has not touched yet costs a page fault per page on first use,
// far more than moving the block itself, and every press, undo and paint
// moves blocks of the same size again. Larger blocks get memory of their own.
constexpr size_t MAX_KEPT_PIXELS = static_cast<size_t>(1) << 21;

std::unique_ptr<ScratchSection> g_keptSection;

// A scratch section for one operation at a time: the kept one when the block
// fits it (it grows to the largest block seen within the limit), else a
// section of the block's own size.
class SectionLease {
public:
    SectionLease(int width, int height) {
        size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
        if (pixels > MAX_KEPT_PIXELS) {
            own.reset(new (std::nothrow) ScratchSection(width, height));
            section = own.get();
            return;
        }
        if (!g_keptSection || !g_keptSection->Holds(width, height)) {
            // Grown to hold this block and every block held before, within the limit.
            int keptWidth = width;
            int keptHeight = height;
            if (g_keptSection) {
                keptWidth = std::max(keptWidth, g_keptWidth);
                keptHeight = std::max(keptHeight, g_keptHeight);
                if (static_cast<size_t>(keptWidth) * keptHeight > MAX_KEPT_PIXELS) {
                    keptWidth = width;
                    keptHeight = height;
                }
            }
            g_keptSection.reset();
            g_keptSection.reset(new (std::nothrow) ScratchSection(keptWidth, keptHeight));
            g_keptWidth = keptWidth;
            g_keptHeight = keptHeight;
        }
        section = g_keptSection.get();
    }
    SectionLease(const SectionLease&) = delete;
    SectionLease& operator=(const SectionLease&) = delete;

    explicit operator bool() const { return section != nullptr && *section; }
    ScratchSection& operator*() const { return *section; }
    ScratchSection* operator->() const { return section; }

private:
    static int g_keptWidth;
    static int g_keptHeight;
    std::unique_ptr<ScratchSection> own;
    ScratchSection* section = nullptr;
};
int SectionLease::g_keptWidth = 0;
int SectionLease::g_keptHeight = 0;

// Word and byte buffers of an operation, kept the same way; each slot is used
// by one buffer of an operation at a time.
template <typename T>
struct KeptBuffer {
    std::unique_ptr<T[]> data;
    size_t size = 0;
};

template <typename T>
class BufferLease {
public:
    BufferLease(KeptBuffer<T>& kept, size_t count) {
        if (count * sizeof(T) > MAX_KEPT_PIXELS * sizeof(uint32_t)) {
            own.reset(new (std::nothrow) T[count]);
            data = own.get();
            return;
        }
        if (kept.size < count) {
            kept.data.reset();
            kept.size = 0;
            kept.data.reset(new (std::nothrow) T[count]);
            if (!kept.data) return;
            kept.size = count;
        }
        data = kept.data.get();
    }
    BufferLease(const BufferLease&) = delete;
    BufferLease& operator=(const BufferLease&) = delete;

    T* get() const { return data; }
    explicit operator bool() const { return data != nullptr; }
    T& operator[](size_t index) const { return data[index]; }

private:
    std::unique_ptr<T[]> own;
    T* data = nullptr;
};

KeptBuffer<uint32_t> g_keptWords;
KeptBuffer<uint8_t> g_keptMask;
KeptBuffer<uint8_t> g_keptBytes;

bool HasClipRegion(HDC dc) {
    gdi_handles::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    return !region || GetClipRgn(dc, region.Get()) != 0;
}

// Whether a device context maps logical coordinates straight to pixels, so a
// block drawn at (x, y) covers the pixels SetPixel would set.
bool HasPlainMapping(HDC dc) {
    if (GetMapMode(dc) != MM_TEXT || GetGraphicsMode(dc) != GM_COMPATIBLE || GetLayout(dc) != 0) {
        return false;
    }
    POINT origin;
    if (!GetViewportOrgEx(dc, &origin) || origin.x != 0 || origin.y != 0) return false;
    if (!GetWindowOrgEx(dc, &origin) || origin.x != 0 || origin.y != 0) return false;
    return true;
}

int BitsPerPixelOfMemoryDC(HDC dc) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    BITMAP description{};
    if (bitmap == nullptr || GetObject(bitmap, sizeof description, &description) == 0) return 0;
    return description.bmBitsPixel;
}

// A canvas's own memory device context that blocks may read and write.
bool IsPlainSurfaceDC(HDC dc) {
    return dc != nullptr && BitsPerPixelOfMemoryDC(dc) >= 24 && HasPlainMapping(dc) &&
           !HasClipRegion(dc);
}

const PixelBuffer* AsBuffer(const Canvas& canvas) {
    return dynamic_cast<const PixelBuffer*>(&canvas);
}
PixelBuffer* AsBuffer(Canvas& canvas) {
    return dynamic_cast<PixelBuffer*>(&canvas);
}

HDC PlainSurfaceOf(const Canvas& canvas) {
    const GdiSurface* surface = dynamic_cast<const GdiSurface*>(&canvas);
    if (surface == nullptr) return nullptr;
    HDC dc = surface->GetDeviceContext();
    return IsPlainSurfaceDC(dc) ? dc : nullptr;
}

bool InsideCanvas(const Canvas& canvas, int x, int y, int width, int height) {
    return x >= 0 && y >= 0 && width >= 0 && height >= 0 &&
           static_cast<int64_t>(x) + width <= canvas.GetWidth() &&
           static_cast<int64_t>(y) + height <= canvas.GetHeight();
}

size_t WordCount(int width, int height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height);
}

// Copies `width` words into `row`, all of them or those whose `keep` byte is
// not 0, each ANDed with `mask`.
void PutWords(uint32_t* row, const uint32_t* words, const uint8_t* keep, int width, uint32_t mask) {
    if (keep == nullptr && mask == ALL_BITS) {
        std::memcpy(row, words, static_cast<size_t>(width) * sizeof(uint32_t));
        return;
    }
    for (int j = 0; j < width; ++j) {
        if (keep == nullptr || keep[j]) row[j] = words[j] & mask;
    }
}

// Writes words into the block at (x, y) of a full-colour memory device
// context as SetPixel would (the colour alone): all of them, or where
// `opaque` (one byte per word) is not 0, the others written back as they are.
bool WriteThroughSection(HDC dc, int x, int y, int width, int height, const uint32_t* words,
                         const uint8_t* opaque) {
    SectionLease section(width, height);
    if (!section) return false;
    if (opaque != nullptr) {
        // What the left-out pixels keep is read from the target first.
        if (!BitBlt(section->DC(), 0, 0, width, height, dc, x, y, SRCCOPY)) return false;
        drawing::FinishDrawing();
    }
    for (int i = 0; i < height; ++i) {
        const size_t first = static_cast<size_t>(i) * width;
        PutWords(section->Row(i), words + first, opaque == nullptr ? nullptr : opaque + first,
                 width, COLOUR_BITS);
    }
    const bool written = BitBlt(dc, x, y, width, height, section->DC(), 0, 0, SRCCOPY) != 0;
    drawing::FinishDrawing();
    return written;
}

// Reads a block lying inside a canvas into words, row after row (`stride`
// words apart, 0 for the block's width), as GetRawPixel gives them. False
// (nothing read) when the canvas cannot be read in blocks.
bool ReadBlock(const Canvas& canvas, int x, int y, int width, int height, uint32_t* words,
               size_t stride = 0) {
    if (stride == 0) stride = static_cast<size_t>(width);
    if (!InsideCanvas(canvas, x, y, width, height)) return false;
    if (width == 0 || height == 0) return true;
    if (const PixelBuffer* buffer = AsBuffer(canvas)) {
        // A buffer's rows lie its width apart: one row asked for, one flush.
        const uint32_t* row = buffer->GetConstRow(y);
        if (row == nullptr) return false;
        for (int i = 0; i < height; ++i, row += canvas.GetWidth()) {
            std::memcpy(words + static_cast<size_t>(i) * stride, row + x,
                        static_cast<size_t>(width) * sizeof(uint32_t));
        }
        return true;
    }
    HDC dc = PlainSurfaceOf(canvas);
    if (dc == nullptr) return false;
    SectionLease section(width, height);
    if (!section) return false;
    if (!BitBlt(section->DC(), 0, 0, width, height, dc, x, y, SRCCOPY)) return false;
    drawing::FinishDrawing();
    // GetPixel reports the colour alone.
    for (int i = 0; i < height; ++i) {
        const uint32_t* row = section->Row(i);
        uint32_t* word = words + static_cast<size_t>(i) * stride;
        for (int j = 0; j < width; ++j) word[j] = row[j] & COLOUR_BITS;
    }
    return true;
}

// Writes words into a block lying inside a canvas as SetRawPixel would: all
// of them, or where `opaque` (one byte per word) is not 0. False (nothing
// written) when the canvas cannot be written in blocks.
bool WriteBlock(Canvas& canvas, int x, int y, int width, int height, const uint32_t* words,
                const uint8_t* opaque) {
    if (!InsideCanvas(canvas, x, y, width, height)) return false;
    if (width == 0 || height == 0) return true;
    if (PixelBuffer* buffer = AsBuffer(canvas)) {
        uint32_t* row = buffer->GetRow(y);
        if (row == nullptr) return false;
        for (int i = 0; i < height; ++i, row += canvas.GetWidth()) {
            const size_t first = static_cast<size_t>(i) * width;
            PutWords(row + x, words + first, opaque == nullptr ? nullptr : opaque + first, width,
                     ALL_BITS);
        }
        return true;
    }
    HDC dc = PlainSurfaceOf(canvas);
    return dc != nullptr && WriteThroughSection(dc, x, y, width, height, words, opaque);
}

// The target of a keyed paint that is no canvas (a window's device context):
// the opaque pixels become a clipping region, ANDed with the one the context
// has, and the block is drawn once through it. More runs than this make a
// region too costly to build; the reference then paints them.
constexpr size_t MAX_REGION_RECTANGLES = 16384;

bool PaintThroughRegion(HDC dc, int x, int y, int width, int height, const uint32_t* colours,
                        const uint8_t* opaque) {
    if (!HasPlainMapping(dc)) return false;
    int bits =
        GetObjectType(dc) == OBJ_MEMDC ? BitsPerPixelOfMemoryDC(dc) : GetDeviceCaps(dc, BITSPIXEL);
    if (bits < 24) return false;
    std::vector<RECT> runs;
    for (int i = 0; i < height; ++i) {
        const uint8_t* row = opaque + static_cast<size_t>(i) * width;
        int j = 0;
        while (j < width) {
            if (!row[j]) {
                ++j;
                continue;
            }
            int start = j;
            while (j < width && row[j]) ++j;
            if (runs.size() == MAX_REGION_RECTANGLES) return false;
            runs.push_back(RECT{x + start, y + i, x + j, y + i + 1});
        }
    }
    if (runs.empty()) return true;
    size_t size = sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT);
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size]);
    if (!data) return false;
    RGNDATA* regionData = reinterpret_cast<RGNDATA*>(data.get());
    regionData->rdh.dwSize = sizeof(RGNDATAHEADER);
    regionData->rdh.iType = RDH_RECTANGLES;
    regionData->rdh.nCount = static_cast<DWORD>(runs.size());
    regionData->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    regionData->rdh.rcBound = RECT{x, y, x + width, y + height};
    std::memcpy(regionData->Buffer, runs.data(), runs.size() * sizeof(RECT));
    gdi_handles::RegionHandle region(
        ExtCreateRegion(nullptr, static_cast<DWORD>(size), regionData));
    if (!region) return false;
    int saved = SaveDC(dc);
    if (saved == 0) return false;
    bool painted = ExtSelectClipRgn(dc, region.Get(), RGN_AND) != ERROR;
    if (painted) {
        BITMAPINFO info;
        drawing::DescribeTopDown32(&info, width, height);
        painted =
            SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                              0, static_cast<UINT>(height), colours, &info, DIB_RGB_COLORS) != 0;
    }
    RestoreDC(dc, saved);
    drawing::FinishDrawing();
    return painted;
}

using shared_canvas::FitsInt;

// Moves a clipped block from one canvas to another (or within one) as the
// reference's pixel loop does: the source read whole before anything is
// written, transparent pixels left out, the colour alone written when no
// transparent colour is set and the stored word otherwise.
bool TransferBlock(const Canvas& self, Canvas* target, const shared_canvas::TransferBlock& block) {
    if (block.width <= 0 || block.height <= 0) return true;
    // Between two device contexts without a transparent colour, one BitBlt
    // ANDed with a white brush moves the colours and clears the fourth byte,
    // as SetRawPixel(GetRgb) does pixel by pixel. Between two device bitmaps
    // a plain copy is enough: their fourth byte is never seen, GetPixel
    // reports the colour alone.
    HDC sourceDC = PlainSurfaceOf(self);
    HDC targetDC = PlainSurfaceOf(*target);
    if (self.GetTransparentColor() == NO_TRANSPARENT_COLOR && sourceDC != nullptr &&
        targetDC != nullptr && sourceDC != targetDC) {
        const bool wordsSeen = AsBuffer(self) != nullptr || AsBuffer(*target) != nullptr;
        HGDIOBJ previousBrush =
            wordsSeen ? SelectObject(targetDC, GetStockObject(WHITE_BRUSH)) : nullptr;
        if (!wordsSeen || (previousBrush != nullptr && previousBrush != HGDI_ERROR)) {
            BOOL moved =
                BitBlt(targetDC, block.targetX, block.targetY, block.width, block.height, sourceDC,
                       block.sourceX, block.sourceY, wordsSeen ? MERGECOPY : SRCCOPY);
            if (wordsSeen) SelectObject(targetDC, previousBrush);
            drawing::FinishDrawing();
            if (moved) {
                return true;
            }
        }
    }
    size_t count = WordCount(block.width, block.height);
    BufferLease<uint32_t> words(g_keptWords, count);
    if (!words) return false;
    if (!ReadBlock(self, block.sourceX, block.sourceY, block.width, block.height, words.get())) {
        return false;
    }
    Rgb transparent = self.GetTransparentColor();
    if (transparent == NO_TRANSPARENT_COLOR) {
        for (size_t k = 0; k < count; ++k) words[k] &= COLOUR_BITS;
        return WriteBlock(*target, block.targetX, block.targetY, block.width, block.height,
                          words.get(), nullptr);
    }
    BufferLease<uint8_t> opaque(g_keptMask, count);
    if (!opaque) return false;
    for (size_t k = 0; k < count; ++k) opaque[k] = (words[k] & COLOUR_BITS) != transparent;
    return WriteBlock(*target, block.targetX, block.targetY, block.width, block.height, words.get(),
                      opaque.get());
}

// The top-left width × height block of `self` placed at (x, y), clipped to
// the target and moved by TransferBlock; false (nothing done) when there is
// no target, the source's full size misses it, or no block path can move it.
bool TransferClipped(const Canvas& self, Canvas* target, int x, int y, int width, int height) {
    if (target == nullptr || shared_canvas::MissesTarget(self, target, x, y)) return false;
    return TransferBlock(
        self, target,
        shared_canvas::ClipTransfer(x, y, width, height, target->GetWidth(), target->GetHeight()));
}

}  // namespace

bool CopyFrom(Canvas& self, const Canvas* source) {
    if (source == nullptr || source == &self) {
        return shared_canvas::CopyFrom(self, source);
    }
    int width = source->GetWidth();
    int height = source->GetHeight();
    // Only sources that can be read in blocks; the reference otherwise.
    if (!AsBuffer(*source) && PlainSurfaceOf(*source) == nullptr) {
        return shared_canvas::CopyFrom(self, source);
    }
    if (!self.Create(width, height, 0)) return false;
    BufferLease<uint32_t> words(g_keptWords, WordCount(width, height));
    bool copied = words && ReadBlock(*source, 0, 0, width, height, words.get());
    if (copied) {
        for (size_t k = 0, count = WordCount(width, height); k < count; ++k)
            words[k] &= COLOUR_BITS;
        copied = WriteBlock(self, 0, 0, width, height, words.get(), nullptr);
    }
    if (!copied) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) self.SetRgb(x, y, source->GetRgb(x, y));
        }
    }
    self.SetTransparentColor(source->GetTransparentColor());
    return true;
}

bool SaveBmp(const Canvas& self, const char* path) {
    if (path == nullptr) return shared_canvas::SaveBmp(self, path);
    int width = self.GetWidth();
    int height = self.GetHeight();
    if (!shared_canvas::HasPixels(width, height)) return false;
    if (!AsBuffer(self) && PlainSurfaceOf(self) == nullptr)
        return shared_canvas::SaveBmp(self, path);
    if (BmpFileSize(width, height) == 0) return false;
    const size_t stride = static_cast<size_t>(Dib24Stride(width));

    // The file is written as it is converted, in bands of rows from the
    // bottom (the first rows of the file), so that neither the picture nor
    // the file is held twice in fresh memory.
    int bandRows =
        static_cast<int>(std::max<size_t>(1, MAX_KEPT_PIXELS / static_cast<size_t>(width)));
    bandRows = std::min(bandRows, height);
    BufferLease<uint32_t> words(g_keptWords, WordCount(width, bandRows));
    BufferLease<uint8_t> bytes(g_keptBytes, stride * bandRows);
    if (!words || !bytes) return shared_canvas::SaveBmp(self, path);
    {
        FileWriter file(path);
        uint8_t headers[BMP_HEADERS_SIZE];
        PutBmpHeaders(headers, width, height);
        if (!file.Write(headers, sizeof headers)) return false;
        int bottom = height;
        while (bottom > 0) {
            int top = std::max(0, bottom - bandRows);
            int rows = bottom - top;
            // A canvas that cannot be read in blocks after all is written by
            // the reference, once this file is closed.
            if (!ReadBlock(self, 0, top, width, rows, words.get())) break;
            std::memset(bytes.get(), 0, stride * rows);
            for (int i = 0; i < rows; ++i) {
                // File rows run from the bottom of the picture up.
                PutDib24Row(bytes.get() + stride * i,
                            words.get() + static_cast<size_t>(rows - 1 - i) * width, width);
            }
            if (!file.Write(bytes.get(), stride * rows)) return false;
            bottom = top;
        }
        if (bottom == 0) return file.Finish();
    }
    return shared_canvas::SaveBmp(self, path);
}

bool PutDib24(Canvas& self, int x, int y, int width, int height, const uint8_t* rows) {
    shared_canvas::TransferBlock block;
    if (!shared_canvas::PlaceDib24(self, x, y, width, height, rows, &block)) return false;
    size_t stride = static_cast<size_t>(Dib24Stride(width));
    if (PixelBuffer* buffer = AsBuffer(self)) {
        uint32_t* first = buffer->GetRow(block.targetY);
        if (first == nullptr) return true;
        for (int i = 0; i < block.height; ++i) {
            uint32_t* row = first + static_cast<size_t>(i) * self.GetWidth() + block.targetX;
            // Rows are stored bottom-up.
            const uint8_t* pixel = rows +
                                   stride * static_cast<size_t>(height - 1 - (block.sourceY + i)) +
                                   static_cast<size_t>(block.sourceX) * 3;
            for (int j = 0; j < block.width; ++j, pixel += 3) row[j] = Dib24Colour(pixel);
        }
        return true;
    }
    HDC dc = PlainSurfaceOf(self);
    if (dc != nullptr) {
        // The rows go in as they are, bottom-up; the source rectangle's
        // origin is its bottom-left corner.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        if (SetDIBitsToDevice(dc, block.targetX, block.targetY, static_cast<DWORD>(block.width),
                              static_cast<DWORD>(block.height), block.sourceX,
                              height - block.sourceY - block.height, 0, static_cast<UINT>(height),
                              rows, &info, DIB_RGB_COLORS) != 0) {
            drawing::FinishDrawing();
            return true;
        }
    }
    return shared_canvas::PutDib24(self, x, y, width, height, rows);
}

bool DrawTo(const Canvas& self, Canvas* target, int x, int y) {
    if (TransferClipped(self, target, x, y, self.GetWidth(), self.GetHeight())) return true;
    return shared_canvas::DrawTo(self, target, x, y);
}

bool DrawRectTo(const Canvas& self, Canvas* target, int x, int y, int width, int height) {
    if (width >= 1 && height >= 1 &&
        TransferClipped(self, target, x, y, std::min(width, self.GetWidth()),
                        std::min(height, self.GetHeight()))) {
        return true;
    }
    return shared_canvas::DrawRectTo(self, target, x, y, width, height);
}

bool CopyRowsTo(const PixelBuffer& self, PixelBuffer* target, int x, int y) {
    // Without a transparent colour the reference is a row copy already.
    if (self.GetTransparentColor() != NO_TRANSPARENT_COLOR &&
        TransferClipped(self, target, x, y, self.GetWidth(), self.GetHeight())) {
        return true;
    }
    return shared_canvas::CopyRowsTo(self, target, x, y);
}

bool FillBox(Canvas& self, int left, int top, int right, int bottom, Rgb colour) {
    if (left == right || top == bottom) {
        return shared_canvas::FillBox(self, left, top, right, bottom, colour);
    }
    int width = self.GetWidth();
    int height = self.GetHeight();
    // Every row has a nonzero length, so the reference reports true whatever
    // reaches the canvas; only the rows on the canvas change pixels.
    int64_t firstRow = std::max<int64_t>(std::min(top, bottom), 0);
    int64_t lastRow = std::min<int64_t>(std::max(top, bottom), static_cast<int64_t>(height) - 1);
    const GdiSurface* surface = dynamic_cast<const GdiSurface*>(&self);
    if (surface == nullptr) {
        // The software line (DibCanvas) covers both end points.
        PixelBuffer* buffer = AsBuffer(self);
        if (buffer == nullptr)
            return shared_canvas::FillBox(self, left, top, right, bottom, colour);
        int64_t firstColumn = std::max<int64_t>(std::min(left, right), 0);
        int64_t lastColumn =
            std::min<int64_t>(std::max(left, right), static_cast<int64_t>(width) - 1);
        for (int64_t row = firstRow; row <= lastRow && firstColumn <= lastColumn; ++row) {
            uint32_t* words = buffer->GetRow(static_cast<int>(row));
            if (words == nullptr) continue;
            std::fill(words + firstColumn, words + lastColumn + 1, colour & COLOUR_BITS);
        }
        return true;
    }
    // The platform line leaves out its end point: a row covers left up to
    // right, without right.
    HDC dc = surface->GetDeviceContext();
    if (!IsPlainSurfaceDC(dc) || GetROP2(dc) != R2_COPYPEN) {
        return shared_canvas::FillBox(self, left, top, right, bottom, colour);
    }
    int64_t firstColumn = left < right ? left : static_cast<int64_t>(right) + 1;
    int64_t lastColumn = left < right ? static_cast<int64_t>(right) - 1 : left;
    firstColumn = std::max<int64_t>(firstColumn, 0);
    lastColumn = std::min<int64_t>(lastColumn, static_cast<int64_t>(width) - 1);
    if (firstRow > lastRow || firstColumn > lastColumn) return true;
    RECT area{static_cast<int>(firstColumn), static_cast<int>(firstRow),
              static_cast<int>(lastColumn + 1), static_cast<int>(lastRow + 1)};
    gdi_handles::BrushHandle brush(CreateSolidBrush(RgbToColorRef(colour)));
    if (!brush) return shared_canvas::FillBox(self, left, top, right, bottom, colour);
    FillRect(dc, &area, brush.Get());
    drawing::FinishDrawing();
    return true;
}

Canvas* CopyRect(const Canvas& self, int x, int y, int width, int height) {
    if (x < 0 || y < 0 || width < 1 || height < 1) return nullptr;
    if (!AsBuffer(self) && PlainSurfaceOf(self) == nullptr) {
        return shared_canvas::CopyRect(self, x, y, width, height);
    }
    DibCanvas* copy = new (std::nothrow) DibCanvas(width, height);
    if (copy == nullptr) return nullptr;
    if (copy->GetWidth() != width || copy->GetHeight() != height) {
        delete copy;
        return nullptr;
    }
    // Only the part on this canvas is copied; beyond it the copy stays black.
    int blockWidth = static_cast<int>(
        std::max<int64_t>(0, std::min<int64_t>(width, static_cast<int64_t>(self.GetWidth()) - x)));
    int blockHeight = static_cast<int>(std::max<int64_t>(
        0, std::min<int64_t>(height, static_cast<int64_t>(self.GetHeight()) - y)));
    if (blockWidth == 0 || blockHeight == 0) return static_cast<Canvas*>(copy);
    if (!ReadBlock(self, x, y, blockWidth, blockHeight, copy->GetRow(0),
                   static_cast<size_t>(width))) {
        delete copy;
        return shared_canvas::CopyRect(self, x, y, width, height);
    }
    // The copy takes the colours alone.
    for (int i = 0; i < blockHeight; ++i) {
        uint32_t* row = copy->GetRow(i);
        for (int j = 0; j < blockWidth; ++j) row[j] &= COLOUR_BITS;
    }
    return static_cast<Canvas*>(copy);
}

namespace {

// The top-left width × height block of a canvas with a transparent colour
// onto a device context at (x, y), transparent pixels left out.
bool DrawKeyedToDC(const Canvas& self, HDC dc, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || !FitsInt(static_cast<int64_t>(x) + width) ||
        !FitsInt(static_cast<int64_t>(y) + height)) {
        return shared_canvas::DrawKeyedToDC(self, dc, x, y, width, height);
    }
    // The whole block is read before any pixel is written, so a canvas drawn
    // onto its own device context is read as it was.
    size_t count = WordCount(width, height);
    BufferLease<uint32_t> colours(g_keptWords, count);
    BufferLease<uint8_t> opaque(g_keptMask, count);
    if (!colours || !opaque || !ReadBlock(self, 0, 0, width, height, colours.get())) {
        return shared_canvas::DrawKeyedToDC(self, dc, x, y, width, height);
    }
    Rgb transparent = self.GetTransparentColor();
    for (size_t k = 0; k < count; ++k) {
        colours[k] &= COLOUR_BITS;
        opaque[k] = colours[k] != transparent;
    }
    bool painted = IsPlainSurfaceDC(dc)
                       ? WriteThroughSection(dc, x, y, width, height, colours.get(), opaque.get())
                       : PaintThroughRegion(dc, x, y, width, height, colours.get(), opaque.get());
    if (!painted) return shared_canvas::DrawKeyedToDC(self, dc, x, y, width, height);
    return true;
}

}  // namespace

bool DrawBlockToDC(const Canvas& self, HDC dc, int x, int y, int width, int height) {
    if (self.GetTransparentColor() != NO_TRANSPARENT_COLOR) {
        return DrawKeyedToDC(self, dc, x, y, width, height);
    }
    if (const PixelBuffer* buffer = AsBuffer(self)) {
        // A top-down image: scan line 0 is the top row, so the first `height`
        // scan lines are the top of the picture.
        if (const uint32_t* rows = buffer->GetConstRow(0)) {
            SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                              0, static_cast<UINT>(height), rows, buffer->GetBitmapInfo(),
                              DIB_RGB_COLORS);
        }
    } else if (const GdiSurface* surface = dynamic_cast<const GdiSurface*>(&self)) {
        BitBlt(dc, x, y, width, height, surface->GetDeviceContext(), 0, 0, SRCCOPY);
    }
    drawing::FinishDrawing();
    return true;
}

void FillDC(HDC dc, int width, int height, Rgb fill) {
    if (!IsPlainSurfaceDC(dc)) {
        shared_canvas::FillDCByPixels(dc, width, height, fill);
        return;
    }
    gdi_handles::BrushHandle brush(CreateSolidBrush(RgbToColorRef(fill)));
    if (!brush) {
        shared_canvas::FillDCByPixels(dc, width, height, fill);
        return;
    }
    RECT area{0, 0, width, height};
    FillRect(dc, &area, brush.Get());
    drawing::FinishDrawing();
}

bool CreateFromBitmap(Canvas& self, HBITMAP source) {
    if (source == nullptr || GetObjectType(source) != OBJ_BITMAP) return false;
    BITMAP description{};
    if (GetObject(source, sizeof description, &description) == 0) return false;
    const int width = description.bmWidth;
    const int height = description.bmHeight;
    if (!shared_canvas::IsAcceptableSize(width, height)) return false;

    // The pixels are read before Create, so that the canvas's own bitmap can
    // be the source and a shortage of memory leaves the canvas unchanged.
    const size_t count = WordCount(width, height);
    std::unique_ptr<uint32_t[]> words(new (std::nothrow) uint32_t[count]());
    if (!words) return false;
    BITMAPINFO info;
    drawing::DescribeTopDown32(&info, width, height);
    {
        gdi_handles::WindowDC screen;
        // Unreadable pixels (a bitmap selected elsewhere) leave the canvas black.
        GetDIBits(screen.Get(), source, 0, static_cast<UINT>(height), words.get(), &info,
                  DIB_RGB_COLORS);
    }
    if (!self.Create(width, height, 0)) return false;
    if (!WriteBlock(self, 0, 0, width, height, words.get(), nullptr)) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                self.SetRawPixel(x, y, words[static_cast<size_t>(y) * width + x]);
            }
        }
    }
    return true;
}

void FillWords(PixelBuffer& self, Rgb fill) {
    uint32_t* words = self.GetRow(0);
    if (words != nullptr) {
        std::fill(words, words + static_cast<size_t>(self.GetWidth()) * self.GetHeight(), fill);
    }
}

}  // namespace fast_canvas
