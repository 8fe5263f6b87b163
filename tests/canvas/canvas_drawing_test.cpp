// Pixel coverage of the drawing primitives: the platform-drawn ones of the
// two device-context canvases and the software rasteriser of DibCanvas.
#include <gtest/gtest.h>

#include <functional>

#include "canvas/gdi_handles.h"
#include "canvas_test_helpers.h"

using namespace canvas_test;

namespace {

constexpr Rgb INK = 0x00C81E3Cu;
constexpr Rgb WHITE = 0x00FFFFFFu;

const std::vector<Kind> kGdiKinds{Kind::Ddb, Kind::DibSection};

// Checks after a primitive that the device context has the pen and brush it
// had before and that every handle made on the way was given back.
class DeviceContextState {
public:
    explicit DeviceContextState(const GdiSurface& surface)
        : dc(surface.GetDeviceContext()),
          pen(GetCurrentObject(dc, OBJ_PEN)),
          brush(GetCurrentObject(dc, OBJ_BRUSH)),
          bitmap(GetCurrentObject(dc, OBJ_BITMAP)),
          handles(gdi_handles::LiveHandleCount()) {}
    void ExpectUnchanged(const char* what) const {
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen) << what;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush) << what;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap) << what;
        EXPECT_EQ(gdi_handles::LiveHandleCount(), handles) << what;
    }

private:
    HDC dc;
    HGDIOBJ pen, brush, bitmap;
    long handles;
};

GdiSurface& SurfaceOf(Canvas& canvas) {
    return dynamic_cast<GdiSurface&>(canvas);
}

}  // namespace

TEST(CanvasDrawing, PlatformLinesLeaveOutTheirEndPoint) {
    for (Kind kind : kGdiKinds) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 10, 10);
        EXPECT_TRUE(canvas->DrawLine(0, 0, 3, 0, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), (Points{{0, 0}, {1, 0}, {2, 0}}));

        canvas = Make(kind, 10, 10);
        EXPECT_TRUE(canvas->DrawLine(2, 2, 2, 2, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), (Points{{2, 2}}));
        // A zero-length line is one SetRgb: refused outside.
        EXPECT_FALSE(canvas->DrawLine(-1, 3, -1, 3, INK));
        // A longer one is clipped by the platform and still reports true.
        EXPECT_TRUE(canvas->DrawLine(-5, -5, -1, -1, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK).size(), 1u);

        // A wide pen covers both ends.
        canvas = Make(kind, 20, 20);
        EXPECT_TRUE(canvas->DrawThickLine(4, 10, 15, 10, INK, 4));
        Points stroke = PixelsOf(*canvas, INK);
        EXPECT_TRUE(stroke.count({4, 10}));
        EXPECT_TRUE(stroke.count({15, 10}));
        EXPECT_FALSE(stroke.count({10, 4}));
    }
}

TEST(CanvasDrawing, BoxOutlineOnEveryClassAndFilledBoxOnPlatformCanvases) {
    Points border = Rectangle(1, 1, 4, 3);
    border.erase({2, 2});
    border.erase({3, 2});
    ASSERT_EQ(border.size(), 10u);
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 8, 8);
        EXPECT_TRUE(canvas->DrawBox(1, 1, 4, 3, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), border);

        // The software box includes the column x = right; GDI leaves it out.
        canvas = Make(kind, 8, 8);
        EXPECT_TRUE(canvas->FillBox(1, 1, 4, 3, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), Rectangle(1, 1, kind == Kind::Dib ? 4 : 3, 3));
        if (kind == Kind::Dib) continue;

        canvas = Make(kind, 8, 8);
        EXPECT_TRUE(canvas->FillBox(4, 3, 1, 1, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), Rectangle(2, 1, 4, 3));

        canvas = Make(kind, 8, 8);
        EXPECT_TRUE(canvas->FillBox(1, 1, 1, 5, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), Rectangle(1, 1, 1, 4));
    }
}

