// The canvases. Every block path against its per-pixel reference
// (ReferenceCanvas): one operation on the same random content, through the
// reference of each class and through the class itself, must give the same
// result and the same stored words in every canvas and device context it
// touches, for every pair of classes, every clipping case and every kind of
// transparent colour. The platform-drawn primitives against pixels by hand.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "canvas/bmp_format.h"
#include "canvas/drawing.h"
#include "canvas_test_helpers.h"
#include "reference_canvas.h"

using namespace canvas_test;

namespace {

constexpr int SOURCE_WIDTH = 23, SOURCE_HEIGHT = 17;
constexpr int TARGET_WIDTH = 31, TARGET_HEIGHT = 29;

// No transparent colour, two that occur often, one that never occurs and one
// with a fourth byte, which no colour equals.
constexpr Rgb KEYS[] = {NO_TRANSPARENT_COLOR, 0xFFFFFF, 0x123456, 0xABCDEF, 0xFF123456};

// Where a source lands on a target: inside, cut on each side, one pixel in,
// just off the target, and far enough off to overflow careless sums.
constexpr int POSITIONS[][2] = {{0, 0},   {4, 7},   {-5, -3},         {25, 25},
                                {-22, 2}, {3, -16}, {30, 28},         {-23, 0},
                                {0, 29},  {0, -17}, {-2000000000, 5}, {5, 2000000000}};

// A canvas of the class or of its reference holding random colours, most
// from a small palette (so that transparent colours meet many pixels), some
// with a fourth byte, which transfers must carry or drop as the reference does.
std::unique_ptr<Canvas> MakeRandom(Kind kind, bool reference, int width, int height, uint32_t seed,
                                   Rgb key) {
    std::unique_ptr<Canvas> canvas = Make(kind, width, height, reference);
    constexpr Rgb PALETTE[] = {0x000000, 0xFFFFFF, 0x123456, 0xFF0000, 0x808080};
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t draw = random();
            const Rgb colour = draw % 4 == 0 ? draw >> 8 : PALETTE[(draw >> 2) % 5];
            canvas->SetRawPixel(x, y, draw % 3 ? colour : colour | (random() << 24));
        }
    }
    canvas->SetTransparentColor(key);
    return canvas;
}

// What a canvas holds (StateOf) and, for one with a device context, the
// words stored behind it.
std::vector<uint32_t> Take(const Canvas* canvas) {
    if (canvas == nullptr) return {};
    std::vector<uint32_t> words = StateOf(*canvas);
    if (HDC dc = DeviceContextOf(*canvas)) {
        // A clipping region on the canvas does not limit what BitBlt reads.
        DibSectionCanvas stored(canvas->GetWidth(), canvas->GetHeight());
        BitBlt(stored.GetDeviceContext(), 0, 0, canvas->GetWidth(), canvas->GetHeight(), dc, 0, 0,
               SRCCOPY);
        drawing::FinishDrawing();
        for (uint32_t word : StateOf(stored)) words.push_back(word);
    }
    return words;
}

