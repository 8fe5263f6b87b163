// Creating canvases, pixel and channel access, copies between the classes
// and the release of everything a canvas owns.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <utility>

#include "canvas/drawing.h"
#include "canvas/gdi_handles.h"
#include "support/test_support.h"
#include "canvas_test_helpers.h"

using namespace canvas_test;

TEST(CanvasLifecycle, CreateRefusesBadSizesAndClearsTheTransparentColourOnlyOnTheDeviceBitmap) {
    // 70000 × 70000 wraps to a positive 32-bit product; it must still be
    // refused, like every size below one pixel or beyond what can be held.
    const int refused[][2] = {{0, 50},           {10, 0},        {-3, 4},      {-2, -3},
                              {70000, 70000},    {32768, 16384}, {INT_MAX, 2}, {INT_MAX, INT_MAX},
                              {INT_MIN, INT_MIN}};
    test_support::TemporaryFolder folder;
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 5, 4);
        Paint(*canvas);
        canvas->SetTransparentColor(PatternAt(1, 1));
        for (const auto& size : refused) {
            EXPECT_FALSE(canvas->Create(size[0], size[1], 0x123456)) << size[0] << " x " << size[1];
            ExpectPattern(*canvas, 5, 4);
            EXPECT_EQ(canvas->GetTransparentColor(), PatternAt(1, 1));
        }
        // A good size leaves no trace of the old image; only the device
        // bitmap clears its transparent colour.
        canvas->SetTransparentColor(0x00ABCDEF);
        ASSERT_TRUE(canvas->Create(6, 3, 0x00ABCDEF));
        EXPECT_EQ(PixelsOf(*canvas, 0x00ABCDEF), Rectangle(0, 0, 5, 2));
        EXPECT_EQ(canvas->GetTransparentColor(),
                  kind == Kind::Ddb ? NO_TRANSPARENT_COLOR : Rgb{0x00ABCDEF});

        // Constructed with a refused size: empty, and every use of it refused.
        for (auto size : std::vector<std::pair<int, int>>{{-4, 10}, {70000, 70000}}) {
            auto empty = Make(kind, size.first, size.second);
            EXPECT_EQ(empty->GetWidth(), 0);
            EXPECT_EQ(empty->GetHeight(), 0);
            EXPECT_FALSE(empty->SetRgb(0, 0, 0x123456));
            EXPECT_FALSE(empty->SaveBmp(folder.File("empty.bmp").c_str()));
            EXPECT_FALSE(test_support::FileExists(folder.File("empty.bmp")));
            // Tiling an empty canvas ends and reports nothing done.
            auto target = Make(kind, 4, 4);
            EXPECT_FALSE(empty->TileTo(target.get(), 0, 0, 4, 4));
            EXPECT_FALSE(empty->TileToDC(
                dynamic_cast<GdiSurface&>(*Make(Kind::Ddb, 4, 4)).GetDeviceContext(), 0, 0, 4, 4));
            // An empty canvas can still be created later.
            EXPECT_TRUE(empty->Create(3, 2, 0x00010203));
            EXPECT_EQ(empty->GetRgb(2, 1), 0x00010203u);
        }
    }
}

TEST(CanvasPixels, OutsideRefusedTopByteIgnoredAndChannelSettersClamped) {
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 2, 2);
        FillAll(*canvas, 0x00FFFFFF);
        for (auto p : std::vector<Point>{{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
            EXPECT_EQ(canvas->GetRgb(p.first, p.second), 0u);
            EXPECT_EQ(canvas->GetRawPixel(p.first, p.second), 0u);
            EXPECT_FALSE(canvas->SetRgb(p.first, p.second, 0));
            EXPECT_FALSE(canvas->SetGreen(p.first, p.second, 0));
            EXPECT_FALSE(canvas->AddBlue(p.first, p.second, 1));
            EXPECT_FALSE(canvas->ScaleRed(p.first, p.second, 0.5));
        }
        EXPECT_EQ(PixelsOf(*canvas, 0x00FFFFFF).size(), 4u);
        EXPECT_TRUE(canvas->SetRgb(1, 1, 0xFF102030u));
        EXPECT_EQ(canvas->GetRgb(1, 1), 0x00102030u);
        EXPECT_EQ(canvas->GetColorRef(1, 1), 0x00302010u);

        canvas->SetRgb(0, 0, 0x00123456);
        EXPECT_TRUE(canvas->SetBlue(0, 0, 300));
        EXPECT_TRUE(canvas->SetRed(0, 0, -5));
        EXPECT_EQ(canvas->GetRgb(0, 0), 0x000034FFu);
        EXPECT_TRUE(canvas->SetGreen(0, 0, 300));
        EXPECT_TRUE(canvas->SetRed(0, 0, 0x7A));
        EXPECT_EQ(canvas->GetRgb(0, 0), 0x007AFFFFu);

        canvas->SetRgb(1, 0, MakeRgb(200, 255, 250));
        EXPECT_TRUE(canvas->AddRed(1, 0, 100));
        EXPECT_TRUE(canvas->AddBlue(1, 0, 10));
        EXPECT_TRUE(canvas->AddGreen(1, 0, -300));
        EXPECT_EQ(canvas->GetRgb(1, 0), MakeRgb(255, 0, 255));
        EXPECT_TRUE(canvas->AddRed(1, 0, INT_MIN));
        EXPECT_TRUE(canvas->AddBlue(1, 0, INT_MAX));
        EXPECT_EQ(canvas->GetRgb(1, 0), MakeRgb(0, 0, 255));

        canvas->SetRgb(0, 1, MakeRgb(255, 255, 255));
        EXPECT_TRUE(canvas->ScaleGreen(0, 1, 0.5));
        EXPECT_TRUE(canvas->ScaleRed(0, 1, -1.0));
        EXPECT_TRUE(canvas->ScaleBlue(0, 1, 1e300));
        EXPECT_EQ(canvas->GetRgb(0, 1), MakeRgb(0, 127, 255));
        EXPECT_TRUE(canvas->ScaleBlue(0, 1, std::numeric_limits<double>::quiet_NaN()));
        EXPECT_EQ(canvas->GetBlue(0, 1), 0);
    }
}

