// The canvases and their files: every block path against its per-pixel
// reference (ReferenceCanvas), the platform-drawn primitives, and BMP files
// read, written, replaced through temporary files and exchanged with ImageMagick.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "canvas/bmp_file.h"
#include "canvas/bmp_format.h"
#include "canvas/drawing.h"
#include "reference_canvas.h"
#include "support/test_support.h"

using namespace test_support;

namespace {

enum class Kind { Ddb, Dib, DibSection };
constexpr Kind ALL_KINDS[] = {Kind::Ddb, Kind::Dib, Kind::DibSection};

const char* KindName(Kind kind) {
    return kind == Kind::Ddb ? "DdbCanvas" : kind == Kind::Dib ? "DibCanvas" : "DibSectionCanvas";
}

template <typename Class>
std::unique_ptr<Canvas> MakeAs(int width, int height, bool reference) {
    if (reference) return std::make_unique<ReferenceCanvas<Class>>(width, height);
    return std::make_unique<Class>(width, height);
}

// A black canvas of the class, or of its per-pixel reference.
std::unique_ptr<Canvas> Make(Kind kind, int width, int height, bool reference = false) {
    if (kind == Kind::Ddb) return MakeAs<DdbCanvas>(width, height, reference);
    if (kind == Kind::Dib) return MakeAs<DibCanvas>(width, height, reference);
    return MakeAs<DibSectionCanvas>(width, height, reference);
}

HDC DeviceContextOf(const Canvas& canvas) {
    auto* surface = dynamic_cast<const GdiSurface*>(&canvas);
    return surface ? surface->GetDeviceContext() : nullptr;
}

template <typename Colour>
void Paint(Canvas& canvas, Colour colour) {
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) canvas.SetRgb(x, y, colour(x, y));
}

// The size, the transparent colour and every pixel as stored: all a load could change.
std::vector<Rgb> StateOf(const Canvas& canvas) {
    std::vector<Rgb> state{Rgb(canvas.GetWidth()), Rgb(canvas.GetHeight()),
                           canvas.GetTransparentColor()};
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) state.push_back(canvas.GetRawPixel(x, y));
    return state;
}

constexpr int SOURCE_WIDTH = 23, SOURCE_HEIGHT = 17;
constexpr int TARGET_WIDTH = 31, TARGET_HEIGHT = 29;

// None, two that occur often, one that never does, one with a fourth byte.
constexpr Rgb KEYS[] = {NO_TRANSPARENT_COLOR, 0xFFFFFF, 0x123456, 0xABCDEF, 0xFF123456};

// Where a source lands: inside, cut on each side, one pixel in, just off, far off.
constexpr int POSITIONS[][2] = {{0, 0},   {4, 7},   {-5, -3},         {25, 25},
                                {-22, 2}, {3, -16}, {30, 28},         {-23, 0},
                                {0, 29},  {0, -17}, {-2000000000, 5}, {5, 2000000000}};

// Random colours, most from a small palette (so that transparent colours meet
// many pixels), some with a fourth byte, which transfers must treat as the reference does.
std::unique_ptr<Canvas> MakeRandom(Kind kind, bool reference, int width, int height, uint32_t seed,
                                   Rgb key) {
    std::unique_ptr<Canvas> canvas = Make(kind, width, height, reference);
    constexpr Rgb PALETTE[] = {0x000000, 0xFFFFFF, 0x123456, 0xFF0000, 0x808080};
    std::mt19937 random(seed);
    for (int i = 0; i < width * height; ++i) {
        const uint32_t draw = random();
        const Rgb colour = draw % 4 == 0 ? draw >> 8 : PALETTE[(draw >> 2) % 5];
        canvas->SetRawPixel(i % width, i / width, draw % 3 ? colour : colour | (random() << 24));
    }
    canvas->SetTransparentColor(key);
    return canvas;
}

// StateOf the canvas and the words stored behind its device context, if any.
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

