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
using canvas_test::StateOf;
using test_support::TemporaryFolder;

namespace {

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
            EXPECT_FALSE(canvas->SaveBmp(nullptr));
            ASSERT_TRUE(canvas->SaveBmp(path.c_str()));
            // Byte for byte the file the format tests check (58 bytes for 1 × 1).
            EXPECT_EQ(AsString(bmp_test::Build(width, height, pixels)),
                      test_support::ReadFileBytes(path));

            for (Kind target : AllKinds()) {
                SCOPED_TRACE(KindName(target));
                auto loaded = Make(target, 2, 2);
                ASSERT_TRUE(loaded->LoadBmp(path.c_str()));
                std::vector<Rgb> expected{Rgb(width), Rgb(height), NO_TRANSPARENT_COLOR};
                expected.insert(expected.end(), pixels.begin(), pixels.end());
                EXPECT_TRUE(expected == StateOf(*loaded));
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
    for (uint32_t bits : {8, 16, 32}) variant(std::to_string(bits) + "-bit", 28, bits, 2);
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
        const auto before = StateOf(*canvas);
        for (const auto& [name, bytes] : refused) {
            const std::string path = folder.File("refused.bmp");
            ASSERT_TRUE(WriteBytes(path, bytes));
            EXPECT_FALSE(canvas->LoadBmp(path.c_str())) << name;
            EXPECT_TRUE(before == StateOf(*canvas)) << name;
        }
        EXPECT_FALSE(canvas->LoadBmp(folder.File("missing.bmp").c_str()));
        EXPECT_FALSE(canvas->LoadBmp(folder.Path().c_str()));
        EXPECT_FALSE(canvas->LoadBmp(nullptr));
        // In memory: the format code, a null image and a refused header.
        EXPECT_FALSE(canvas->LoadFromMemory(nullptr, BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(good.data(), DIB24_ROWS_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(good.data(), 0));
        for (size_t i : {0, 3})
            EXPECT_FALSE(canvas->LoadFromMemory(refused[i].second.data(), BMP_IMAGE_FORMAT));
        EXPECT_TRUE(before == StateOf(*canvas));

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
        const auto before = StateOf(*canvas);
        Dib24Image dib;
        const bool readable =
            !damaged.empty() && ParseBmpFileImage(damaged.data(), damaged.size(), &dib);
        const bool result = canvas->LoadBmp(path.c_str());
        ASSERT_EQ(readable, result) << "round " << round << " " << KindName(kind);
        if (!result) {
            ++refused;
            ASSERT_TRUE(before == StateOf(*canvas)) << "round " << round << " " << KindName(kind);
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

        const auto before = StateOf(*canvas);
        EXPECT_FALSE(canvas->PutDib24(0, 0, 4, 1, nullptr));
        EXPECT_FALSE(canvas->PutDib24(0, 0, 0, 1, row));
        for (auto [x, y] : {std::pair{-4, 0}, {3, 0}, {0, 3}, {0, -1}})
            EXPECT_FALSE(canvas->PutDib24(x, y, 4, 1, row)) << x << "," << y;
        EXPECT_TRUE(before == StateOf(*canvas));
    }
}
