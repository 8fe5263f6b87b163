// BMP files and the files around them: what the reader refuses, damaged
// images read only within their bytes, whole files written and read or
// refused, pictures of many bands, and files replaced through temporary
// files. (ImageMagick checks the bytes of the files themselves.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "canvas/bmp_file.h"
#include "canvas_test_helpers.h"
#include "support/test_support.h"

using namespace canvas_test;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

namespace {

using Bytes = std::vector<uint8_t>;

// The little-endian field of `width` bytes at `at` set, as far as it lies
// inside the bytes.
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

void FreePages(uint8_t* pages) {
    VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace

TEST(BmpRead, RefusedImagesAndDamagedOnesAreReadOnlyWithinTheirBytes) {
    // Refused for what they are: not 24-bit, compressed, top-down or without
    // width, data starting past the end, and sizes whose 32-bit products wrap
    // (width 0x55555555 has a stride of 2^32, width 0x2AAAAAAB two rows of
    // 0x80000004 bytes, 8 after the wrap).
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

    // Every cut of well-formed files and damaged copies of them, each placed
    // to end where 64 KiB that can be read meet 64 KiB that cannot, so that a
    // reader going past its end faults at once.
    constexpr size_t READABLE = 0x10000;
    const std::unique_ptr<uint8_t, decltype(&FreePages)> pages(
        static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * READABLE, MEM_RESERVE, PAGE_NOACCESS)),
        FreePages);
    ASSERT_TRUE(VirtualAlloc(pages.get(), READABLE, MEM_COMMIT, PAGE_READWRITE));
    uint8_t* const end = pages.get() + READABLE;
    ASSERT_TRUE(IsBadReadPtr(end, 1) && !IsBadReadPtr(end - 1, 1));
    std::mt19937 random(3003);
    std::vector<Bytes> corpus;
    for (int width : {1, 3, 4, 6, 17}) {
        for (int height : {1, 2, 9}) {
            ASSERT_TRUE(file.Start(width, height));
            for (int i = 0; i < width * height; ++i) file.SetPixel(i % width, i / width, random());
            const Bytes good(file.Data(), file.Data() + file.Size());
            for (size_t length = 0; length <= good.size(); ++length)
                corpus.emplace_back(good.begin(), good.begin() + length);
            for (int i = 0; i < 300; ++i) corpus.push_back(Damage(good, random));
        }
    }
    test_support::TemporaryFolder folder;
    const std::string path = folder.File("damaged.bmp");
    size_t accepted = 0;
    for (size_t i = 0; i < corpus.size(); ++i) {
        uint8_t* const image = end - corpus[i].size();
        std::copy(corpus[i].begin(), corpus[i].end(), image);
        Dib24Image dib;
        const bool readable = ParseBmpFileImage(image, corpus[i].size(), &dib);
        accepted += readable;
        for (int y = 0; readable && y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x)
                ASSERT_LT(Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y), 0x1000000u);
        // Some go through a canvas of each class in turn from a file: it
        // loads what the reader sees, or is refused and stays as it was.
        if (i % 7) continue;
        ASSERT_TRUE(WriteFileBytes(path, std::string(corpus[i].begin(), corpus[i].end())));
        auto canvas = Make(ALL_KINDS[i / 7 % 3], 6, 5);
        Paint(*canvas);
        const auto before = StateOf(*canvas);
        ASSERT_EQ(readable, canvas->LoadBmp(path.c_str())) << i;
        if (!readable) {
            ASSERT_EQ(before, StateOf(*canvas)) << i;
            continue;
        }
        ASSERT_TRUE(dib.width == canvas->GetWidth() && dib.height == canvas->GetHeight()) << i;
        ExpectEach(*canvas, [&](int x, int y) {
            return Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y);
        });
    }
    // The corpus exercises both outcomes.
    EXPECT_GT(accepted, corpus.size() / 10);
    EXPECT_LT(accepted, corpus.size() / 2);
}

TEST(BmpFile, WholeFilesAreWrittenFlushedAndReadOrRefused) {
    test_support::TemporaryFolder folder;
    const std::string path = folder.File("whole.bmp"), empty = folder.File("empty.bmp");
    const std::string held = folder.File("held.bmp"), missing = folder.File("missing.bmp");
    ASSERT_TRUE(WriteFileBytes(path, std::string(5000, 'x')) && WriteFileBytes(empty, ""));
    ASSERT_TRUE(WriteFileBytes(held, "x") && WriteWholeFile(path.c_str(), "content", 7));
    EXPECT_EQ("content", ReadFileBytes(path));
    // Refused, with nothing held: no path, an empty file, no file, and a file
    // held open without sharing, which cannot be written either.
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
    // Writes that do not reach a file: into no folder, onto a device that
    // takes every byte but cannot flush them (the null device) and one that
    // takes none (the full disk), through SaveBmp of every class too.
    EXPECT_FALSE(WriteWholeFile(folder.File("missing\\a.bmp").c_str(), "x", 1));
    for (const char* device : {"Z:\\dev\\null", "Z:\\dev\\full"}) {
        ASSERT_TRUE(FileWriter(device).IsOpen()) << device;
        EXPECT_FALSE(WriteWholeFile(device, std::string(100000, 'b').data(), 100000)) << device;
        for (Kind kind : ALL_KINDS) EXPECT_FALSE(Make(kind, 3, 2)->SaveBmp(device)) << device;
    }
    // Pictures of many bands of the reader, and one whose every row is
    // longer than a band, come back whole.
    std::mt19937 random(4242);
    for (const auto& [width, height] : {std::pair{1000, 800}, {400000, 3}}) {
        DibCanvas canvas(width, height), loaded(1, 1);
        Paint(canvas, [&](int, int) { return random() & 0xFFFFFF; });
        ASSERT_TRUE(canvas.SaveBmp(path.c_str()) && loaded.LoadBmp(path.c_str()));
        EXPECT_TRUE(StateOf(canvas) == StateOf(loaded)) << width;
    }
}

TEST(BmpFile, TemporaryFilesTakeNoOneElsesFileAndNoLongerName) {
    test_support::TemporaryFolder folder;
    const std::string path = folder.File("3.dat"), taken = folder.File("3.da~");
    EXPECT_EQ(taken, TemporaryNameFor(path));
    EXPECT_EQ(folder.File("3.da7"), TemporaryNameFor(path, '7'));
    EXPECT_EQ("", TemporaryNameFor(""));
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
    EXPECT_EQ((std::vector<std::string>{"3.dat", "3.da~", longest}),
              test_support::FilesIn(folder.Path()));
}
