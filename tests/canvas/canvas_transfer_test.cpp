// Transfers between every pair of canvas classes and onto device contexts:
// clipping, transparent pixels, tiles, blending, cut-out copies and copies of
// a canvas onto itself.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>

#include "canvas_test_helpers.h"

using namespace canvas_test;

namespace {

constexpr Rgb BACKGROUND = 0x00203040u;
constexpr Rgb WHITE = 0x00FFFFFFu;

// What the target should hold after the source was drawn at (x, y) onto a
// target filled with BACKGROUND.
void ExpectDrawn(const Canvas& target, const Canvas& source, int x, int y,
                 const std::string& what) {
    SCOPED_TRACE(what);
    ExpectEach(target, [&](int tx, int ty) {
        int sx = tx - x, sy = ty - y;
        bool inside = sx >= 0 && sy >= 0 && sx < source.GetWidth() && sy < source.GetHeight();
        return inside && source.GetRgb(sx, sy) != source.GetTransparentColor()
                   ? source.GetRgb(sx, sy)
                   : BACKGROUND;
    });
}

// A target of BACKGROUND holding PatternAt shifted by (left, top) in the block
// left..right-1 × top..bottom-1, repeated every tileWidth × tileHeight.
void ExpectBlock(const Canvas& target, int left, int top, int right, int bottom,
                 int tileWidth = INT_MAX, int tileHeight = INT_MAX) {
    ExpectEach(target, [&](int x, int y) {
        bool inside = x >= left && x < right && y >= top && y < bottom;
        return inside ? PatternAt((x - left) % tileWidth, (y - top) % tileHeight) : BACKGROUND;
    });
}

std::unique_ptr<Canvas> Background(Kind kind, int width, int height) {
    auto canvas = Make(kind, width, height);
    FillAll(*canvas, BACKGROUND);
    return canvas;
}

// Draws through the overload the target's own class picks.
bool DrawByClass(const Canvas& source, Kind targetKind, Canvas* target, int x, int y) {
    if (targetKind == Kind::Ddb) return source.DrawTo(dynamic_cast<GdiSurface*>(target), x, y);
    if (targetKind == Kind::Dib) return source.DrawTo(dynamic_cast<PixelBuffer*>(target), x, y);
    return source.DrawTo(dynamic_cast<DibSectionCanvas*>(target), x, y);
}

std::string PairName(Kind source, Kind target) {
    return std::string(KindName(source)) + " -> " + KindName(target);
}

struct Placement {
    int x, y;
    bool drawn;  // what the Canvas* overload answers
};

// The four edges, each just out of reach and just within it.
const std::vector<Placement> kPlacements{
    {-3, 8, true}, {-5, 0, false}, {-4, 0, true}, {0, -5, false}, {0, -4, true}, {10, 0, false},
    {9, 0, true},  {0, 10, false}, {0, 9, true},  {8, 8, true},   {2, 3, true},  {-4, -4, true}};

}  // namespace

