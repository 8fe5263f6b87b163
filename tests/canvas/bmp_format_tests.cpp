// The bytes of the 24-bit BMP file: what the writer produces and what the
// reader accepts or refuses.
#include <gtest/gtest.h>

#include "bmp_test_files.h"

using bmp_test::Build;
using bmp_test::Bytes;

namespace {

uint32_t ReadUint32(const Bytes& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// A copy of `good` with the little-endian field at `at` of `width` bytes set.
Bytes With(const Bytes& good, size_t at, uint32_t value, size_t width = 4) {
    Bytes bytes = good;
    bmp_test::PutField(bytes, at, value, width);
    return bytes;
}

BmpParseResult Check(const Bytes& file, Dib24Image* dib = nullptr) {
    return CheckBmpFileImage(file.data(), file.size(), dib);
}

}  // namespace

TEST(BmpFormat, OnePixelFileIsFiftyEightBytesAndRowsArePaddedBottomUp) {
    const Bytes file = Build(1, 1, {0x00112233});
    const Bytes expected = {
        'B',  'M',  58,   0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40,   0,    0,    0, 1, 0, 0, 0, 1, 0, 0,  0,        // size, width, height
        1,    0,    24,   0,                                 // planes, bits per pixel
        0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  0,        // compression, image size, x res
        0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  0,        // y res, colours, important
        0x33, 0x22, 0x11, 0};                                // blue, green, red, padding
    EXPECT_EQ(expected, file);

    // Rows are padded to four bytes and stored bottom-up.
    const std::pair<int32_t, uint64_t> strides[] = {{1, 4},  {2, 8}, {3, 12}, {4, 12},
                                                    {5, 16}, {0, 0}, {-7, 0}};
    for (const auto& [width, stride] : strides) EXPECT_EQ(stride, Dib24Stride(width)) << width;
    EXPECT_EQ(0x180000000ull, Dib24Stride(0x7FFFFFFF));  // no 32-bit wrap

    // 3 × 2: rows of 9 pixel bytes and 3 padding bytes; the first stored row is row 1.
    const Bytes three = Build(3, 2,
                              {0x010203, 0x040506, 0x070809,  //
                               0x0A0B0C, 0x0D0E0F, 0x101112});
    ASSERT_EQ(78u, three.size());
    EXPECT_EQ(78u, ReadUint32(three, 2));
    const Bytes rows(three.begin() + 54, three.end());
    const Bytes expectedRows = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,
                                0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0};
    EXPECT_EQ(expectedRows, rows);

    // Width 1 pads each 3-byte row by one byte.
    const Bytes one = Build(1, 3, {0xAAAAAA, 0xBBBBBB, 0xCCCCCC});
    ASSERT_EQ(54u + 3 * 4, one.size());
    EXPECT_EQ(0xCC, one[54]);
    EXPECT_EQ(0, one[57]);
    EXPECT_EQ(0xAA, one[62]);
    EXPECT_EQ(0, one[65]);

    // Width 4 needs no padding.
    const Bytes four = Build(4, 1, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF});
    ASSERT_EQ(54u + 12, four.size());
    for (size_t i = 54; i < four.size(); ++i) EXPECT_EQ(0xFF, four[i]) << i;
}

TEST(BmpFormat, BuilderRefusesEmptyAndOversizedPictures) {
    BmpFileBuilder file;
    // 30000 × 30000 pixels would need 2.7 GB: more than the size field can say.
    const std::pair<int32_t, int32_t> refused[] = {
        {0, 5}, {5, 0}, {-1, 5}, {5, -1}, {30000, 30000}, {0x7FFFFFFF, 0x7FFFFFFF}};
    for (const auto& [width, height] : refused) EXPECT_FALSE(file.Start(width, height));
    EXPECT_EQ(0u, file.Size());
    EXPECT_EQ(nullptr, file.Data());

    ASSERT_TRUE(file.Start(2, 2));
    for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, 2}, {0, -1}})
        file.SetPixel(x, y, 0xFFFFFF);  // outside: ignored
    for (uint32_t i = 54; i < file.Size(); ++i) EXPECT_EQ(0, file.Data()[i]);
}

