// BMP files through the canvas classes: what SaveBmp writes, what LoadBmp and
// LoadFromMemory accept, and that a refused load changes nothing.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bmp_test_files.h"
#include "canvas/bmp_format.h"
#include "canvas_test_helpers.h"
#include "support/test_support.h"

using bmp_test::Bytes;
using canvas_test::AllKinds;
using canvas_test::Kind;
using canvas_test::KindName;
using canvas_test::Make;
using test_support::TemporaryFolder;

namespace {

// Everything a load could change.
struct Snapshot {
    int width = 0;
    int height = 0;
    Rgb transparent = 0;
    std::vector<Rgb> pixels;

    bool operator==(const Snapshot& other) const {
        return width == other.width && height == other.height && transparent == other.transparent &&
               pixels == other.pixels;
    }
};

Snapshot Take(const Canvas& canvas) {
    Snapshot snapshot;
    snapshot.width = canvas.GetWidth();
    snapshot.height = canvas.GetHeight();
    snapshot.transparent = canvas.GetTransparentColor();
    for (int y = 0; y < snapshot.height; ++y)
        for (int x = 0; x < snapshot.width; ++x) snapshot.pixels.push_back(canvas.GetRgb(x, y));
    return snapshot;
}

std::string AsString(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    return test_support::WriteFileBytes(path, AsString(bytes));
}

// A canvas painted with a pattern and given a transparent colour, so that a
// load that touched anything would show.
std::unique_ptr<Canvas> Prepared(Kind kind) {
    auto canvas = Make(kind, 6, 5);
    canvas_test::Paint(*canvas);
    canvas->SetTransparentColor(canvas_test::PatternAt(1, 1));
    return canvas;
}

}  // namespace

TEST(BmpCanvas, OnePixelCanvasSavesTheFiftyEightByteFileAndEmptyOnesSaveNothing) {
    TemporaryFolder folder;
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        const std::string path = folder.File(std::string(KindName(kind)) + ".bmp");
        auto canvas = Make(kind, 1, 1);
        ASSERT_TRUE(canvas->SetRgb(0, 0, 0x00112233));
        ASSERT_TRUE(canvas->SaveBmp(path.c_str()));
        const std::string written = test_support::ReadFileBytes(path);
        EXPECT_EQ(58u, written.size());
        EXPECT_EQ(AsString(bmp_test::Build(1, 1, {0x00112233})), written);

        EXPECT_FALSE(canvas->SaveBmp(nullptr));
        auto empty = Make(kind, 0, 5);
        const std::string never = folder.File(std::string("empty-") + KindName(kind) + ".bmp");
        EXPECT_FALSE(empty->SaveBmp(never.c_str()));
        EXPECT_FALSE(test_support::FileExists(never));
    }
}

TEST(BmpCanvas, RandomCanvasesOfEachClassRoundTripThroughEveryClass) {
    TemporaryFolder folder;
    std::mt19937 random(4242);
    const int sizes[][2] = {{1, 1}, {3, 2}, {4, 4}, {5, 3}, {37, 19}};
    for (Kind source : AllKinds()) {
        for (const auto& size : sizes) {
            const int width = size[0], height = size[1];
            SCOPED_TRACE(std::string(KindName(source)) + " " + std::to_string(width) + "x" +
                         std::to_string(height));
            const auto pixels = bmp_test::RandomPixels(random, static_cast<size_t>(width) * height);
            auto canvas = Make(source, width, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) canvas->SetRgb(x, y, pixels[y * width + x]);
            // Transparent pixels are saved like any other.
            canvas->SetTransparentColor(pixels[0]);

            const std::string path = folder.File("round.bmp");
            ASSERT_TRUE(canvas->SaveBmp(path.c_str()));
            EXPECT_EQ(AsString(bmp_test::Build(width, height, pixels)),
                      test_support::ReadFileBytes(path));

            for (Kind target : AllKinds()) {
                SCOPED_TRACE(KindName(target));
                auto loaded = Make(target, 2, 2);
                ASSERT_TRUE(loaded->LoadBmp(path.c_str()));
                Snapshot expected;
                expected.width = width;
                expected.height = height;
                expected.transparent = NO_TRANSPARENT_COLOR;
                expected.pixels = pixels;
                EXPECT_TRUE(expected == Take(*loaded));
            }
        }
    }
}