TEST(CanvasPixels, PixelBuffersKeepTheTopByteOfTheirWords) {
    // 3 × 2 bottom-up 24-bit rows of 9 bytes padded to 12; the second is the top.
    const uint8_t rows[24] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                              11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    DibCanvas dib(1, 1);
    DibSectionCanvas section(1, 1);
    auto check = [&](auto* canvas) {
        ASSERT_TRUE(canvas->Create(3, 2, 0xFF123456u));
        EXPECT_EQ(canvas->GetRawPixel(1, 1), 0xFF123456u);
        EXPECT_EQ(canvas->GetRgb(1, 1), 0x00123456u);
        EXPECT_TRUE(canvas->SetGreen(1, 1, 300));
        EXPECT_EQ(canvas->GetRawPixel(1, 1), 0xFF12FF56u);
        EXPECT_TRUE(canvas->SetRawPixel(0, 0, 0xAB000000u));
        EXPECT_EQ(canvas->GetRgb(0, 0), 0u);
        EXPECT_TRUE(canvas->SetRgb(0, 0, 0xAB000000u));
        EXPECT_EQ(canvas->GetRawPixel(0, 0), 0u);

        ASSERT_TRUE(canvas->Create(3, 2, 0xEE000000u));
        EXPECT_FALSE(canvas->LoadDib24Rows(rows, BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadDib24Rows(nullptr, DIB24_ROWS_FORMAT));
        EXPECT_TRUE(canvas->LoadDib24Rows(rows, DIB24_ROWS_FORMAT));
        EXPECT_EQ(canvas->GetRawPixel(0, 0), 0xEE0D0C0Bu);
        EXPECT_EQ(canvas->GetRawPixel(2, 0), 0xEE131211u);
        EXPECT_EQ(canvas->GetRawPixel(0, 1), 0xEE030201u);
        EXPECT_EQ(canvas->GetRawPixel(2, 1), 0xEE090807u);
    };
    check(&dib);
    check(&section);
    // The transparent test looks at the colour without the top byte.
    ASSERT_TRUE(section.Create(2, 2, 0xFF123456u));
    section.SetTransparentColor(0x00123456u);
    EXPECT_TRUE(section.IsTransparentAt(0, 0));
    EXPECT_FALSE(section.IsTransparentAt(2, 0));

    // The device bitmap compares the colour it reads back.
    DdbCanvas ddb(3, 3);
    ddb.SetRgb(1, 1, 0x00FFFFFF);
    ddb.SetTransparentColor(0x00FFFFFF);
    EXPECT_TRUE(ddb.IsTransparentAt(1, 1));
    EXPECT_FALSE(ddb.IsTransparentAt(0, 0));
    EXPECT_FALSE(ddb.IsTransparentAt(-1, 1));
}

TEST(CanvasCopies, EveryClassCopiesEveryOtherAndItself) {
    DdbCanvas ddb(5, 3);
    DibCanvas dib(5, 3);
    DibSectionCanvas section(5, 3);
    const std::vector<Canvas*> sources{&ddb, &dib, &section};
    for (Canvas* source : sources) {
        Paint(*source);
        source->SetTransparentColor(PatternAt(2, 2));
    }
    auto check = [](const Canvas& copy) {
        ExpectPattern(copy, 5, 3);
        EXPECT_EQ(copy.GetTransparentColor(), PatternAt(2, 2));
    };
    auto copyInto = [&](auto target, const char* what) {
        SCOPED_TRACE(what);
        using Target = decltype(target);
        check(Target(ddb));
        check(Target(dib));
        check(Target(section));
        check(Target(static_cast<const Canvas*>(&dib)));
        target = ddb;
        check(target);
        target = Target(1, 1);
        target = section;
        check(target);
        target = Target(1, 1);
        target = dib;
        check(target);
        auto& same = target;
        target = same;
        check(target);
    };
    copyInto(DdbCanvas(1, 1), "into DdbCanvas");
    copyInto(DibCanvas(1, 1), "into DibCanvas");
    copyInto(DibSectionCanvas(1, 1), "into DibSectionCanvas");

    // A copy onto itself changes nothing; only DibCanvas reports it as not done.
    for (Canvas* canvas : sources) {
        const bool isDib = canvas == &dib;
        EXPECT_EQ(canvas->CopyFrom(canvas), !isDib);
        EXPECT_FALSE(canvas->CopyFrom(nullptr));
        if (auto* buffer = dynamic_cast<PixelBuffer*>(canvas)) {
            EXPECT_EQ(buffer->CopyPixelsFrom(buffer), !isDib);
            EXPECT_FALSE(buffer->CopyPixelsFrom(nullptr));
        }
        check(*canvas);
    }

    // A copy of an empty canvas fails and leaves the object empty.
    DibCanvas empty(0, 0);
    DdbCanvas fromEmpty(static_cast<const Canvas*>(&empty));
    EXPECT_EQ(fromEmpty.GetWidth(), 0);
    EXPECT_EQ(fromEmpty.GetDeviceContext(), nullptr);
}

TEST(CanvasCopies, CreateFromBitmapReadsAnyBitmapOnce) {
    // A bitmap outside every canvas: a DIB section of known pixels.
    BITMAPINFO info;
    drawing::DescribeTopDown32(&info, 3, 2);
    void* bits = nullptr;
    gdi_handles::BitmapHandle bitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    uint32_t* words = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 6; ++i) words[i] = PatternAt(i % 3, i / 3);

    gdi_handles::PenHandle pen(CreatePen(PS_SOLID, 1, 0));
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 4, 4);
        Paint(*canvas);
        EXPECT_FALSE(canvas->CreateFromBitmap(nullptr));
        EXPECT_FALSE(canvas->CreateFromBitmap(reinterpret_cast<HBITMAP>(pen.Get())));
        ExpectPattern(*canvas, 4, 4);
        EXPECT_TRUE(canvas->CreateFromBitmap(bitmap.Get()));
        ExpectPattern(*canvas, 3, 2);
    }
    // A GDI canvas may be re-created from its own bitmap.
    DibSectionCanvas section(3, 2);
    Paint(section);
    EXPECT_TRUE(section.CreateFromBitmap(section.GetBitmap()));
    ExpectPattern(section, 3, 2);
}

