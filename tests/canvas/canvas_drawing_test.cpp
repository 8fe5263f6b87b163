// Pixel coverage of the drawing primitives: the platform-drawn ones of the
// two device-context canvases and the software rasteriser of DibCanvas.
#include <gtest/gtest.h>

#include <functional>

#include "canvas_test_helpers.h"

using namespace canvas_test;

namespace {

constexpr Rgb INK = 0x00C81E3Cu;
constexpr Rgb WHITE = 0x00FFFFFFu;

const std::vector<Kind> kGdiKinds{Kind::Ddb, Kind::DibSection};

Points Drawn(Kind kind, int size, const std::function<void(Canvas&)>& draw) {
    auto canvas = Make(kind, size, size);
    draw(*canvas);
    return PixelsOf(*canvas, INK);
}

}  // namespace

TEST(CanvasDrawing, PlatformLinesBoxesAndEllipses) {
    for (Kind kind : kGdiKinds) {
        SCOPED_TRACE(KindName(kind));
        // A line leaves out its end point; a zero-length one is one pixel,
        // refused outside, while a clipped longer one still reports true.
        EXPECT_EQ(Drawn(kind, 10, [](Canvas& c) { EXPECT_TRUE(c.DrawLine(0, 0, 3, 0, INK)); }),
                  (Points{{0, 0}, {1, 0}, {2, 0}}));
        auto canvas = Make(kind, 10, 10);
        EXPECT_TRUE(canvas->DrawLine(2, 2, 2, 2, INK));
        EXPECT_FALSE(canvas->DrawLine(-1, 3, -1, 3, INK));
        EXPECT_TRUE(canvas->DrawLine(-5, -5, -1, -1, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), (Points{{2, 2}}));

        // A wide pen covers both ends.
        Points stroke = Drawn(kind, 20, [](Canvas& c) { c.DrawThickLine(4, 10, 15, 10, INK, 4); });
        EXPECT_TRUE(stroke.count({4, 10}) && stroke.count({15, 10}));
        EXPECT_FALSE(stroke.count({10, 4}));

        // A filled box leaves out the column x = right and the row below,
        // whichever way its corners are given.
        EXPECT_EQ(Drawn(kind, 8, [](Canvas& c) { EXPECT_TRUE(c.FillBox(1, 1, 4, 3, INK)); }),
                  Rectangle(1, 1, 3, 3));
        EXPECT_EQ(Drawn(kind, 8, [](Canvas& c) { c.FillBox(4, 3, 1, 1, INK); }),
                  Rectangle(2, 1, 4, 3));
        EXPECT_EQ(Drawn(kind, 8, [](Canvas& c) { c.FillBox(1, 1, 1, 5, INK); }),
                  Rectangle(1, 1, 1, 4));

        Points ellipse =
            Drawn(kind, 16, [](Canvas& c) { EXPECT_TRUE(c.FillEllipse(2, 3, 12, 9, INK)); });
        Span span = SpanOf(ellipse);
        EXPECT_EQ((std::vector<int>{span.left, span.top, span.right, span.bottom}),
                  (std::vector<int>{2, 3, 11, 8}));
        EXPECT_TRUE(ellipse.count({7, 6}));
        EXPECT_EQ(Drawn(kind, 16, [](Canvas& c) { c.FillEllipse(12, 9, 2, 3, INK); }), ellipse);
    }
}