TEST(CanvasTransfers, DrawToDrawRectToAndTileToBetweenEveryPair) {
    for (Kind sourceKind : AllKinds()) {
        for (Kind targetKind : AllKinds()) {
            SCOPED_TRACE(PairName(sourceKind, targetKind));
            auto source = Make(sourceKind, 5, 5);
            Paint(*source);
            EXPECT_FALSE(source->DrawTo(static_cast<Canvas*>(nullptr), 0, 0));
            EXPECT_FALSE(DrawByClass(*source, targetKind, nullptr, 0, 0));
            for (bool keyed : {false, true}) {
                if (keyed) {  // transparent pixels: a block and a lone pixel at the edge
                    for (const Point& p : Rectangle(1, 1, 3, 2))
                        source->SetRgb(p.first, p.second, WHITE);
                    source->SetRgb(4, 0, WHITE);
                    source->SetTransparentColor(WHITE);
                }
                for (const Placement& at : kPlacements) {
                    SCOPED_TRACE(testing::Message()
                                 << (keyed ? "keyed " : "") << "at " << at.x << "," << at.y);
                    auto target = Background(targetKind, 10, 10);
                    EXPECT_EQ(source->DrawTo(target.get(), at.x, at.y), at.drawn);
                    ExpectDrawn(*target, *source, at.x, at.y, "Canvas* overload");
                    auto other = Background(targetKind, 10, 10);
                    const bool drawn = DrawByClass(*source, targetKind, other.get(), at.x, at.y);
                    // The row copy between pixel buffers refuses as the Canvas*
                    // overload does; the device-context paths always answer true.
                    if (targetKind == Kind::Dib) {
                        EXPECT_EQ(drawn, at.drawn);
                    }
                    ExpectDrawn(*other, *source, at.x, at.y, "class overload");
                }
            }

            source = Make(sourceKind, 4, 4);
            Paint(*source);
            // The top-left block only.
            auto target = Background(targetKind, 6, 6);
            EXPECT_TRUE(source->DrawRectTo(target.get(), 1, 2, 2, 3));
            ExpectBlock(*target, 1, 2, 3, 5);
            // A block larger than the source copies the source only.
            auto whole = Background(targetKind, 6, 6);
            EXPECT_TRUE(source->DrawRectTo(whole.get(), 1, 1, 50, 50));
            ExpectDrawn(*whole, *source, 1, 1, "oversized block");
            EXPECT_FALSE(source->DrawRectTo(whole.get(), 0, 0, 0, 3));
            EXPECT_FALSE(source->DrawRectTo(whole.get(), -4, 0, 9, 9));
            // Clipped to nothing: nothing copied, still true.
            EXPECT_TRUE(source->DrawRectTo(whole.get(), -2, 0, 1, 1));
            ExpectDrawn(*whole, *source, 1, 1, "clipped to nothing");

            // Tiles start at the origin and are cut at the far edges.
            auto tile = Make(sourceKind, 3, 2);
            Paint(*tile);
            auto tiled = Background(targetKind, 10, 8);
            EXPECT_TRUE(tile->TileTo(tiled.get(), 1, 1, 7, 5));
            ExpectBlock(*tiled, 1, 1, 8, 6, 3, 2);
            EXPECT_FALSE(tile->TileTo(tiled.get(), 0, 0, 0, 5));
            EXPECT_FALSE(tile->TileTo(tiled.get(), -8, 0, 7, 5));
            EXPECT_FALSE(tile->TileTo(tiled.get(), 0, -6, 7, 5));
            // Only the tiles that meet the target are drawn: a rectangle of
            // the whole int range ends, its tiles still counted from its origin.
            EXPECT_TRUE(tile->TileTo(tiled.get(), -1000000001, -7, INT_MAX, INT_MAX));
            ExpectBlock(*tiled, -1000000001, -7, INT_MAX, INT_MAX, 3, 2);
            auto dot = Make(sourceKind, 1, 1);
            dot->SetRgb(0, 0, WHITE);
            EXPECT_TRUE(dot->TileTo(tiled.get(), 0, 0, INT_MAX, INT_MAX));
            EXPECT_EQ(PixelsOf(*tiled, WHITE).size(), 80u);
        }
    }
}

TEST(CanvasTransfers, DrawingTilingAndBlendingOntoADeviceContext) {
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto source = Make(kind, 4, 3);
        Paint(*source);
        DibSectionCanvas window(10, 8);
        HDC dc = window.GetDeviceContext();
        FillAll(window, BACKGROUND);
        EXPECT_TRUE(source->DrawToDC(dc, 2, 3));
        ExpectDrawn(window, *source, 2, 3, "DrawToDC");

        // A block larger than the canvas copies only the canvas.
        FillAll(window, BACKGROUND);
        EXPECT_TRUE(source->DrawRectToDC(dc, 1, 1, 20, 20));
        ExpectDrawn(window, *source, 1, 1, "DrawRectToDC whole");
        FillAll(window, BACKGROUND);
        EXPECT_TRUE(source->DrawRectToDC(dc, 1, 1, 2, 2));
        ExpectBlock(window, 1, 1, 3, 3);
        EXPECT_FALSE(source->DrawRectToDC(dc, 1, 1, 0, 2));

        // White pixels left out, the rest painted; then every pixel again.
        for (const Point& p : Rectangle(0, 0, 1, 1)) source->SetRgb(p.first, p.second, WHITE);
        source->SetTransparentColor(WHITE);
        FillAll(window, BACKGROUND);
        EXPECT_TRUE(source->DrawToDC(dc, 2, 3));
        ExpectDrawn(window, *source, 2, 3, "keyed DrawToDC");
        // Far off the device context: nothing drawn, nothing overflows.
        EXPECT_TRUE(source->DrawToDC(dc, INT_MAX - 1, INT_MAX - 1));
        EXPECT_TRUE(source->DrawRectToDC(dc, INT_MIN, 0, 4, 3));
        ExpectDrawn(window, *source, 2, 3, "keyed DrawToDC far away");
        FillAll(window, BACKGROUND);
        EXPECT_TRUE(source->DrawRectToDC(dc, 2, 3, 3, 3));
        EXPECT_EQ(window.GetRgb(2, 3), BACKGROUND);
        EXPECT_EQ(window.GetRgb(4, 5), PatternAt(2, 2));
        EXPECT_EQ(window.GetRgb(5, 3), BACKGROUND);

        auto tile = Make(kind, 3, 2);
        Paint(*tile);
        FillAll(window, BACKGROUND);
        EXPECT_TRUE(tile->TileToDC(dc, 1, 1, 7, 5));
        ExpectBlock(window, 1, 1, 8, 6, 3, 2);
        // Only the DIB-section canvas cuts its blocks without leaving a
        // clipping region selected.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetClipRgn(dc, region), kind == Kind::DibSection ? 0 : 1);
        DeleteObject(region);
        SelectClipRgn(dc, nullptr);
        EXPECT_FALSE(tile->TileToDC(dc, 0, 0, 7, 0));
        EXPECT_FALSE(tile->TileToDC(dc, -8, 0, 7, 5));
        // Only the tiles that meet the device context are drawn.
        EXPECT_TRUE(tile->TileToDC(dc, -1000000001, -7, INT_MAX, INT_MAX));
        SelectClipRgn(dc, nullptr);
        ExpectBlock(window, -1000000001, -7, INT_MAX, INT_MAX, 3, 2);
        auto dot = Make(kind, 1, 1);
        dot->SetRgb(0, 0, WHITE);
        EXPECT_TRUE(dot->TileToDC(dc, 0, 0, INT_MAX, INT_MAX));
        SelectClipRgn(dc, nullptr);
        EXPECT_EQ(PixelsOf(window, WHITE).size(), 80u);

        auto blended = Make(kind, 2, 2);
        FillAll(*blended, MakeRgb(200, 0, 255));
        DibSectionCanvas blendWindow(4, 4);
        FillAll(blendWindow, MakeRgb(100, 255, 0));
        EXPECT_FALSE(blended->BlendToDC(blendWindow.GetDeviceContext(), 0, 0, 0.0));
        EXPECT_TRUE(blended->BlendToDC(blendWindow.GetDeviceContext(), 1, 1, 0.5));
        EXPECT_EQ(blendWindow.GetRgb(1, 1), MakeRgb(150, 127, 127));
        EXPECT_EQ(blendWindow.GetRgb(2, 2), MakeRgb(150, 127, 127));
        EXPECT_EQ(blendWindow.GetRgb(3, 3), MakeRgb(100, 255, 0));
        EXPECT_TRUE(blended->BlendToDC(blendWindow.GetDeviceContext(), 2, 2, 2.0));
        EXPECT_EQ(blendWindow.GetRgb(3, 3), MakeRgb(200, 0, 255));
    }
}