TEST(CanvasResources, CanvasesAndHoldersGiveBackEveryHandleTheyMade) {
    // What the platform reports of each handle: nothing once it is given back.
    // The 1 × 1 stock bitmap a fresh memory device context holds stays.
    HDC probe = CreateCompatibleDC(nullptr);
    const HGDIOBJ stockBitmap = GetCurrentObject(probe, OBJ_BITMAP);
    DeleteDC(probe);
    for (Kind kind : {Kind::Ddb, Kind::DibSection}) {
        SCOPED_TRACE(KindName(kind));
        HBITMAP bitmap, replaced;
        HDC dc, replacedDC;
        {
            auto canvas = Make(kind, 8, 8);
            auto& surface = dynamic_cast<GdiSurface&>(*canvas);
            replaced = surface.GetBitmap();
            replacedDC = surface.GetDeviceContext();
            EXPECT_TRUE(canvas->Create(9, 9, 0x00FFFFFF));
            // Replacing the image gives the old handles back; a refused size
            // keeps the new ones.
            EXPECT_EQ(GetObjectType(replaced), 0u);
            EXPECT_EQ(GetObjectType(replacedDC), 0u);
            EXPECT_FALSE(canvas->Create(0, 9, 0));
            bitmap = surface.GetBitmap();
            dc = surface.GetDeviceContext();
            EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
            EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
        }
        EXPECT_EQ(GetObjectType(bitmap), 0u);
        EXPECT_EQ(GetObjectType(dc), 0u);
        EXPECT_EQ(GetObjectType(stockBitmap), static_cast<DWORD>(OBJ_BITMAP));
    }

    // A holder frees its handle when it goes or takes another, once after a
    // move, and never after handing it over.
    HPEN first = CreatePen(PS_SOLID, 1, 0), second = CreatePen(PS_SOLID, 2, 0);
    HRGN handedOver = CreateRectRgn(0, 0, 1, 1);
    {
        gdi_handles::PenHandle pen(first);
        gdi_handles::PenHandle moved(std::move(pen));
        moved.Reset(second);
        EXPECT_EQ(GetObjectType(first), 0u);
        EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_PEN));
        gdi_handles::RegionHandle region(handedOver);
        EXPECT_EQ(region.Release(), handedOver);
    }
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(handedOver), static_cast<DWORD>(OBJ_REGION));
    DeleteObject(handedOver);
}