TEST(CanvasDrawing, BoxOutlinesDotsDiscsAndCirclesOnEveryClass) {
    Points border = Rectangle(1, 1, 4, 3);
    border.erase({2, 2});
    border.erase({3, 2});
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        EXPECT_EQ(Drawn(kind, 8, [](Canvas& c) { EXPECT_TRUE(c.DrawBox(1, 1, 4, 3, INK)); }),
                  border);
        if (kind == Kind::Dib) {  // the software box includes the column x = right
            EXPECT_EQ(Drawn(kind, 8, [](Canvas& c) { c.FillBox(1, 1, 4, 3, INK); }),
                      Rectangle(1, 1, 4, 3));
        }

        auto canvas = Make(kind, 12, 12);
        EXPECT_FALSE(canvas->DrawThickLine(1, 1, 8, 8, INK, 0));
        EXPECT_FALSE(canvas->DrawThickLine(-1, 0, -1, 0, INK, 1));
        EXPECT_TRUE(canvas->DrawThickLine(5, 5, 5, 5, INK, 1));
        EXPECT_EQ(PixelsOf(*canvas, INK), (Points{{5, 5}}));

        // Widths 6 and 7 give the same dot as a disc of radius 3.
        const Points disc = Drawn(kind, 12, [](Canvas& c) { c.FillCircle(5, 5, 3, INK); });
        for (uint16_t width : {uint16_t{6}, uint16_t{7}}) {
            EXPECT_EQ(
                Drawn(kind, 12,
                      [&](Canvas& c) { EXPECT_TRUE(c.DrawThickLine(5, 5, 5, 5, INK, width)); }),
                disc)
                << width;
        }
        Span span = SpanOf(disc);
        EXPECT_EQ((std::vector<int>{span.left, span.top, span.right}), (std::vector<int>{2, 2, 7}));
        // The software disc runs 2d + 1 pixels down each column.
        EXPECT_EQ(span.bottom, kind == Kind::Dib ? 8 : 7);

        // A negative radius draws the same figure; radius 0 is one pixel.
        EXPECT_EQ(Drawn(kind, 12, [](Canvas& c) { EXPECT_TRUE(c.FillCircle(5, 5, -3, INK)); }),
                  disc);
        auto dot = Make(kind, 16, 16);
        EXPECT_TRUE(dot->FillCircle(4, 4, 0, INK));
        EXPECT_TRUE(dot->DrawCircle(9, 9, 0, INK));
        EXPECT_FALSE(dot->FillCircle(-1, 4, 0, INK));
        EXPECT_EQ(PixelsOf(*dot, INK), (Points{{4, 4}, {9, 9}}));

        auto ring = Make(kind, 16, 16);
        EXPECT_TRUE(ring->DrawCircle(8, 8, 4, INK));
        EXPECT_EQ(Drawn(kind, 16, [](Canvas& c) { c.DrawCircle(8, 8, -4, INK); }),
                  PixelsOf(*ring, INK));
        // On GDI the fresh memory device context's white brush paints the inside.
        EXPECT_EQ(ring->GetRgb(8, 8), kind == Kind::Dib ? 0u : WHITE);
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

        // The colour already there: nothing changes, and the call ends.
        canvas->FloodFill(4, 4, INK);
        EXPECT_FALSE(canvas->FloodFill(-1, 0, INK));
        EXPECT_FALSE(canvas->FloodFill(10, 0, INK));
        EXPECT_EQ(PixelsOf(*canvas, INK), Rectangle(3, 3, 6, 6));
    }
    // The memory canvas has neither flood fill nor ellipse.
    DibCanvas canvas(8, 8);
    EXPECT_FALSE(canvas.FloodFill(2, 2, INK));
    EXPECT_FALSE(canvas.FillEllipse(0, 0, 8, 8, INK));
    EXPECT_TRUE(PixelsOf(canvas, INK).empty());
}

TEST(CanvasDrawing, PrimitivesLeaveTheDeviceContextAsTheyFoundIt) {
    for (Kind kind : kGdiKinds) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 20, 20);
        HDC dc = dynamic_cast<GdiSurface&>(*canvas).GetDeviceContext();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
        const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
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
            EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN)) << name;
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH)) << name;
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap) << name;
        }
    }
}

// The software rasteriser of DibCanvas.

TEST(CanvasSoftwareDrawing, LinesCirclesAndThickLines) {
    // Lines include both ends, one pixel per step, in every direction.
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
        {-2, -2, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
        {5, 6, 5, 3, {{5, 3}, {5, 4}, {5, 5}, {5, 6}}},
    };
    for (const Case& c : cases) {
        DibCanvas canvas(16, 16);
        EXPECT_TRUE(canvas.DrawLine(c.x0, c.y0, c.x1, c.y1, INK));
        EXPECT_EQ(PixelsOf(canvas, INK), c.expected)
            << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1 << ": "
            << Describe(PixelsOf(canvas, INK));
    }

    // Circles by columns.
    DibCanvas ring(20, 20);
    EXPECT_TRUE(ring.DrawCircle(10, 10, 2, INK));
    EXPECT_EQ(PixelsOf(ring, INK),
              (Points{{8, 10}, {9, 11}, {9, 9}, {10, 12}, {10, 8}, {11, 11}, {11, 9}}));
    DibCanvas disc(20, 20);
    EXPECT_TRUE(disc.FillCircle(10, 10, 2, INK));
    Points expected = Rectangle(9, 9, 11, 11);
    for (const Point& p : Points{{8, 10}, {10, 8}, {10, 12}}) expected.insert(p);
    EXPECT_EQ(PixelsOf(disc, INK), expected);

    // A width of 1 is the plain line; wider ones stamp a disc at each step.
    DibCanvas thin(20, 20), line(20, 20);
    EXPECT_TRUE(thin.DrawThickLine(1, 2, 15, 9, INK, 1));
    line.DrawLine(1, 2, 15, 9, INK);
    EXPECT_EQ(PixelsOf(thin, INK), PixelsOf(line, INK));
    for (uint16_t width : {uint16_t{4}, uint16_t{5}}) {
        DibCanvas thick(20, 20), stamped(20, 20);
        EXPECT_TRUE(thick.DrawThickLine(3, 3, 9, 6, INK, width));
        for (int x = 3; x <= 9; ++x) stamped.FillCircle(x, 3 + (x - 3) / 2, 2, INK);
        EXPECT_EQ(PixelsOf(thick, INK), PixelsOf(stamped, INK)) << width;
    }
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