TEST(CanvasTransfers, BlendMixesWithWhatIsThere) {
    const Rgb under = MakeRgb(100, 255, 0);
    for (Kind sourceKind : AllKinds()) {
        for (Kind targetKind : AllKinds()) {
            SCOPED_TRACE(PairName(sourceKind, targetKind));
            auto source = Make(sourceKind, 3, 2);
            FillAll(*source, MakeRgb(200, 0, 255));
            source->SetRgb(2, 1, WHITE);
            auto target = Make(targetKind, 4, 4);
            FillAll(*target, under);

            EXPECT_FALSE(source->BlendTo(target.get(), 0, 0, 0.0));
            EXPECT_FALSE(source->BlendTo(target.get(), 0, 0, -1.0));
            EXPECT_FALSE(
                source->BlendTo(target.get(), 0, 0, std::numeric_limits<double>::quiet_NaN()));
            EXPECT_FALSE(source->BlendTo(nullptr, 0, 0, 0.5));
            EXPECT_EQ(PixelsOf(*target, under).size(), 16u);

            EXPECT_TRUE(source->BlendTo(target.get(), 1, 1, 0.5));
            EXPECT_EQ(target->GetRgb(1, 1), MakeRgb(150, 127, 127));
            EXPECT_EQ(target->GetRgb(3, 2), MakeRgb(177, 255, 127));
            EXPECT_EQ(target->GetRgb(0, 0), under);

            // Transparent pixels are left out; the part beyond the target is
            // refused by the target (no clipping needed).
            FillAll(*target, under);
            source->SetTransparentColor(WHITE);
            EXPECT_TRUE(source->BlendTo(target.get(), 2, 3, 0.25));
            EXPECT_EQ(target->GetRgb(2, 3), MakeRgb(125, 191, 63));
            EXPECT_EQ(target->GetRgb(3, 3), MakeRgb(125, 191, 63));
            EXPECT_EQ(target->GetRgb(1, 3), under);
            source->SetTransparentColor(NO_TRANSPARENT_COLOR);

            // Full opacity draws.
            auto opaque = Background(targetKind, 4, 4);
            EXPECT_TRUE(source->BlendTo(opaque.get(), -1, 0, 1.0));
            ExpectDrawn(*opaque, *source, -1, 0, "opacity 1");
        }
    }
}