void Clip(HDC dc, HRGN region) {
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

using Numbers = std::array<int, 4>;
using Case = std::pair<const char*, Numbers>;

// One operation of the tables; a canvas it hands out joins `touched`.
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

// A target, its DC maybe clipped or moved; a clipped source DC must not change reads.
struct Target {
    Kind kind;
    bool clipped = false, moved = false, sourceClipped = false;
};

// Every case from each class onto every target with every transparent colour:
// the references and the classes give the same results and pixels everywhere.
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
                        << name << testing::PrintToString(numbers) << KindName(kind) << " key "
                        << key << " onto " << KindName(to.kind) << to.clipped << to.moved
                        << to.sourceClipped;
                }
            }
        }
    }
}

constexpr Rgb INK = 0x00C81E3Cu;
using Points = std::set<std::pair<int, int>>;

Points PixelsOf(const Canvas& canvas, Rgb colour) {
    Points found;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x)
            if (canvas.GetRgb(x, y) == colour) found.insert({x, y});
    return found;
}

using Bytes = std::vector<uint8_t>;

// Sets the little-endian field of `width` bytes at `at`, as far as it exists.
void PutField(Bytes& bytes, size_t at, uint32_t value, size_t width) {
    for (size_t i = 0; i < width && at + i < bytes.size(); ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A damaged copy of `good`: bytes changed at random, header fields set to
// values that break size arithmetic, cut short, or all of these.
Bytes Damage(const Bytes& good, std::mt19937& random) {
    Bytes bytes = good;
    const uint32_t size = static_cast<uint32_t>(good.size());
    const uint32_t awkward[] = {0,          1,          3,          54,         138,
                                size - 1,   size,       size + 1,   0x7FFFFFFF, 0x80000000,
                                0xFFFFFFFF, 0x55555555, 0x2AAAAAAB, 0x40000000, random()};
    const size_t fields[][2] = {{2, 4}, {10, 4}, {14, 4}, {18, 4}, {22, 4}, {28, 2}, {30, 4}};
    const uint32_t how = random() % 4;
    for (uint32_t i = 0, count = random() % 8; (how == 0 || how == 3) && i <= count; ++i)
        bytes[random() % size] = static_cast<uint8_t>(random());
    for (uint32_t i = 0, count = random() % 3; (how == 1 || how == 3) && i <= count; ++i) {
        const auto& field = fields[random() % std::size(fields)];
        PutField(bytes, field[0], awkward[random() % std::size(awkward)], field[1]);
    }
    if (how == 2 || (how == 3 && random() % 2)) bytes.resize(random() % size);
    return bytes;
}

}  // namespace

TEST(FastPathIdentity, TransfersBetweenEveryPairOfClasses) {
    // Of tiles over the whole int range, only those meeting the target are drawn.
    std::vector<Case> cases{{"CopyFrom", {}}, {"TileTo", {-1000000001, -7, INT_MAX, INT_MAX}}};
    for (const auto& p : POSITIONS)
        cases.insert(cases.end(), {{"DrawTo", {p[0], p[1]}},
                                   {"DrawTo(face)", {p[0], p[1]}},
                                   {"DrawTo(DibSectionCanvas*)", {p[0], p[1]}},
                                   {"DrawRectTo", {p[0], p[1], 5, 4}},
                                   {"DrawRectTo", {p[0], p[1], 100, 100}},
                                   {"DrawRectTo", {p[0], p[1], 0, 3}},
                                   {"TileTo", {p[0], p[1], 40, 33}}});
    ExpectSameEverywhere(cases, {{Kind::Ddb}, {Kind::Dib}, {Kind::DibSection}});
}

TEST(FastPathIdentity, DrawingOntoDeviceContexts) {
    std::vector<Case> cases{{"TileToDC", {-2, 1, 45, 40}},
                            {"TileToDC", {-1000000001, -7, INT_MAX, INT_MAX}}};
    for (const auto& p : POSITIONS)
        if (std::abs(p[0]) < 1000000 && std::abs(p[1]) < 1000000)
            cases.insert(cases.end(),
                         {{"DrawToDC", {p[0], p[1]}}, {"DrawRectToDC", {p[0], p[1], 7, 50}}});
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
    for (const auto& p : places)
        for (int width : {9, 10, 11, 12}) cases.push_back({"PutDib24", {p[0], p[1], width, 7}});
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
                        << name << ' ' << KindName(kind) << " key " << key << " by " << n[0];
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
        // What `draw` inks on the black canvas, cleared after; the DC keeps its objects.
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
        // A flood fill stops at any other colour, even one a step away.
        canvas->DrawBox(2, 2, 7, 7, 0x00000001u);
        EXPECT_EQ(drawn([&] { return canvas->FloodFill(4, 4, INK); }).size(), 16u);
        EXPECT_FALSE(canvas->FloodFill(-1, 0, INK));
    }
}