// Clips the device context to the region, which is not needed afterwards.
void Clip(HDC dc, HRGN region) {
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

using Numbers = std::array<int, 4>;
using Case = std::pair<const char*, Numbers>;

// One operation named as in the tables of the tests, from `source` onto
// `target`, onto the target's device context `dc`, or on the source alone.
// What it hands out joins `touched`.
int Apply(const std::string& name, const Numbers& n, Canvas& source, Canvas& target, HDC dc,
          std::vector<std::vector<uint32_t>>& touched) {
    if (name == "DrawTo") return source.DrawTo(&target, n[0], n[1]);
    if (name == "DrawTo(face)") {
        if (auto* buffer = dynamic_cast<PixelBuffer*>(&target))
            return source.DrawTo(buffer, n[0], n[1]);
        return source.DrawTo(dynamic_cast<GdiSurface*>(&target), n[0], n[1]);
    }
    if (name == "DrawTo(DibSectionCanvas*)")
        return source.DrawTo(dynamic_cast<DibSectionCanvas*>(&target), n[0], n[1]);
    if (name == "DrawRectTo") return source.DrawRectTo(&target, n[0], n[1], n[2], n[3]);
    if (name == "TileTo") return source.TileTo(&target, n[0], n[1], n[2], n[3]);
    if (name == "CopyFrom") return target.CopyFrom(&source);
    if (name == "DrawToDC") return source.DrawToDC(dc, n[0], n[1]);
    if (name == "DrawRectToDC") return source.DrawRectToDC(dc, n[0], n[1], n[2], n[3]);
    if (name == "TileToDC") return source.TileToDC(dc, n[0], n[1], n[2], n[3]);
    if (name == "BlendTo") return source.BlendTo(&target, n[0], n[1], 0.5);
    if (name == "BlendToDC") return source.BlendToDC(dc, n[0], n[1], 0.5);
    if (name == "FillBox") return source.FillBox(n[0], n[1], n[2], n[3], 0xFF00FF80u);
    if (name == "Create") return source.Create(n[0], n[1], static_cast<Rgb>(n[2]));
    if (name == "PutDib24") {
        // Random rows, padding included.
        std::vector<uint8_t> rows(Dib24Stride(n[2]) * n[3]);
        std::mt19937 random(n[0] * 31 + n[2]);
        for (uint8_t& byte : rows) byte = static_cast<uint8_t>(random());
        return source.PutDib24(n[0], n[1], n[2], n[3], rows.data());
    }
    EXPECT_EQ("CopyRect", name);  // the one operation left
    std::unique_ptr<Canvas> copy(source.CopyRect(n[0], n[1], n[2], n[3]));
    touched.push_back(Take(copy.get()));
    return copy != nullptr;
}

// A target canvas, used as it is or through its device context clipped to an
// ellipse or with its origin moved; the source's device context may be clipped
// too, which must not change what is read from it.
struct Target {
    Kind kind;
    bool clipped = false, moved = false, sourceClipped = false;
};

// Every case from a source of each class onto every target, with every
// transparent colour, once through the references and once through the
// classes: the same results, the same pixels everywhere.
void ExpectSameEverywhere(const std::vector<Case>& cases, const std::vector<Target>& targets) {
    uint32_t seed = 1;
    for (Kind kind : ALL_KINDS) {
        for (const Target& to : targets) {
            for (Rgb key : KEYS) {
                ++seed;
                for (const auto& [name, numbers] : cases) {
                    std::vector<std::vector<uint32_t>> touched[2];
                    int results[2];
                    for (bool reference : {false, true}) {
                        auto source =
                            MakeRandom(kind, reference, SOURCE_WIDTH, SOURCE_HEIGHT, seed, key);
                        auto target = MakeRandom(to.kind, reference, TARGET_WIDTH, TARGET_HEIGHT,
                                                 seed + 1, 0x00FF00);
                        HDC dc = DeviceContextOf(*target);
                        if (to.clipped) Clip(dc, CreateEllipticRgn(2, 3, 27, 25));
                        if (to.moved) SetViewportOrgEx(dc, 3, -2, nullptr);
                        if (to.sourceClipped)
                            Clip(DeviceContextOf(*source), CreateRectRgn(3, 3, 12, 9));
                        results[reference] =
                            Apply(name, numbers, *source, *target, dc, touched[reference]);
                        SelectClipRgn(dc, nullptr);
                        SelectClipRgn(DeviceContextOf(*source), nullptr);
                        SetViewportOrgEx(dc, 0, 0, nullptr);
                        touched[reference].push_back(Take(source.get()));
                        touched[reference].push_back(Take(target.get()));
                    }
                    EXPECT_TRUE(results[true] == results[false] && touched[true] == touched[false])
                        << Label(name, numbers[0], numbers[1], numbers[2], numbers[3],
                                 KindName(kind), key, KindName(to.kind), to.clipped, to.moved,
                                 to.sourceClipped);
                }
            }
        }
    }
}

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

TEST(FastPathIdentity, TransfersBetweenEveryPairOfClasses) {
    // Tiles of a rectangle of the whole int range end: only those that meet
    // the target are drawn.
    std::vector<Case> cases{{"CopyFrom", {}}, {"TileTo", {-1000000001, -7, INT_MAX, INT_MAX}}};
    for (const auto& p : POSITIONS) {
        cases.insert(cases.end(), {{"DrawTo", {p[0], p[1]}},
                                   {"DrawTo(face)", {p[0], p[1]}},
                                   {"DrawTo(DibSectionCanvas*)", {p[0], p[1]}},
                                   {"DrawRectTo", {p[0], p[1], 5, 4}},
                                   {"DrawRectTo", {p[0], p[1], 100, 100}},
                                   {"DrawRectTo", {p[0], p[1], 0, 3}},
                                   {"TileTo", {p[0], p[1], 40, 33}}});
    }
    ExpectSameEverywhere(cases, {{Kind::Ddb}, {Kind::Dib}, {Kind::DibSection}});
}

TEST(FastPathIdentity, DrawingOntoDeviceContexts) {
    std::vector<Case> cases{{"TileToDC", {-2, 1, 45, 40}},
                            {"TileToDC", {-1000000001, -7, INT_MAX, INT_MAX}}};
    for (const auto& p : POSITIONS) {
        if (std::abs(p[0]) > 1000000 || std::abs(p[1]) > 1000000) continue;
        cases.insert(cases.end(),
                     {{"DrawToDC", {p[0], p[1]}}, {"DrawRectToDC", {p[0], p[1], 7, 50}}});
    }
    ExpectSameEverywhere(cases, {{Kind::Ddb},
                                 {Kind::DibSection},
                                 {Kind::Ddb, true},
                                 {Kind::DibSection, true},
                                 {Kind::DibSection, false, true}});
}

TEST(FastPathIdentity, OperationsOnOneCanvas) {
    std::vector<Case> cases{{"Create", {27, 9, 0}},
                            {"Create", {27, 9, static_cast<int>(0xFF123456)}},
                            {"DrawTo", {2, 2}}};
    // Blocks inside, beyond each edge, empty and far away.
    const int blocks[][4] = {{0, 0, 23, 17}, {2, 3, 5, 4},  {2, 3, 28, 22},
                             {22, 16, 3, 3}, {26, 0, 4, 4}, {-1, 0, 5, 5},
                             {0, -1, 5, 5},  {0, 0, 0, 5},  {2000000000, 0, 2, 2}};
    for (const auto& b : blocks) cases.push_back({"CopyRect", {b[0], b[1], b[2], b[3]}});
    // Rows of every padding: inside, cut on each side and off the canvas.
    const int places[][2] = {{0, 0},  {-2, 0}, {0, -3}, {5, 6},          {-7, -5},
                             {21, 1}, {23, 0}, {0, 17}, {3, -2000000000}};
    for (const auto& p : places) {
        for (int width : {9, 10, 11, 12}) cases.push_back({"PutDib24", {p[0], p[1], width, 7}});
    }
    // Boxes given by any two corners, thin, cut, outside and huge.
    const int boxes[][4] = {{1, 1, 4, 3},   {4, 3, 1, 1},     {1, 3, 4, 1},
                            {4, 1, 1, 3},   {1, 1, 1, 5},     {2, 2, 2, 2},
                            {-5, -5, 8, 9}, {20, 10, 40, 40}, {-3, 4, -1, 9},
                            {25, 3, 5, 7},  {3, 40, 7, -10},  {-100000, 2, 100000, 5}};
    for (const auto& b : boxes) cases.push_back({"FillBox", {b[0], b[1], b[2], b[3]}});
    ExpectSameEverywhere(cases, {{Kind::Ddb}, {Kind::Ddb, false, false, true}});
}

TEST(FastPathIdentity, DrawingOntoItselfGivesWhatDrawingOntoAnotherGives) {
    // Every pixel is read before it is overwritten, whichever way the picture
    // moves, through every overload; blending mixes with the picture as it was.
    for (Kind kind : ALL_KINDS) {
        for (Rgb key : KEYS) {
            for (const Numbers& n :
                 {Numbers{1, 1, 6, 5}, {-1, -1, 6, 5}, {2, -1, 9, 9}, {-2, 1, 3, 3}}) {
                for (const std::string name :
                     {"DrawTo", "DrawTo(face)", "DrawTo(DibSectionCanvas*)", "DrawRectTo",
                      "BlendTo", "DrawToDC", "DrawRectToDC", "BlendToDC"}) {
                    auto self = MakeRandom(kind, false, 6, 5, 7, key);
                    auto copy = MakeRandom(kind, false, 6, 5, 7, key),
                         other = MakeRandom(kind, false, 6, 5, 7, key);
                    if (name.find("DC") != std::string::npos && !DeviceContextOf(*self)) continue;
                    std::vector<std::vector<uint32_t>> none;
                    EXPECT_EQ(Apply(name, n, *self, *self, DeviceContextOf(*self), none),
                              Apply(name, n, *copy, *other, DeviceContextOf(*other), none));
                    EXPECT_TRUE(Take(self.get()) == Take(other.get()))
                        << Label(name, KindName(kind), "key", key, "by", n[0], n[1]);
                }
            }
        }
    }
}

TEST(CanvasDrawing, SizesAndPrimitivesCoverWhatTheySay) {
    for (Kind kind : {Kind::Ddb, Kind::DibSection}) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 16, 16);
        // Below one pixel, or more than can be held (70000 × 70000 wraps to a
        // positive 32-bit product): refused, the canvas as it was.
        const int sizes[][2] = {{0, 5}, {-3, 4}, {70000, 70000}, {32768, 16384}, {INT_MAX, 2}};
        for (const auto& size : sizes) EXPECT_FALSE(canvas->Create(size[0], size[1], INK));
        EXPECT_EQ(PixelsOf(*canvas, 0).size(), 256u);
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
