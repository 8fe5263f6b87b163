// Whole-file reads and writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "canvas/bmp_file.h"
#include "support/test_support.h"

using test_support::TemporaryFolder;

namespace {

std::string Held(const FileImage& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
}

}  // namespace

TEST(BmpFile, WrittenBytesReadBackAndReplaceALongerFile) {
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

    // Reading again replaces what was held.
    ASSERT_TRUE(WriteWholeFile(path.c_str(), "ab", 2));
    ASSERT_TRUE(ReadWholeFile(path.c_str(), &bytes));
    EXPECT_EQ("ab", Held(bytes));
}

TEST(BmpFile, FilesThatCannotBeReadWholeGiveFalseAndNothingHeld) {
    TemporaryFolder folder;
    const std::string present = folder.File("present.bmp");
    ASSERT_TRUE(test_support::WriteFileBytes(present, "BM some bytes"));
    FileImage bytes;
    ASSERT_TRUE(ReadWholeFile(present.c_str(), &bytes));

    EXPECT_FALSE(ReadWholeFile(nullptr, &bytes));
    EXPECT_EQ(0u, bytes.Size());
    EXPECT_EQ(nullptr, bytes.Data());
    EXPECT_FALSE(ReadWholeFile(present.c_str(), nullptr));

    EXPECT_FALSE(ReadWholeFile(folder.File("missing.bmp").c_str(), &bytes));
    EXPECT_FALSE(ReadWholeFile(folder.Path().c_str(), &bytes));  // a folder

    const std::string empty = folder.File("empty.bmp");
    ASSERT_TRUE(test_support::WriteFileBytes(empty, ""));
    ASSERT_TRUE(ReadWholeFile(present.c_str(), &bytes));
    EXPECT_FALSE(ReadWholeFile(empty.c_str(), &bytes));
    EXPECT_EQ(0u, bytes.Size());

    // Held open without sharing by someone else: cannot be opened.
    HANDLE holder = CreateFileA(present.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(ReadWholeFile(present.c_str(), &bytes));
    EXPECT_FALSE(WriteWholeFile(present.c_str(), "x", 1));
    CloseHandle(holder);
    EXPECT_TRUE(ReadWholeFile(present.c_str(), &bytes));
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

TEST(BmpFile, WritesThatFailGiveFalse) {
    TemporaryFolder folder;
    EXPECT_FALSE(WriteWholeFile(nullptr, "x", 1));
    EXPECT_FALSE(WriteWholeFile(folder.File("no such folder\\a.bmp").c_str(), "x", 1));
    EXPECT_FALSE(WriteWholeFile(folder.File("a.bmp").c_str(), nullptr, 1));

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