TEST(BmpRead, RefusedImagesAndDamagedOnesAreReadOnlyWithinTheirBytes) {
    // Refused: not 24-bit, compressed, top-down, data past the end, and widths
    // whose 32-bit products wrap (a stride of 2^32; two rows of 0x80000004 bytes).
    using Result = BmpParseResult;
    const std::tuple<size_t, uint32_t, Result> damaged[] = {
        {28, 32, Result::NotTwentyFourBit},        {30, 1, Result::Compressed},
        {22, 0xFFFFFFFD, Result::NotPositiveSize}, {10, 79, Result::DataOffsetPastEnd},
        {18, 0x55555555, Result::PixelsTruncated}, {18, 0x2AAAAAAB, Result::PixelsTruncated}};
    BmpFileBuilder file;
    ASSERT_TRUE(file.Start(3, 2));  // 78 bytes
    for (const auto& [at, value, result] : damaged) {
        Bytes bytes(file.Data(), file.Data() + file.Size());
        PutField(bytes, at, value, at == 28 ? 2 : 4);
        EXPECT_EQ(result, CheckBmpFileImage(bytes.data(), bytes.size(), nullptr)) << at;
    }

    // Every cut of good files and damaged copies, each ending where readable
    // memory meets unreadable, so that a reader going past its end faults.
    constexpr size_t READABLE = 0x10000;
    auto release = [](uint8_t* pages) { VirtualFree(pages, 0, MEM_RELEASE); };
    const std::unique_ptr<uint8_t, decltype(release)> pages(
        static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * READABLE, MEM_RESERVE, PAGE_NOACCESS)),
        release);
    ASSERT_TRUE(VirtualAlloc(pages.get(), READABLE, MEM_COMMIT, PAGE_READWRITE));
    uint8_t* const end = pages.get() + READABLE;
    ASSERT_TRUE(IsBadReadPtr(end, 1) && !IsBadReadPtr(end - 1, 1));
    std::mt19937 random(3003);
    std::vector<Bytes> corpus;
    for (int width : {1, 3, 4, 6, 17})
        for (int height : {1, 2, 9}) {
            ASSERT_TRUE(file.Start(width, height));
            for (int i = 0; i < width * height; ++i) file.SetPixel(i % width, i / width, random());
            const Bytes good(file.Data(), file.Data() + file.Size());
            for (size_t length = 0; length <= good.size(); ++length)
                corpus.emplace_back(good.begin(), good.begin() + length);
            for (int i = 0; i < 300; ++i) corpus.push_back(Damage(good, random));
        }
    TemporaryFolder folder;
    const std::string path = folder.File("damaged.bmp");
    size_t accepted = 0;
    for (size_t i = 0; i < corpus.size(); ++i) {
        uint8_t* const image = end - corpus[i].size();
        std::copy(corpus[i].begin(), corpus[i].end(), image);
        Dib24Image dib;
        const bool readable = ParseBmpFileImage(image, corpus[i].size(), &dib);
        accepted += readable;
        // Every pixel the reader hands out lies inside the image.
        std::vector<Rgb> pixels{Rgb(dib.width), Rgb(dib.height), NO_TRANSPARENT_COLOR};
        for (int y = 0; readable && y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x)
                pixels.push_back(Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y));
        // Some go through a file into each class: loaded as read, or refused unchanged.
        if (i % 7) continue;
        ASSERT_TRUE(WriteFileBytes(path, std::string(corpus[i].begin(), corpus[i].end())));
        auto canvas = Make(ALL_KINDS[i / 7 % 3], 6, 5);
        Paint(*canvas, [](int x, int y) { return MakeRgb(x, y, 7); });
        const std::vector<Rgb> before = StateOf(*canvas);
        ASSERT_EQ(readable, canvas->LoadBmp(path.c_str())) << i;
        ASSERT_EQ(readable ? pixels : before, StateOf(*canvas)) << i;
    }
    // The corpus exercises both outcomes.
    EXPECT_GT(accepted, corpus.size() / 10);
    EXPECT_LT(accepted, corpus.size() / 2);
}

