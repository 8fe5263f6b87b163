#include "paper/paper_record.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const PaperRecordBytes& bytes) {
    std::string text;
    char part[4];
    for (uint8_t byte : bytes) {
        std::snprintf(part, sizeof part, "%02X ", byte);
        text += part;
    }
    return text;
}

TEST(PaperRecord, EncodesFourLittleEndianFields) {
    EXPECT_EQ("64 00 32 00 03 00 00 00 ", Hex(EncodePaperRecord(MakePaperRecord(100, 50, 3, 0))));
    EXPECT_EQ("EC FF 0A 00 03 00 01 00 ", Hex(EncodePaperRecord(MakePaperRecord(-20, 10, 3, 1))));
    // Only the low 16 bits of each value are kept.
    EXPECT_EQ("01 00 FF FF 04 01 02 00 ",
              Hex(EncodePaperRecord(MakePaperRecord(0x10001, -1, 0x104, 0x20002))));
}

TEST(PaperRecord, DecodesSignedPositionsAndRefusesShortData) {
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
    centred = CenteredPosition(1024, 768, 1100, 223);
    EXPECT_EQ(0, centred.x);
    EXPECT_EQ(272, centred.y);
    centred = CenteredPosition(1024, 768, 202, 900);
    EXPECT_EQ(0, centred.y);

    const RECT area{0, 0, 1024, 740};
    POINT placed = PlaceInsideArea(RECT{-5000, 100, -4798, 323}, area);
    EXPECT_EQ(0, placed.x);
    EXPECT_EQ(100, placed.y);
    placed = PlaceInsideArea(RECT{3000, 3000, 3202, 3223}, area);
    EXPECT_EQ(822, placed.x);
    EXPECT_EQ(517, placed.y);
    // Larger than the area: the top-left corner stays reachable.
    placed = PlaceInsideArea(RECT{-3000, -3000, -1000, -1000}, area);
    EXPECT_EQ(0, placed.x);
    EXPECT_EQ(0, placed.y);
}

TEST(PaperGeometry, ScreenLimitIsNinetyFivePercentTruncated) {
    EXPECT_EQ(729, ScreenLimit(768));
    EXPECT_FALSE(ExceedsScreenLimit(1216, 1280));
    EXPECT_TRUE(ExceedsScreenLimit(1217, 1280));
}

TEST(PaperPaths, ExtensionsAndSaveAsNames) {
    EXPECT_EQ("memo.bmp", SaveAsFileName("memo"));
    EXPECT_EQ("memo.BMP", SaveAsFileName("memo.BMP"));
    EXPECT_EQ("memo.txt.bmp", SaveAsFileName("memo.txt"));
    EXPECT_EQ("C:\\a.bmp\\memo.bmp", SaveAsFileName("C:\\a.bmp\\memo"));

    EXPECT_TRUE(HasBmpExtension("C:\\x\\picture.bmp"));
    EXPECT_TRUE(HasBmpExtension("picture.BMP"));
    EXPECT_FALSE(HasBmpExtension("picture.Bmp"));
    EXPECT_FALSE(HasBmpExtension("C:\\dir.bmp\\picture"));
    EXPECT_TRUE(HasDatExtension("3.DAT"));

    EXPECT_EQ("C:\\notes\\3.bmp", ReplaceExtension("C:\\notes\\3.dat", "bmp"));
    EXPECT_EQ("C:\\n.x\\3.bmp", ReplaceExtension("C:\\n.x\\3", "bmp"));
    // 表 is 0x95 0x5C in code page 932: its trail byte is no separator.
    const std::string table = "C:\\\x95\x5C.dat";
    EXPECT_EQ("C:\\", PathFolder(table));
    EXPECT_EQ(".dat", PathExtension(table));
}

TEST(PaperPaths, DataFolderRule) {
    EXPECT_EQ("D:\\notes\\", DataFolderFor("D:\\notes\\", "C:\\tools\\app.exe"));
    EXPECT_EQ("C:\\tools\\data\\", DataFolderFor("", "C:\\tools\\app.exe"));
    EXPECT_EQ("C:\\tools\\data\\7.bmp", DataFilePath("C:\\tools\\data\\", 7, "bmp"));
}

}  // namespace