TEST(CanvasDrawing, ThickLineDotsAndDiscs) {
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 12, 12);
        EXPECT_FALSE(canvas->DrawThickLine(1, 1, 8, 8, INK, 0));
        EXPECT_TRUE(PixelsOf(*canvas, INK).empty());

        EXPECT_TRUE(canvas->DrawThickLine(5, 5, 5, 5, INK, 1));
        EXPECT_EQ(PixelsOf(*canvas, INK), (Points{{5, 5}}));

        for (uint16_t width : {uint16_t{6}, uint16_t{7}}) {
            SCOPED_TRACE(width);
            canvas = Make(kind, 12, 12);
            EXPECT_TRUE(canvas->DrawThickLine(5, 5, 5, 5, INK, width));
            Points disc = PixelsOf(*canvas, INK);
            Span span = SpanOf(disc);
            EXPECT_EQ(span.left, 2);
            EXPECT_EQ(span.right, 7);
            EXPECT_EQ(span.top, 2);
            // The software disc runs 2d + 1 pixels down each column.
            EXPECT_EQ(span.bottom, kind == Kind::Dib ? 8 : 7);
            // Even and odd widths give the same dot.
            auto other = Make(kind, 12, 12);
            other->FillCircle(5, 5, 3, INK);
            EXPECT_EQ(PixelsOf(*other, INK), disc);
        }

        // A dot outside the canvas is refused.
        EXPECT_FALSE(canvas->DrawThickLine(-1, 0, -1, 0, INK, 1));
    }
}

TEST(CanvasDrawing, CirclesWithNegativeAndZeroRadius) {
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto positive = Make(kind, 16, 16);
        auto negative = Make(kind, 16, 16);
        EXPECT_TRUE(positive->FillCircle(8, 8, 3, INK));
        EXPECT_TRUE(negative->FillCircle(8, 8, -3, INK));
        EXPECT_FALSE(PixelsOf(*positive, INK).empty());
        EXPECT_EQ(PixelsOf(*positive, INK), PixelsOf(*negative, INK));
        Span span = SpanOf(PixelsOf(*positive, INK));
        EXPECT_EQ(span.left, 5);
        EXPECT_EQ(span.right, 10);

        auto dot = Make(kind, 16, 16);
        EXPECT_TRUE(dot->FillCircle(4, 4, 0, INK));
        EXPECT_TRUE(dot->DrawCircle(9, 9, 0, INK));
        EXPECT_EQ(PixelsOf(*dot, INK), (Points{{4, 4}, {9, 9}}));
        EXPECT_FALSE(dot->FillCircle(-1, 4, 0, INK));

        auto ring = Make(kind, 16, 16);
        auto mirrored = Make(kind, 16, 16);
        EXPECT_TRUE(ring->DrawCircle(8, 8, 4, INK));
        EXPECT_TRUE(mirrored->DrawCircle(8, 8, -4, INK));
        EXPECT_EQ(PixelsOf(*ring, INK), PixelsOf(*mirrored, INK));
        EXPECT_FALSE(PixelsOf(*ring, INK).count({8, 8}));
        // On GDI the fresh memory device context's white brush paints the inside.
        EXPECT_EQ(ring->GetRgb(8, 8), kind == Kind::Dib ? 0u : WHITE);
    }
}

TEST(CanvasDrawing, EllipseCoversItsBoxWithoutRightAndBottomEdges) {
    for (Kind kind : kGdiKinds) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 16, 16);
        EXPECT_TRUE(canvas->FillEllipse(2, 3, 12, 9, INK));
        Points ellipse = PixelsOf(*canvas, INK);
        Span span = SpanOf(ellipse);
        EXPECT_EQ(span.left, 2);
        EXPECT_EQ(span.right, 11);
        EXPECT_EQ(span.top, 3);
        EXPECT_EQ(span.bottom, 8);
        EXPECT_TRUE(ellipse.count({7, 6}));

        // Corners in any order give the same ellipse.
        auto reversed = Make(kind, 16, 16);
        EXPECT_TRUE(reversed->FillEllipse(12, 9, 2, 3, INK));
        EXPECT_EQ(PixelsOf(*reversed, INK), ellipse);
    }
}