TEST(BmpFile, WholeFilesAreWrittenFlushedAndReadOrRefused) {
    TemporaryFolder folder;
    const std::string path = folder.File("whole.bmp"), empty = folder.File("empty.bmp");
    const std::string held = folder.File("held.bmp"), missing = folder.File("missing.bmp");
    ASSERT_TRUE(WriteFileBytes(path, std::string(5000, 'x')) && WriteFileBytes(empty, ""));
    ASSERT_TRUE(WriteFileBytes(held, "x") && WriteWholeFile(path.c_str(), "content", 7));
    EXPECT_EQ("content", ReadFileBytes(path));
    // Refused, holding nothing: no path, empty, missing, or held open unshared.
    const HANDLE holder =
        CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(WriteWholeFile(held.c_str(), "y", 1));
    for (const char* refused :
         {static_cast<const char*>(nullptr), empty.c_str(), missing.c_str(), held.c_str()}) {
        FileImage bytes;
        EXPECT_TRUE(ReadWholeFile(path.c_str(), &bytes) && !ReadWholeFile(refused, &bytes));
        EXPECT_TRUE(bytes.Size() == 0 && bytes.Data() == nullptr);
    }
    CloseHandle(holder);
    // Writes that do not reach a file: into no folder, onto devices that cannot
    // flush (the null device) or take nothing (the full disk), by every class too.
    EXPECT_FALSE(WriteWholeFile(folder.File("missing\\a.bmp").c_str(), "x", 1));
    for (const char* device : {"Z:\\dev\\null", "Z:\\dev\\full"}) {
        ASSERT_TRUE(FileWriter(device).IsOpen()) << device;
        EXPECT_FALSE(WriteWholeFile(device, std::string(100000, 'b').data(), 100000)) << device;
        for (Kind kind : ALL_KINDS) EXPECT_FALSE(Make(kind, 3, 2)->SaveBmp(device)) << device;
    }
    // Pictures of many bands of the reader, and rows longer than a band, come back.
    std::mt19937 random(4242);
    for (const auto& [width, height] : {std::pair{1000, 800}, {400000, 3}}) {
        DibCanvas canvas(width, height), loaded(1, 1);
        Paint(canvas, [&](int, int) { return random() & 0xFFFFFF; });
        ASSERT_TRUE(canvas.SaveBmp(path.c_str()) && loaded.LoadBmp(path.c_str()));
        EXPECT_TRUE(StateOf(canvas) == StateOf(loaded)) << width;
    }
}

TEST(BmpFile, TemporaryFilesTakeNoOneElsesFileAndNoLongerName) {
    TemporaryFolder folder;
    const std::string path = folder.File("3.dat"), taken = folder.File("3.da~");
    EXPECT_EQ(taken, TemporaryNameFor(path));
    EXPECT_EQ("", TemporaryNameFor("a\x83\x5C"));  // ends in a double-byte character
    // The first name is someone else's file: it is left alone.
    ASSERT_TRUE(WriteFileBytes(taken, "someone's"));
    const std::string made = CreateTemporaryFileFor(path);
    EXPECT_EQ(folder.File("3.da0"), made);
    EXPECT_EQ("someone's", ReadFileBytes(taken));
    ASSERT_TRUE(DeleteFileA(made.c_str()));
    EXPECT_EQ("", CreateTemporaryFileFor(folder.File("missing\\3.dat")));
    // A failed write keeps the old file and removes its temporary file; a
    // path as long as a path can be is written through a temporary file.
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    EXPECT_FALSE(WriteReplacing(path, [](const char* temporary) {
        WriteWholeFile(temporary, "half", 4);
        return false;
    }));
    EXPECT_EQ("old", ReadFileBytes(path));
    const std::string longest(MAX_PATH - 1 - folder.Path().size(), 'n');
    EXPECT_TRUE(WriteReplacing(folder.File(longest), [](const char* temporary) {
        return WriteWholeFile(temporary, "new", 3);
    }));
    EXPECT_EQ((std::vector<std::string>{"3.dat", "3.da~", longest}), FilesIn(folder.Path()));
}

