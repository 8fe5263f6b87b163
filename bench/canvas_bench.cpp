// The canvas operations the notes lean on, each timed on its per-pixel
// reference, on the path the canvases take, and against the one platform or
// memory transfer that moves the same pixels.
#include <cstring>
#include <memory>
#include <vector>

#include "bench/bench_main.h"
#include "bench/bench_util.h"
#include "canvas/bmp_file.h"
#include "canvas/bmp_format.h"
#include "canvas/ddb_canvas.h"
#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "canvas/gdi_handles.h"
#include "tests/canvas/reference_canvas.h"

namespace bench {

namespace {

// The note's picture size for a 1000 × 800 drawing area.
constexpr int NOTE_WIDTH = 1002;
constexpr int NOTE_HEIGHT = 823;
constexpr int BIG = 2000;

// A device bitmap of the screen's format selected into a memory device
// context: the plain platform surface the limits are measured on.
struct PlainSurface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    PlainSurface(int width, int height) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        previous = SelectObject(dc, bitmap);
    }
    ~PlainSurface() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    PlainSurface(const PlainSurface&) = delete;
    PlainSurface& operator=(const PlainSurface&) = delete;
};

void FillWithStrokes(Canvas& canvas, uint32_t seed) {
    Random random(seed);
    int width = canvas.GetWidth();
    int height = canvas.GetHeight();
    canvas.FillBox(0, 0, width, height, 0xFFFFFF);
    for (int stroke = 0; stroke < 40; ++stroke) {
        canvas.DrawThickLine(random.Below(width), random.Below(height), random.Below(width),
                             random.Below(height), random.Next() & 0xFFFFFF,
                             static_cast<uint16_t>(1 + stroke % 9));
    }
}

