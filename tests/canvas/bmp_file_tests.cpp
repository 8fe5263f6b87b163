// BMP files on disk: whole-file reads and writes, what SaveBmp writes, what
// LoadBmp and LoadFromMemory accept, and that a refused load changes nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bmp_test_files.h"
#include "canvas/bmp_file.h"
#include "canvas_test_helpers.h"
#include "support/test_support.h"

using bmp_test::Bytes;
using namespace canvas_test;
using test_support::TemporaryFolder;

namespace {

std::string AsString(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Held(const FileImage& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
}

}  // namespace

TEST(BmpFile, WholeFilesAreReadAndWrittenOrRefusedWithNothingHeld) {
    TemporaryFolder folder;
    const std::string path = folder.File("picture.bmp");
    ASSERT_TRUE(test_support::WriteFileBytes(path, std::string(5000, 'x')));
    std::string content;
    for (int i = 0; i < 300; ++i) content.push_back(static_cast<char>(i * 7));
    ASSERT_TRUE(
        WriteWholeFile(path.c_str(), content.data(), static_cast<uint32_t>(content.size())));
    EXPECT_EQ(content, test_support::ReadFileBytes(path));  // the old tail is gone
    FileImage bytes;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), &bytes));
    EXPECT_EQ(content, Held(bytes));

    const std::string empty = folder.File("empty.bmp");
    ASSERT_TRUE(test_support::WriteFileBytes(empty, ""));
    const std::string missing = folder.File("missing.bmp"), asFolder = folder.Path();
    for (const char* refused :
         {static_cast<const char*>(nullptr), empty.c_str(), asFolder.c_str(), missing.c_str()}) {
        ASSERT_TRUE(ReadWholeFile(path.c_str(), &bytes));
        EXPECT_FALSE(ReadWholeFile(refused, &bytes)) << (refused ? refused : "null");
        EXPECT_EQ(0u, bytes.Size());
        EXPECT_EQ(nullptr, bytes.Data());
    }
    EXPECT_FALSE(ReadWholeFile(path.c_str(), nullptr));

    // Held open without sharing by someone else: cannot be opened.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(ReadWholeFile(path.c_str(), &bytes));
    EXPECT_FALSE(WriteWholeFile(path.c_str(), "x", 1));
    CloseHandle(holder);

    EXPECT_FALSE(WriteWholeFile(nullptr, "x", 1));
    EXPECT_FALSE(WriteWholeFile(folder.File("no such folder\\a.bmp").c_str(), "x", 1));
    EXPECT_FALSE(WriteWholeFile(folder.File("a.bmp").c_str(), nullptr, 1));
    // A device that takes every byte but cannot flush them (the system's null
    // device): the write is not done, for the whole-file writer and for
    // SaveBmp of every class alike.
    const char* null = "Z:\\dev\\null";
    HANDLE nullProbe =
        CreateFileA(null, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (nullProbe != INVALID_HANDLE_VALUE) {
        CloseHandle(nullProbe);
        EXPECT_FALSE(WriteWholeFile(null, "x", 1));
        for (Kind kind : AllKinds())
            EXPECT_FALSE(Make(kind, 3, 2)->SaveBmp(null)) << KindName(kind);
    }
    // A device that opens but takes no byte (the system's full disk, seen
    // through the drive that maps the Unix root) fails after the create.
    const char* full = "Z:\\dev\\full";
    HANDLE probe =
        CreateFileA(full, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no full-disk device to write to";
    CloseHandle(probe);
    std::string block(100000, 'b');
    EXPECT_FALSE(WriteWholeFile(full, block.data(), static_cast<uint32_t>(block.size())));
}

TEST(BmpFile, FileLargerThanTheLimitIsRefusedWithoutReadingIt) {
    TemporaryFolder folder;
    const std::string path = folder.File("huge.bmp");
    // Sparse files just past the limit, and beyond 4 GiB where the size no
    // longer fits 32 bits: their size alone must refuse them.
    for (LONGLONG size : {static_cast<LONGLONG>(MAX_WHOLE_FILE_SIZE) + 1, 0x100000010LL}) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        LARGE_INTEGER end;
        end.QuadPart = size;
        ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
        FileImage bytes;
        EXPECT_FALSE(ReadWholeFile(path.c_str(), &bytes)) << size;
        EXPECT_EQ(0u, bytes.Size());
    }
}