TEST(ImageMagickBmp, ItsFilesLoadWithItsPixelsAndOurFilesReadWithOurs) {
    // Wine maps the Unix root to Z: and starts Unix programs without a process
    // handle: a script under /tmp runs ImageMagick and marks when it has finished.
    ASSERT_TRUE(FileExists("Z:\\usr\\bin\\convert")) << "ImageMagick is not installed";
    const std::string name = "inkslip-bmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount());
    const std::string folder = "Z:\\tmp\\" + name + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    // Random samples of 31 × 17 (rows padded by three bytes): its 24-bit file with
    // the 40-byte header, its default with a larger one, and one of every class.
    constexpr int WIDTH = 31, HEIGHT = 17;
    std::string raw(WIDTH * HEIGHT * 3, '\0');
    std::mt19937 random(31337);
    for (char& sample : raw) sample = static_cast<char>(random());
    ASSERT_TRUE(WriteFileBytes(folder + "samples.rgb", raw));
    DibCanvas picture(WIDTH, HEIGHT);
    Paint(picture, [&](int x, int y) {
        const char* sample = &raw[(static_cast<size_t>(y) * WIDTH + x) * 3];
        return MakeRgb(sample[0], sample[1], sample[2]);
    });
    for (Kind kind : ALL_KINDS) {
        auto canvas = Make(kind, 1, 1);
        ASSERT_TRUE(canvas->CopyFrom(&picture) &&
                    canvas->SaveBmp((folder + KindName(kind) + ".bmp").c_str()));
    }
    const std::string job =
        "set -e\ncd /tmp/" + name + "\n" +
        "for f in BMP3 BMP; do convert -size 31x17 -depth 8 rgb:samples.rgb "
        "-type TrueColor $f:$f.bmp; done\n"
        "for f in *Canvas.bmp; do convert $f -depth 8 rgb:${f%.bmp}.rgb; done\ntouch done\n";
    ASSERT_TRUE(WriteFileBytes(folder + "job.sh", job));
    ASSERT_GT(WinExec(("Z:\\bin\\sh /tmp/" + name + "/job.sh").c_str(), SW_HIDE), 31u);
    for (int waited = 0; waited < 60000 && !FileExists(folder + "done"); waited += 20) Sleep(20);
    ASSERT_TRUE(FileExists(folder + "done")) << "ImageMagick did not finish";

    EXPECT_EQ(40, ReadFileBytes(folder + "BMP3.bmp")[14]);
    EXPECT_EQ(124, ReadFileBytes(folder + "BMP.bmp")[14]);
    for (Kind kind : ALL_KINDS) {
        EXPECT_EQ(raw, ReadFileBytes(folder + KindName(kind) + ".rgb")) << KindName(kind);
        for (const std::string theirs : {"BMP3.bmp", "BMP.bmp"}) {
            auto canvas = Make(kind, 1, 1);
            EXPECT_TRUE(canvas->LoadBmp((folder + theirs).c_str()));
            EXPECT_EQ(StateOf(picture), StateOf(*canvas)) << theirs << " into " << KindName(kind);
        }
    }
    for (const std::string& file : FilesIn(folder)) DeleteFileA((folder + file).c_str());
    RemoveDirectoryA(folder.c_str());
}