TEST(BmpFormat, LargerInformationHeaderIsReadFromItsDataOffset) {
    const Bytes file = Build(3, 2, {1, 2, 3, 4, 5, 6}, 124);
    ASSERT_EQ(138u, ReadUint32(file, 10));
    Dib24Image dib;
    ASSERT_EQ(BmpParseResult::Ok, Check(file, &dib));
    EXPECT_EQ(file.data() + 138, dib.rows);
    EXPECT_EQ(6u, Dib24PixelAt(dib.rows, dib.stride, dib.height, 2, 1));
    EXPECT_EQ(1u, Dib24PixelAt(dib.rows, dib.stride, dib.height, 0, 0));

    // Bytes between the headers and the pixels, and bytes after them, are fine.
    Bytes gap = With(Build(2, 2, {1, 2, 3, 4}), 10, 64);
    gap.insert(gap.begin() + 54, 10, 0xEE);
    gap.insert(gap.end(), 7, 0xEE);
    ASSERT_EQ(BmpParseResult::Ok, Check(gap, &dib));
    EXPECT_EQ(3u, Dib24PixelAt(dib.rows, dib.stride, dib.height, 0, 1));

    // Fields the reader does not need are not judged.
    Bytes odd = With(Build(2, 2, {1, 2, 3, 4}), 0, 'X' | 'Y' << 8, 2);
    odd = With(odd, 2, 12345);  // file size
    odd = With(odd, 14, 0);     // header size
    odd = With(odd, 26, 7, 2);  // planes
    odd = With(odd, 34, 999);   // image size
    EXPECT_EQ(BmpParseResult::Ok, Check(odd));
}

TEST(BmpFormat, RefusesWhatItCannotReadAsTwentyFourBitRows) {
    const Bytes good = Build(4, 3, std::vector<uint32_t>(12, 0x123456));
    ASSERT_EQ(BmpParseResult::Ok, Check(good));

    for (uint32_t bits : {1, 4, 8, 16, 32, 0, 25})
        EXPECT_EQ(BmpParseResult::NotTwentyFourBit, Check(With(good, 28, bits, 2))) << bits;
    for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u})
        EXPECT_EQ(BmpParseResult::Compressed, Check(With(good, 30, compression))) << compression;
    // Top-down (negative height), no width, negative width.
    EXPECT_EQ(BmpParseResult::NotPositiveSize, Check(With(good, 22, static_cast<uint32_t>(-3))));
    EXPECT_EQ(BmpParseResult::NotPositiveSize, Check(With(good, 18, 0)));
    EXPECT_EQ(BmpParseResult::NotPositiveSize, Check(With(good, 18, 0x80000000u)));

    EXPECT_EQ(BmpParseResult::NoImage, CheckBmpFileImage(nullptr, 100, nullptr));
    for (size_t length = 0; length < 54; ++length)
        EXPECT_EQ(BmpParseResult::ShorterThanHeaders,
                  CheckBmpFileImage(good.data(), length, nullptr))
            << length;
}

TEST(BmpFormat, RefusesFilesWithoutAllTheirPixelBytes) {
    const Bytes good = Build(4, 3, std::vector<uint32_t>(12, 0x123456));
    Dib24Image untouched;
    untouched.width = 77;

    // Every cut short of the last padding byte is refused, and the result is left alone.
    for (size_t length = 54; length < good.size(); ++length) {
        EXPECT_EQ(BmpParseResult::PixelsTruncated,
                  CheckBmpFileImage(good.data(), length, &untouched));
        EXPECT_EQ(77, untouched.width);
    }

    for (uint32_t offset : {static_cast<uint32_t>(good.size()) + 1, 0x7FFFFFFFu, 0xFFFFFFFFu})
        EXPECT_EQ(BmpParseResult::DataOffsetPastEnd, Check(With(good, 10, offset))) << offset;
    EXPECT_EQ(BmpParseResult::PixelsTruncated,
              Check(With(good, 10, static_cast<uint32_t>(good.size()))));
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(With(good, 10, 55)));

    // Sizes whose 32-bit products wrap to something small must not pass:
    // width 0x55555555 has a stride of exactly 2^32, width 0x2AAAAAAB twice
    // that 0x80000004 wraps to 8.
    const std::pair<uint32_t, uint32_t> wrapping[] = {
        {0x55555555u, 1}, {0x2AAAAAABu, 2}, {0x7FFFFFFFu, 0x7FFFFFFFu}, {4, 4}};
    for (const auto& [width, height] : wrapping) {
        EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(With(With(good, 18, width), 22, height)))
            << width << " x " << height;
    }

    EXPECT_TRUE(ParseBmpFileImage(good.data(), good.size(), nullptr));
    EXPECT_FALSE(ParseBmpFileImage(good.data(), good.size() - 1, nullptr));
}