TEST(CanvasDrawing, FloodFillIsBoundedByAnyOtherColour) {
    for (Kind kind : kGdiKinds) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 10, 10);
        // A border one step away from black still bounds a fill of black.
        canvas->DrawBox(2, 2, 7, 7, 0x00000001u);
        EXPECT_TRUE(canvas->FloodFill(4, 4, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), Rectangle(3, 3, 6, 6));
        EXPECT_EQ(canvas->GetRgb(0, 0), 0u);
        EXPECT_EQ(canvas->GetRgb(2, 2), 0x00000001u);

        // The colour already there: nothing changes, and the call ends.
        auto before = PixelsOf(*canvas, INK);
        canvas->FloodFill(4, 4, INK);
        EXPECT_EQ(PixelsOf(*canvas, INK), before);

        EXPECT_FALSE(canvas->FloodFill(-1, 0, INK));
        EXPECT_FALSE(canvas->FloodFill(10, 0, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), before);
    }
}

TEST(CanvasDrawing, PrimitivesLeaveTheDeviceContextAsTheyFoundIt) {
    for (Kind kind : kGdiKinds) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 20, 20);
        GdiSurface& surface = SurfaceOf(*canvas);
        EXPECT_EQ(GetCurrentObject(surface.GetDeviceContext(), OBJ_PEN), GetStockObject(BLACK_PEN));
        EXPECT_EQ(GetCurrentObject(surface.GetDeviceContext(), OBJ_BRUSH),
                  GetStockObject(WHITE_BRUSH));
        DeviceContextState state(surface);
        const std::vector<std::pair<const char*, std::function<bool()>>> primitives{
            {"DrawLine", [&] { return canvas->DrawLine(1, 1, 9, 5, INK); }},
            {"DrawThickLine", [&] { return canvas->DrawThickLine(1, 1, 9, 5, INK, 5); }},
            {"DrawThickLine dot", [&] { return canvas->DrawThickLine(3, 3, 3, 3, INK, 5); }},
            {"DrawBox", [&] { return canvas->DrawBox(1, 1, 6, 6, INK); }},
            {"FillBox", [&] { return canvas->FillBox(1, 1, 6, 6, INK); }},
            {"DrawCircle", [&] { return canvas->DrawCircle(10, 10, 4, INK); }},
            {"FillCircle", [&] { return canvas->FillCircle(10, 10, 4, INK); }},
            {"FillEllipse", [&] { return canvas->FillEllipse(2, 2, 15, 9, INK); }},
            {"FloodFill", [&] { return canvas->FloodFill(18, 18, WHITE); }}};
        for (const auto& [name, draw] : primitives) {
            draw();
            state.ExpectUnchanged(name);
        }
    }
}

// The software rasteriser of DibCanvas.

