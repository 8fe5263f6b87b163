// BMP files and the files around them: what the reader refuses, damaged
// images read only within their bytes, whole files written and read or
// refused, pictures of many bands, files replaced through temporary files,
// and the files of ImageMagick loaded by every class and ours read by it.
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
using test_support::FileExists;
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
        // Every pixel the reader hands out lies inside the image.
        std::vector<Rgb> pixels{Rgb(dib.width), Rgb(dib.height), NO_TRANSPARENT_COLOR};
        for (int y = 0; readable && y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x)
                pixels.push_back(Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y));
        // Some go through a canvas of each class in turn from a file: it
        // loads what the reader sees, or is refused and stays as it was.
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

TEST(ImageMagickBmp, ItsFilesLoadWithItsPixelsAndOurFilesReadWithOurs) {
    // Wine maps the Unix root to drive Z: and starts Unix programs itself
    // (without a process handle): a shell script in a folder under /tmp runs
    // ImageMagick and makes a file when it has finished.
    ASSERT_TRUE(FileExists("Z:\\usr\\bin\\convert")) << "ImageMagick is not installed";
    const std::string name = "inkslip-bmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount());
    const std::string folder = "Z:\\tmp\\" + name + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    // Random samples in two sizes, rows padded by one byte and by three: its
    // 24-bit file with the 40-byte header and its default one with a larger
    // header, and a file of every class holding the same picture.
    const std::string sizes[] = {"5x3", "31x17"};
    std::vector<std::unique_ptr<Canvas>> pictures;
    std::mt19937 random(31337);
    std::string script = "set -e\ncd /tmp/" + name + "\n";
    for (const std::string& size : sizes) {
        const int width = std::stoi(size), height = std::stoi(size.substr(size.find('x') + 1));
        std::string raw(static_cast<size_t>(width) * height * 3, '\0');
        for (char& sample : raw) sample = static_cast<char>(random());
        ASSERT_TRUE(WriteFileBytes(folder + size + ".rgb", raw));
        for (const char* format : {"BMP3", "BMP"}) {
            script += "convert -size " + size + " -depth 8 rgb:" + size + ".rgb -type TrueColor " +
                      format + ":" + size + "-" + format + ".bmp\n";
        }
        pictures.push_back(Make(Kind::Dib, width, height));
        Paint(*pictures.back(), [&](int x, int y) {
            const char* sample = &raw[(static_cast<size_t>(y) * width + x) * 3];
            return MakeRgb(sample[0], sample[1], sample[2]);
        });
        for (Kind kind : ALL_KINDS) {
            auto canvas = Make(kind, 1, 1);
            const std::string ours = size + "-" + KindName(kind);
            ASSERT_TRUE(canvas->CopyFrom(pictures.back().get()) &&
                        canvas->SaveBmp((folder + ours + ".bmp").c_str()));
            script += "convert " + ours + ".bmp -depth 8 rgb:" + ours + ".rgb\n";
        }
    }
    ASSERT_TRUE(WriteFileBytes(folder + "job.sh", script + "touch done\n"));
    ASSERT_GT(WinExec(("Z:\\bin\\sh /tmp/" + name + "/job.sh").c_str(), SW_HIDE), 31u);
    for (int waited = 0; waited < 60000 && !FileExists(folder + "done"); waited += 20) Sleep(20);
    ASSERT_TRUE(FileExists(folder + "done")) << "ImageMagick did not finish";

    EXPECT_EQ(40, ReadFileBytes(folder + "5x3-BMP3.bmp")[14]);
    EXPECT_EQ(124, ReadFileBytes(folder + "5x3-BMP.bmp")[14]);
    for (size_t i = 0; i < std::size(sizes); ++i) {
        const std::string& size = sizes[i];
        const std::string raw = ReadFileBytes(folder + size + ".rgb");
        for (Kind kind : ALL_KINDS) {
            const std::string ours = size + "-" + KindName(kind) + ".rgb";
            EXPECT_EQ(raw, ReadFileBytes(folder + ours)) << ours;
            for (const std::string& theirs : {size + "-BMP3.bmp", size + "-BMP.bmp"}) {
                auto canvas = Make(kind, 1, 1);
                EXPECT_TRUE(canvas->LoadBmp((folder + theirs).c_str()));
                EXPECT_EQ(StateOf(*pictures[i]), StateOf(*canvas))
                    << theirs << " into " << KindName(kind);
            }
        }
    }
    for (const std::string& file : test_support::FilesIn(folder))
        DeleteFileA((folder + file).c_str());
    RemoveDirectoryA(folder.c_str());
}