TEST(BmpCanvas, RefusedLoadsLeaveTheCanvasAsItWas) {
    TemporaryFolder folder;
    const std::vector<uint32_t> pixels(12, 0x445566);
    const Bytes good = bmp_test::Build(4, 3, pixels);

    std::vector<std::pair<std::string, Bytes>> refused;
    auto variant = [&](const std::string& name, size_t at, uint32_t value, size_t width) {
        Bytes bytes = good;
        bmp_test::PutField(bytes, at, value, width);
        refused.push_back({name, bytes});
    };
    variant("8-bit", 28, 8, 2);
    variant("32-bit", 28, 32, 2);
    variant("16-bit", 28, 16, 2);
    variant("top-down", 22, static_cast<uint32_t>(-3), 4);
    variant("no width", 18, 0, 4);
    variant("compressed", 30, 1, 4);
    variant("offset past end", 10, static_cast<uint32_t>(good.size()) + 1, 4);
    variant("offset far past end", 10, 0xFFFFFFF0u, 4);
    variant("stride wraps to zero", 18, 0x55555555u, 4);
    refused.push_back({"headers only", Bytes(good.begin(), good.begin() + 54)});
    refused.push_back({"short header", Bytes(good.begin(), good.begin() + 40)});
    refused.push_back({"one pixel byte short", Bytes(good.begin(), good.end() - 1)});
    refused.push_back({"empty", Bytes()});

    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Prepared(kind);
        const Snapshot before = Take(*canvas);
        for (const auto& [name, bytes] : refused) {
            const std::string path = folder.File("refused.bmp");
            ASSERT_TRUE(WriteBytes(path, bytes));
            EXPECT_FALSE(canvas->LoadBmp(path.c_str())) << name;
            EXPECT_TRUE(before == Take(*canvas)) << name;
        }
        EXPECT_FALSE(canvas->LoadBmp(folder.File("missing.bmp").c_str()));
        EXPECT_FALSE(canvas->LoadBmp(folder.Path().c_str()));
        EXPECT_FALSE(canvas->LoadBmp(nullptr));
        // In memory: the format code, a null image and a refused header.
        EXPECT_FALSE(canvas->LoadFromMemory(nullptr, BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(good.data(), DIB24_ROWS_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(good.data(), 0));
        EXPECT_FALSE(canvas->LoadFromMemory(refused[0].second.data(), BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(refused[3].second.data(), BMP_IMAGE_FORMAT));
        EXPECT_TRUE(before == Take(*canvas));

        // The same canvas still loads a good file, from disk and from memory.
        EXPECT_TRUE(canvas->LoadFromMemory(good.data(), BMP_IMAGE_FORMAT));
        EXPECT_EQ(4, canvas->GetWidth());
        EXPECT_EQ(0x445566u, canvas->GetRgb(3, 2));
    }
}

TEST(BmpCanvas, DamagedFilesLoadExactlyWhatTheyHoldOrLeaveTheCanvasAsItWas) {
    TemporaryFolder folder;
    const std::string path = folder.File("damaged.bmp");
    std::mt19937 random(1207);
    std::vector<Bytes> originals;
    for (int32_t width : {1, 3, 4, 9})
        for (int32_t height : {1, 2, 6})
            for (uint32_t header : {40u, 124u})
                originals.push_back(bmp_test::BuildRandom(width, height, header, random));

    int loaded = 0, refused = 0;
    for (int round = 0; round < 1200; ++round) {
        // Mostly the quick class; every class gets its share.
        const Kind kind = round % 10 == 0   ? Kind::Ddb
                          : round % 10 == 1 ? Kind::DibSection
                                            : Kind::Dib;
        const Bytes damaged = bmp_test::Damage(originals[random() % originals.size()], random);
        ASSERT_TRUE(WriteBytes(path, damaged));

        auto canvas = Prepared(kind);
        const Snapshot before = Take(*canvas);
        Dib24Image dib;
        const bool readable =
            !damaged.empty() && ParseBmpFileImage(damaged.data(), damaged.size(), &dib);
        const bool result = canvas->LoadBmp(path.c_str());
        ASSERT_EQ(readable, result) << "round " << round << " " << KindName(kind);
        if (!result) {
            ++refused;
            ASSERT_TRUE(before == Take(*canvas)) << "round " << round << " " << KindName(kind);
            continue;
        }
        ++loaded;
        ASSERT_EQ(dib.width, canvas->GetWidth());
        ASSERT_EQ(dib.height, canvas->GetHeight());
        for (int y = 0; y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x)
                ASSERT_EQ(Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y),
                          canvas->GetRgb(x, y))
                    << "round " << round << " at " << x << "," << y;
    }
    EXPECT_GT(loaded, 50);
    EXPECT_GT(refused, 300);
}

TEST(BmpCanvas, PutDib24WritesBottomUpRowsClippedToTheCanvas) {
    // One row of four pixels: 1, 2, 3, 4 (blue bytes), no padding needed.
    const uint8_t row[12] = {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0};
    // Two rows of two pixels, stride 8: the first stored row is the bottom one.
    const uint8_t block[16] = {0x10, 0x20, 0x30, 0x11, 0x21, 0x31, 0, 0,   // bottom row
                               0x40, 0x50, 0x60, 0x41, 0x51, 0x61, 0, 0};  // top row
    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Make(kind, 3, 3);
        canvas_test::FillAll(*canvas, 0xABCDEF);
        ASSERT_TRUE(canvas->PutDib24(-2, 0, 4, 1, row));
        EXPECT_EQ(3u, canvas->GetRgb(0, 0));
        EXPECT_EQ(4u, canvas->GetRgb(1, 0));
        EXPECT_EQ(0xABCDEFu, canvas->GetRgb(2, 0));
        EXPECT_EQ(0xABCDEFu, canvas->GetRgb(0, 1));

        ASSERT_TRUE(canvas->PutDib24(1, 1, 2, 2, block));
        EXPECT_EQ(0x605040u, canvas->GetRgb(1, 1));
        EXPECT_EQ(0x615141u, canvas->GetRgb(2, 1));
        EXPECT_EQ(0x302010u, canvas->GetRgb(1, 2));
        EXPECT_EQ(0x312111u, canvas->GetRgb(2, 2));

        const Snapshot before = Take(*canvas);
        EXPECT_FALSE(canvas->PutDib24(0, 0, 4, 1, nullptr));
        EXPECT_FALSE(canvas->PutDib24(0, 0, 0, 1, row));
        EXPECT_FALSE(canvas->PutDib24(-4, 0, 4, 1, row));
        EXPECT_FALSE(canvas->PutDib24(3, 0, 4, 1, row));
        EXPECT_FALSE(canvas->PutDib24(0, 3, 4, 1, row));
        EXPECT_FALSE(canvas->PutDib24(0, -1, 4, 1, row));
        EXPECT_TRUE(before == Take(*canvas));
    }
}