TEST(CanvasSoftwareDrawing, LinesIncludeBothEndsOnePixelPerStep) {
    struct Case {
        int x0, y0, x1, y1;
        Points expected;
    };
    const std::vector<Case> cases{
        {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {4, 2, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {0, 0, 2, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}},
        {0, 2, 4, 0, {{0, 2}, {1, 2}, {2, 1}, {3, 1}, {4, 0}}},
        {10, 4, 12, 0, {{10, 4}, {11, 3}, {11, 2}, {12, 1}, {12, 0}}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {-2, -2, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
        {0, 0, 3, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {5, 6, 5, 3, {{5, 3}, {5, 4}, {5, 5}, {5, 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1);
        DibCanvas canvas(16, 16);
        EXPECT_TRUE(canvas.DrawLine(c.x0, c.y0, c.x1, c.y1, INK));
        EXPECT_EQ(PixelsOf(canvas, INK), c.expected) << Describe(PixelsOf(canvas, INK));
    }
}

TEST(CanvasSoftwareDrawing, CirclesByColumns) {
    DibCanvas ring(20, 20);
    EXPECT_TRUE(ring.DrawCircle(10, 10, 2, INK));
    EXPECT_EQ(PixelsOf(ring, INK),
              (Points{{8, 10}, {9, 11}, {9, 9}, {10, 12}, {10, 8}, {11, 11}, {11, 9}}));
    DibCanvas mirrored(20, 20);
    EXPECT_TRUE(mirrored.DrawCircle(10, 10, -2, INK));
    EXPECT_EQ(PixelsOf(mirrored, INK), PixelsOf(ring, INK));

    DibCanvas disc(20, 20);
    EXPECT_TRUE(disc.FillCircle(10, 10, 2, INK));
    Points expected{{8, 10}};
    for (int y = 9; y <= 11; ++y) expected.insert({9, y});
    for (int y = 8; y <= 12; ++y) expected.insert({10, y});
    for (int y = 9; y <= 11; ++y) expected.insert({11, y});
    EXPECT_EQ(PixelsOf(disc, INK), expected);
}

TEST(CanvasSoftwareDrawing, ThickLinesStampDiscsAlongTheLine) {
    DibCanvas thin(20, 20);
    DibCanvas line(20, 20);
    EXPECT_TRUE(thin.DrawThickLine(1, 2, 15, 9, INK, 1));
    line.DrawLine(1, 2, 15, 9, INK);
    EXPECT_EQ(PixelsOf(thin, INK), PixelsOf(line, INK));

    for (uint16_t width : {uint16_t{4}, uint16_t{5}}) {
        DibCanvas thick(20, 20);
        DibCanvas stamped(20, 20);
        EXPECT_TRUE(thick.DrawThickLine(3, 3, 9, 6, INK, width));
        for (int x = 3; x <= 9; ++x) stamped.FillCircle(x, 3 + (x - 3) / 2, 2, INK);
        EXPECT_EQ(PixelsOf(thick, INK), PixelsOf(stamped, INK));
    }
}

TEST(CanvasSoftwareDrawing, NoFloodFillOrEllipse) {
    DibCanvas canvas(8, 8);
    Paint(canvas);
    EXPECT_FALSE(canvas.FloodFill(2, 2, INK));
    EXPECT_FALSE(canvas.FillEllipse(0, 0, 8, 8, INK));
    EXPECT_TRUE(PixelsOf(canvas, INK).empty());
    EXPECT_EQ(canvas.GetRgb(2, 2), PatternAt(2, 2));
}

TEST(CanvasSoftwareDrawing, FiguresFarOffTheCanvasEndQuickly) {
    // Coordinates near the ends of the int range: clipped, no overflow, and
    // no walk over billions of off-canvas steps.
    DibCanvas canvas(8, 8);
    EXPECT_TRUE(canvas.DrawLine(INT_MIN, 3, INT_MAX, 3, INK));
    EXPECT_EQ(PixelsOf(canvas, INK), Rectangle(0, 3, 7, 3));
    EXPECT_TRUE(canvas.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INK));
    EXPECT_TRUE(canvas.FillBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INK));
    EXPECT_EQ(PixelsOf(canvas, INK).size(), 64u);
    EXPECT_TRUE(canvas.FillCircle(4, 4, INT_MIN, WHITE));
    EXPECT_EQ(PixelsOf(canvas, WHITE).size(), 64u);
    EXPECT_TRUE(canvas.DrawThickLine(INT_MIN, 0, INT_MAX, 7, INK, 65535));
    EXPECT_EQ(PixelsOf(canvas, INK).size(), 64u);
}