TEST(BmpCanvas, RandomCanvasesOfEachClassRoundTripThroughEveryClass) {
    TemporaryFolder folder;
    const std::string path = folder.File("round.bmp");
    std::mt19937 random(4242);
    for (Kind source : AllKinds()) {
        for (auto [width, height] : {std::pair{1, 1}, {3, 2}, {4, 4}, {5, 3}, {37, 19}}) {
            SCOPED_TRACE(testing::Message() << KindName(source) << " " << width << "x" << height);
            const auto pixels = bmp_test::RandomPixels(random, static_cast<size_t>(width) * height);
            auto canvas = Make(source, width, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) canvas->SetRgb(x, y, pixels[y * width + x]);
            // Transparent pixels are saved like any other.
            canvas->SetTransparentColor(pixels[0]);
            EXPECT_FALSE(canvas->SaveBmp(nullptr));
            ASSERT_TRUE(canvas->SaveBmp(path.c_str()));
            // Byte for byte the file the format tests check (58 bytes for 1 × 1).
            EXPECT_EQ(AsString(bmp_test::Build(width, height, pixels)),
                      test_support::ReadFileBytes(path));

            std::vector<Rgb> expected{Rgb(width), Rgb(height), NO_TRANSPARENT_COLOR};
            expected.insert(expected.end(), pixels.begin(), pixels.end());
            for (Kind target : AllKinds()) {
                auto loaded = Make(target, 2, 2);
                ASSERT_TRUE(loaded->LoadBmp(path.c_str())) << KindName(target);
                EXPECT_TRUE(expected == StateOf(*loaded)) << KindName(target);
            }
        }
    }
}

TEST(BmpCanvas, RefusedLoadsLeaveTheCanvasAsItWas) {
    TemporaryFolder folder;
    const std::string path = folder.File("refused.bmp");
    const Bytes good = bmp_test::Build(4, 3, std::vector<uint32_t>(12, 0x445566));
    // Damaged files are the corpus's work; here the paths and the formats.
    Bytes thirtyTwoBit = good, topDown = good, rowsBeyondItsSize = good;
    bmp_test::PutField(thirtyTwoBit, 28, 32, 2);
    bmp_test::PutField(topDown, 22, static_cast<uint32_t>(-3), 4);
    bmp_test::PutField(rowsBeyondItsSize, 10, 0xFFFFFFF0u, 4);  // the data offset
    ASSERT_TRUE(test_support::WriteFileBytes(path, AsString(thirtyTwoBit)));

    for (Kind kind : AllKinds()) {
        SCOPED_TRACE(KindName(kind));
        auto canvas = Prepared(kind);
        const auto before = StateOf(*canvas);
        EXPECT_FALSE(canvas->LoadBmp(path.c_str()));
        EXPECT_FALSE(canvas->LoadBmp(folder.File("missing.bmp").c_str()));
        EXPECT_FALSE(canvas->LoadBmp(folder.Path().c_str()));
        EXPECT_FALSE(canvas->LoadBmp(nullptr));
        // In memory: refused headers, a null image and the wrong format codes.
        EXPECT_FALSE(canvas->LoadFromMemory(thirtyTwoBit.data(), BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(topDown.data(), BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(rowsBeyondItsSize.data(), BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(nullptr, BMP_IMAGE_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(good.data(), DIB24_ROWS_FORMAT));
        EXPECT_FALSE(canvas->LoadFromMemory(good.data(), 0));
        EXPECT_TRUE(before == StateOf(*canvas));

        // The same canvas still loads a good image.
        EXPECT_TRUE(canvas->LoadFromMemory(good.data(), BMP_IMAGE_FORMAT));
        EXPECT_EQ(4, canvas->GetWidth());
        EXPECT_EQ(0x445566u, canvas->GetRgb(3, 2));
    }
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
        FillAll(*canvas, 0xABCDEF);
        ASSERT_TRUE(canvas->PutDib24(-2, 0, 4, 1, row));
        ASSERT_TRUE(canvas->PutDib24(1, 1, 2, 2, block));
        const Rgb expected[3][3] = {
            {3, 4, 0xABCDEF}, {0xABCDEF, 0x605040, 0x615141}, {0xABCDEF, 0x302010, 0x312111}};
        ExpectEach(*canvas, [&](int x, int y) { return expected[y][x]; });

        const auto before = StateOf(*canvas);
        EXPECT_FALSE(canvas->PutDib24(0, 0, 4, 1, nullptr));
        EXPECT_FALSE(canvas->PutDib24(0, 0, 0, 1, row));
        for (auto [x, y] : {std::pair{-4, 0}, {3, 0}, {0, 3}, {0, -1}})
            EXPECT_FALSE(canvas->PutDib24(x, y, 4, 1, row)) << x << "," << y;
        EXPECT_TRUE(before == StateOf(*canvas));
    }
}