BITMAPINFO Describe(int width, int height, int bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

void RunCanvasBenchmarks() {
    HDC screen = GetDC(nullptr);

    {
        Row row{"DdbCanvas::Create 1002 × 823, background fill"};
        ReferenceCanvas<DdbCanvas> literal(1, 1);
        DdbCanvas canvas(1, 1);
        MeasureBothWays(
            row, [&] { literal.Create(NOTE_WIDTH, NOTE_HEIGHT, 0xFFFFFF); },
            [&] { canvas.Create(NOTE_WIDTH, NOTE_HEIGHT, 0xFFFFFF); }, 3, 2000, 7);
        row.limit = Measure(
            [&] {
                PlainSurface plain(NOTE_WIDTH, NOTE_HEIGHT);
                PatBlt(plain.dc, 0, 0, NOTE_WIDTH, NOTE_HEIGHT, WHITENESS);
            },
            7, 7, 0);
        row.limitWhat = "CreateCompatibleBitmap + one PatBlt";
        PrintRow(row);
    }

    {
        Row row{"DrawTo DdbCanvas → DdbCanvas (Canvas face) 1002 × 823"};
        DdbCanvas source(NOTE_WIDTH, NOTE_HEIGHT);
        FillWithStrokes(source, 1);
        DdbCanvas target(NOTE_WIDTH, NOTE_HEIGHT);
        MeasureBothWays(
            row, [&] { shared_canvas::DrawTo(source, &target, 0, 0); },
            [&] { source.DrawTo(static_cast<Canvas*>(&target), 0, 0); }, 3, 2000, 7);
        row.limit = Measure(
            [&] {
                BitBlt(target.GetDeviceContext(), 0, 0, NOTE_WIDTH, NOTE_HEIGHT,
                       source.GetDeviceContext(), 0, 0, SRCCOPY);
            },
            7, 7, 0);
        row.limitWhat = "one BitBlt";
        PrintRow(row);
    }

    {
        Row row{
            "DrawToDC of the box preview (DibSectionCanvas, white keyed, 500 × 400 box) 1002 × "
            "823"};
        DibSectionCanvas overlay(NOTE_WIDTH, NOTE_HEIGHT);
        overlay.SetTransparentColor(0xFFFFFF);
        overlay.FillBox(0, 0, NOTE_WIDTH, NOTE_HEIGHT, 0xFFFFFF);
        overlay.FillBox(100, 100, 600, 500, 0);
        DdbCanvas target(NOTE_WIDTH, NOTE_HEIGHT);
        MeasureBothWays(
            row,
            [&] {
                shared_canvas::DrawKeyedToDC(overlay, target.GetDeviceContext(), 0, 0, NOTE_WIDTH,
                                             NOTE_HEIGHT);
            },
            [&] { overlay.DrawToDC(target.GetDeviceContext(), 0, 0); }, 3, 2000, 7);
        BITMAPINFO info = *overlay.GetBitmapInfo();
        row.limit = Measure(
            [&] {
                SetDIBitsToDevice(target.GetDeviceContext(), 0, 0, NOTE_WIDTH, NOTE_HEIGHT, 0, 0, 0,
                                  NOTE_HEIGHT, overlay.GetConstRow(0), &info, DIB_RGB_COLORS);
            },
            7, 7, 0);
        row.limitWhat = "one SetDIBitsToDevice";
        PrintRow(row);
    }

    {
        Row row{"CopyRect 1000 × 800 of a DdbCanvas"};
        DdbCanvas source(NOTE_WIDTH, NOTE_HEIGHT);
        FillWithStrokes(source, 2);
        MeasureBothWays(
            row, [&] { delete shared_canvas::CopyRect(source, 1, 22, 1000, 800); },
            [&] { delete source.CopyRect(1, 22, 1000, 800); }, 3, 2000, 7);
        std::vector<uint32_t> words(1000u * 800u);
        row.limit = Measure(
            [&] {
                PlainSurface plain(1000, 800);
                BitBlt(plain.dc, 0, 0, 1000, 800, source.GetDeviceContext(), 1, 22, SRCCOPY);
                SelectObject(plain.dc, plain.previous);
                BITMAPINFO info = Describe(1000, -800, 32);
                GetDIBits(screen, plain.bitmap, 0, 800, words.data(), &info, DIB_RGB_COLORS);
                SelectObject(plain.dc, plain.bitmap);
            },
            7, 7, 0);
        row.limitWhat = "one BitBlt + one GetDIBits";
        PrintRow(row);
    }

    ScratchFolder folder("canvas");
    std::string bigPath = folder.Path() + "big.bmp";
    {
        DibCanvas image(BIG, BIG);
        FillWithStrokes(image, 3);
        image.SaveBmp(bigPath.c_str());
    }

    {
        Row row{"LoadBmp 2000 × 2000 into a DdbCanvas"};
        ReferenceCanvas<DdbCanvas> literal(1, 1);
        DdbCanvas canvas(1, 1);
        MeasureBothWays(
            row, [&] { literal.LoadBmp(bigPath.c_str()); },
            [&] { canvas.LoadBmp(bigPath.c_str()); }, 2, 3000, 5);
        row.limit = Measure(
            [&] {
                FileImage bytes;
                ReadWholeFile(bigPath.c_str(), &bytes);
                PlainSurface plain(BIG, BIG);
                SelectObject(plain.dc, plain.previous);
                BITMAPINFO info = Describe(BIG, BIG, 24);
                SetDIBits(screen, plain.bitmap, 0, BIG, bytes.Data() + 54, &info, DIB_RGB_COLORS);
                SelectObject(plain.dc, plain.bitmap);
            },
            5, 5, 0);
        row.limitWhat = "one ReadFile + one SetDIBits";
        row.target = "<= 60";
        PrintRow(row);
    }

    {
        Row row{"SaveBmp 2000 × 2000 from a DdbCanvas"};
        DdbCanvas canvas(1, 1);
        canvas.LoadBmp(bigPath.c_str());
        std::string path = folder.Path() + "saved-ddb.bmp";
        MeasureBothWays(
            row, [&] { shared_canvas::SaveBmp(canvas, path.c_str()); },
            [&] { canvas.SaveBmp(path.c_str()); }, 2, 3000, 5);
        uint32_t stride = static_cast<uint32_t>(Dib24Stride(BIG));
        std::vector<uint8_t> file(54 + static_cast<size_t>(stride) * BIG);
        row.limit = Measure(
            [&] {
                BITMAPINFO info = Describe(BIG, BIG, 24);
                // GetDIBits wants the bitmap out of its device context.
                HBITMAP bitmap = canvas.GetBitmap();
                HDC memory = canvas.GetDeviceContext();
                HBITMAP placeholder = CreateCompatibleBitmap(screen, 1, 1);
                HGDIOBJ previous = SelectObject(memory, placeholder);
                GetDIBits(screen, bitmap, 0, BIG, file.data() + 54, &info, DIB_RGB_COLORS);
                SelectObject(memory, previous);
                DeleteObject(placeholder);
                WriteWholeFile(path.c_str(), file.data(), static_cast<uint32_t>(file.size()));
            },
            5, 5, 0);
        row.limitWhat = "one GetDIBits + one WriteFile";
        row.target = "<= 60";
        PrintRow(row);
    }

    {
        Row row{"SaveBmp 2000 × 2000 from a DibCanvas"};
        DibCanvas canvas(1, 1);
        canvas.LoadBmp(bigPath.c_str());
        std::string path = folder.Path() + "saved-dib.bmp";
        MeasureBothWays(
            row, [&] { shared_canvas::SaveBmp(canvas, path.c_str()); },
            [&] { canvas.SaveBmp(path.c_str()); }, 3, 3000, 5);
        size_t bytes = static_cast<size_t>(BIG) * BIG * 4;
        std::vector<uint8_t> copy(bytes);
        row.limit = Measure(
            [&] {
                std::memcpy(copy.data(), canvas.GetConstRow(0), bytes);
                WriteWholeFile(path.c_str(), copy.data(),
                               static_cast<uint32_t>(54 + Dib24Stride(BIG) * BIG));
            },
            5, 5, 0);
        row.limitWhat = "one memcpy + one WriteFile";
        row.target = "<= 60";
        PrintRow(row);
    }

    ReleaseDC(nullptr, screen);
}

}  // namespace bench
