// The drawing primitives of the two canvases the platform draws on, against
// pixels worked out by hand, and the sizes a canvas refuses.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>
#include <utility>

#include "canvas_test_helpers.h"

using namespace canvas_test;

namespace {

constexpr Rgb INK = 0x00C81E3Cu;

using Points = std::set<std::pair<int, int>>;

// Every pixel of the canvas that has this colour.
Points PixelsOf(const Canvas& canvas, Rgb colour) {
    Points found;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x)
            if (canvas.GetRgb(x, y) == colour) found.insert({x, y});
    return found;
}

}  // namespace

TEST(CanvasDrawing, SizesAndPrimitivesCoverWhatTheySay) {
    for (Kind kind : {Kind::Ddb, Kind::DibSection}) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 16, 16);
        // Below one pixel, or more than can be held (70000 × 70000 wraps to a
        // positive 32-bit product): refused, the canvas as it was.
        const int sizes[][2] = {{0, 5}, {-3, 4}, {70000, 70000}, {32768, 16384}, {INT_MAX, 2}};
        for (const auto& size : sizes) EXPECT_FALSE(canvas->Create(size[0], size[1], INK));
        EXPECT_EQ(PixelsOf(*canvas, 0).size(), 256u);
        EXPECT_FALSE(canvas->DrawThickLine(1, 1, 8, 8, INK, 0));
        const HDC dc = DeviceContextOf(*canvas);
        const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
        // The pixels of INK after `draw` on the black canvas, which is black
        // again afterwards; the device context keeps its own objects.
        auto drawn = [&](const std::function<bool()>& draw) {
            EXPECT_TRUE(draw());
            EXPECT_TRUE(GetCurrentObject(dc, OBJ_PEN) == pen &&
                        GetCurrentObject(dc, OBJ_BRUSH) == brush);
            const Points ink = PixelsOf(*canvas, INK);
            canvas->FillBox(0, 0, 16, 16, 0);
            return ink;
        };
        // A line leaves out its end point, a wide pen covers both, a dot is a disc.
        EXPECT_EQ(drawn([&] { return canvas->DrawLine(0, 0, 3, 0, INK); }),
                  (Points{{0, 0}, {1, 0}, {2, 0}}));
        const Points stroke = drawn([&] { return canvas->DrawThickLine(4, 10, 15, 10, INK, 4); });
        EXPECT_TRUE(stroke.count({4, 10}) && stroke.count({15, 10}) && !stroke.count({10, 4}));
        EXPECT_EQ(drawn([&] { return canvas->DrawThickLine(5, 5, 5, 5, INK, 6); }),
                  drawn([&] { return canvas->FillCircle(5, 5, 3, INK); }));
        // An ellipse leaves out its right column.
        const Points ellipse = drawn([&] { return canvas->FillEllipse(2, 3, 12, 9, INK); });
        EXPECT_TRUE(ellipse.begin()->first == 2 && ellipse.rbegin()->first == 11);
        // A flood fill repaints the seed's colour up to any other colour,
        // even one a step away: the 4 × 4 pixels inside the box.
        canvas->DrawBox(2, 2, 7, 7, 0x00000001u);
        EXPECT_EQ(drawn([&] { return canvas->FloodFill(4, 4, INK); }).size(), 16u);
        EXPECT_FALSE(canvas->FloodFill(-1, 0, INK));
    }
}
