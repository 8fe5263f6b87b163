#include "paper/paper_record.h"
#include "settings/ini_values.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using test_support::RecordBytes;

TEST(PaperRecord, EncodesFourLittleEndianFieldsAndDecodesSignedPositions) {
    EXPECT_EQ(std::string("\x64\x00\x32\x00\x03\x00\x00\x00", 8), RecordBytes(100, 50, 3, 0));
    // Only the low 16 bits of each value are kept.
    EXPECT_EQ(std::string("\x01\x00\xFF\xFF\x04\x01\x02\x00", 8),
              RecordBytes(0x10001, -1, 0x104, 0x20002));

    const uint8_t bytes[8] = {0xEC, 0xFF, 0x0A, 0x00, 0x03, 0x00, 0x07, 0x00};
    PaperRecord record{};
    ASSERT_TRUE(DecodePaperRecord(bytes, 8, &record));
    EXPECT_EQ(-20, record.x);
    EXPECT_EQ(10, record.y);
    EXPECT_EQ(3, record.number);
    EXPECT_EQ(7, record.locked);
    EXPECT_FALSE(DecodePaperRecord(bytes, 7, &record));
    EXPECT_FALSE(DecodePaperRecord(nullptr, 8, &record));
}

TEST(PaperGeometry, CentringAndPlacingInsideAnArea) {
    POINT centred = CenteredPosition(1024, 768, 202, 223);
    EXPECT_EQ(411, centred.x);
    EXPECT_EQ(272, centred.y);
    centred = CenteredPosition(1024, 768, 1100, 900);
    EXPECT_EQ(0, centred.x);
    EXPECT_EQ(0, centred.y);

    const RECT area{0, 0, 1024, 740};
    POINT placed = PlaceInsideArea(RECT{3000, 3000, 3202, 3223}, area);
    EXPECT_EQ(822, placed.x);
    EXPECT_EQ(517, placed.y);
    // Larger than the area: the top-left corner stays reachable.
    placed = PlaceInsideArea(RECT{-3000, -3000, -1000, -1000}, area);
    EXPECT_EQ(0, placed.x);
    EXPECT_EQ(0, placed.y);

    // 95 % of the screen, truncated.
    EXPECT_EQ(729, ScreenLimit(768));
    EXPECT_FALSE(ExceedsScreenLimit(1216, 1280));
    EXPECT_TRUE(ExceedsScreenLimit(1217, 1280));
    EXPECT_FALSE(ExceedsScreenLimit(972, 1024));
    EXPECT_TRUE(ExceedsScreenLimit(973, 1024));
    // The program's floating point must agree with the platform's usual
    // compilers: 64-bit doubles, no 80-bit intermediates.
    volatile double side = 1280;
    EXPECT_EQ(1216, static_cast<int>(side * 0.95));
}

TEST(PaperPaths, NamesAndExtensions) {
    EXPECT_EQ("C:\\a.bmp\\memo.bmp", SaveAsFileName("C:\\a.bmp\\memo"));
    EXPECT_TRUE(HasBmpExtension("C:\\x\\picture.bmp"));
    EXPECT_FALSE(HasBmpExtension("C:\\dir.bmp\\picture"));
    EXPECT_TRUE(HasDatExtension("3.DAT"));
    EXPECT_EQ("C:\\n.x\\3.bmp", ReplaceExtension("C:\\n.x\\3", "bmp"));
    // 表 is 0x95 0x5C in code page 932: its trail byte is no separator.
    const std::string table = "C:\\\x95\x5C.dat";
    EXPECT_EQ("C:\\", FolderOfPath(table));
    EXPECT_EQ(".dat", PathExtension(table));

    EXPECT_EQ("D:\\notes\\", DataFolderFor("D:\\notes\\", "C:\\tools\\app.exe"));
    EXPECT_EQ("C:\\tools\\data\\", DataFolderFor("", "C:\\tools\\app.exe"));
    EXPECT_EQ("C:\\tools\\data\\7.bmp", DataFilePath("C:\\tools\\data\\", 7, "bmp"));
}

}  // namespace