TEST(CanvasTransfers, CopyRectHandsOutANewMemoryCanvas) {
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto source = Make(kind, 5, 5);
        Paint(*source);
        source->SetTransparentColor(PatternAt(0, 0));
        std::unique_ptr<Canvas> copy(source->CopyRect(0, 0, 10, 10));
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(dynamic_cast<DibCanvas*>(copy.get()), nullptr);
        EXPECT_EQ(copy->GetWidth(), 10);
        EXPECT_EQ(copy->GetHeight(), 10);
        EXPECT_EQ(copy->GetTransparentColor(), NO_TRANSPARENT_COLOR);
        ExpectEach(*copy, [](int x, int y) { return x < 5 && y < 5 ? PatternAt(x, y) : 0u; });
        std::unique_ptr<Canvas> block(source->CopyRect(2, 1, 3, 2));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->GetRgb(0, 0), PatternAt(2, 1));
        EXPECT_EQ(block->GetRgb(2, 1), PatternAt(4, 2));

        EXPECT_EQ(source->CopyRect(-1, 0, 5, 5), nullptr);
        EXPECT_EQ(source->CopyRect(0, -1, 5, 5), nullptr);
        EXPECT_EQ(source->CopyRect(0, 0, 0, 5), nullptr);
        EXPECT_EQ(source->CopyRect(0, 0, 70000, 70000), nullptr);
        std::unique_ptr<Canvas> farAway(source->CopyRect(INT_MAX, INT_MAX, 2, 2));
        ASSERT_NE(farAway, nullptr);
        EXPECT_EQ(PixelsOf(*farAway, 0).size(), 4u);
    }
}

TEST(CanvasTransfers, DrawingOrBlendingACanvasOntoItselfReadsThePictureAsItWas) {
    // Every source pixel is read before it is overwritten, whichever way the
    // picture moves, through every overload, with a transparent colour or
    // without; blending mixes with the picture as it was.
    for (Kind kind : AllKinds()) {
        for (Rgb key : {NO_TRANSPARENT_COLOR, PatternAt(2, 1)}) {
            for (const Point& shift : std::vector<Point>{{1, 1}, {-1, -1}, {2, -1}, {-2, 1}}) {
                SCOPED_TRACE(testing::Message() << KindName(kind) << " key " << key << " by "
                                                << shift.first << "," << shift.second);
                const int dx = shift.first, dy = shift.second;
                auto canvas = Make(kind, 6, 5);
                Canvas* self = canvas.get();
                // Each overload, and whether it blends.
                std::vector<std::tuple<const char*, bool, std::function<bool()>>> operations{
                    {"DrawTo(Canvas*)", false, [&] { return self->DrawTo(self, dx, dy); }},
                    {"DrawRectTo", false, [&] { return self->DrawRectTo(self, dx, dy, 6, 5); }},
                    {"BlendTo", true, [&] { return self->BlendTo(self, dx, dy, 0.5); }}};
                if (auto* buffer = dynamic_cast<PixelBuffer*>(self)) {
                    operations.push_back({"DrawTo(PixelBuffer*)", false,
                                          [=] { return self->DrawTo(buffer, dx, dy); }});
                }
                if (auto* surface = dynamic_cast<GdiSurface*>(self)) {
                    HDC dc = surface->GetDeviceContext();
                    operations.insert(
                        operations.end(),
                        {{"DrawTo(GdiSurface*)", false,
                          [=] { return self->DrawTo(surface, dx, dy); }},
                         {"DrawToDC", false, [=] { return self->DrawToDC(dc, dx, dy); }},
                         {"DrawRectToDC", false,
                          [=] { return self->DrawRectToDC(dc, dx, dy, 6, 5); }},
                         {"BlendToDC", true, [=] { return self->BlendToDC(dc, dx, dy, 0.5); }}});
                }
                if (auto* section = dynamic_cast<DibSectionCanvas*>(self)) {
                    operations.push_back({"DrawTo(DibSectionCanvas*)", false,
                                          [=] { return self->DrawTo(section, dx, dy); }});
                }
                for (const auto& [name, blends, run] : operations) {
                    SCOPED_TRACE(name);
                    Paint(*canvas);
                    canvas->SetTransparentColor(key);
                    EXPECT_TRUE(run());
                    ExpectEach(*canvas, [&, blends = blends](int x, int y) {
                        const int sx = x - dx, sy = y - dy;
                        const Rgb under = PatternAt(x, y), over = PatternAt(sx, sy);
                        if (sx < 0 || sy < 0 || sx >= 6 || sy >= 5 || over == key) return under;
                        if (!blends) return over;
                        return MakeRgb((RgbRed(over) + RgbRed(under)) / 2,
                                       (RgbGreen(over) + RgbGreen(under)) / 2,
                                       (RgbBlue(over) + RgbBlue(under)) / 2);
                    });
                }
            }
        }
    }
}
