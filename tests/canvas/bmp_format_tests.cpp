// The bytes of the 24-bit BMP file: what the writer produces and what the
// reader accepts or refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "canvas/bmp_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t ReadUint32(const Bytes& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

void WriteUint32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteUint16(Bytes& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

Bytes Build(int32_t width, int32_t height, const std::vector<uint32_t>& topDownPixels) {
    BmpFileBuilder file;
    EXPECT_TRUE(file.Start(width, height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            file.SetPixel(x, y, topDownPixels[static_cast<size_t>(y) * width + x]);
    return Bytes(file.Data(), file.Data() + file.Size());
}

// A well-formed file with a header as large as `infoHeaderSize` (40, or 124
// as newer writers use), pixels from the given top-down colours.
Bytes BuildWithInfoHeader(int32_t width, int32_t height, uint32_t infoHeaderSize,
                          const std::vector<uint32_t>& topDownPixels) {
    const Bytes plain = Build(width, height, topDownPixels);
    const uint32_t offset = 14 + infoHeaderSize;
    Bytes file(offset, 0);
    std::memcpy(file.data(), plain.data(), 54);
    file.insert(file.end(), plain.begin() + 54, plain.end());
    WriteUint32(file, 2, static_cast<uint32_t>(file.size()));
    WriteUint32(file, 10, offset);
    WriteUint32(file, 14, infoHeaderSize);
    return file;
}

BmpParseResult Check(const Bytes& file, Dib24Image* dib = nullptr) {
    return CheckBmpFileImage(file.data(), file.size(), dib);
}

std::vector<uint32_t> RandomPixels(std::mt19937& random, size_t count) {
    std::vector<uint32_t> pixels(count);
    for (auto& pixel : pixels) pixel = random() & 0xFFFFFF;
    return pixels;
}

}  // namespace

TEST(BmpFormat, OnePixelFileIsFiftyEightBytes) {
    const Bytes file = Build(1, 1, {0x00112233});
    const Bytes expected = {
        'B',  'M',  58,   0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40,   0,    0,    0, 1, 0, 0, 0, 1, 0, 0,  0,        // size, width, height
        1,    0,    24,   0,                                 // planes, bits per pixel
        0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  0,        // compression, image size, x res
        0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  0,        // y res, colours, important
        0x33, 0x22, 0x11, 0};                                // blue, green, red, padding
    EXPECT_EQ(expected, file);
}

TEST(BmpFormat, RowsArePaddedToFourBytesAndStoredBottomUp) {
    EXPECT_EQ(4u, Dib24Stride(1));
    EXPECT_EQ(8u, Dib24Stride(2));
    EXPECT_EQ(12u, Dib24Stride(3));
    EXPECT_EQ(12u, Dib24Stride(4));
    EXPECT_EQ(16u, Dib24Stride(5));
    EXPECT_EQ(0u, Dib24Stride(0));
    EXPECT_EQ(0u, Dib24Stride(-7));
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
    EXPECT_FALSE(file.Start(0, 5));
    EXPECT_FALSE(file.Start(5, 0));
    EXPECT_FALSE(file.Start(-1, 5));
    EXPECT_FALSE(file.Start(5, -1));
    // 30000 × 30000 pixels would need 2.7 GB: more than the size field can say.
    EXPECT_FALSE(file.Start(30000, 30000));
    EXPECT_FALSE(file.Start(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_EQ(0u, file.Size());
    EXPECT_EQ(nullptr, file.Data());

    ASSERT_TRUE(file.Start(2, 2));
    file.SetPixel(-1, 0, 0xFFFFFF);  // ignored, as are the others outside
    file.SetPixel(2, 0, 0xFFFFFF);
    file.SetPixel(0, 2, 0xFFFFFF);
    file.SetPixel(0, -1, 0xFFFFFF);
    for (uint32_t i = 54; i < file.Size(); ++i) EXPECT_EQ(0, file.Data()[i]);
}

TEST(BmpFormat, WrittenFilesReadBackWithTheirPixels) {
    std::mt19937 random(20261207);
    for (int32_t width : {1, 2, 3, 4, 5, 7, 33}) {
        for (int32_t height : {1, 2, 5}) {
            const auto pixels = RandomPixels(random, static_cast<size_t>(width) * height);
            const Bytes file = Build(width, height, pixels);
            Dib24Image dib;
            ASSERT_EQ(BmpParseResult::Ok, Check(file, &dib)) << width << "x" << height;
            EXPECT_EQ(width, dib.width);
            EXPECT_EQ(height, dib.height);
            EXPECT_EQ(file.data() + 54, dib.rows);
            EXPECT_EQ(Dib24Stride(width), dib.stride);
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x)
                    ASSERT_EQ(pixels[static_cast<size_t>(y) * width + x],
                              Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y))
                        << width << "x" << height << " at " << x << "," << y;
        }
    }
}

TEST(BmpFormat, LargerInformationHeaderIsReadFromItsDataOffset) {
    const Bytes file = BuildWithInfoHeader(3, 2, 124, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(138u, ReadUint32(file, 10));
    Dib24Image dib;
    ASSERT_EQ(BmpParseResult::Ok, Check(file, &dib));
    EXPECT_EQ(file.data() + 138, dib.rows);
    EXPECT_EQ(6u, Dib24PixelAt(dib.rows, dib.stride, dib.height, 2, 1));
    EXPECT_EQ(1u, Dib24PixelAt(dib.rows, dib.stride, dib.height, 0, 0));

    // Bytes between the headers and the pixels, and bytes after them, are fine.
    Bytes gap = Build(2, 2, {1, 2, 3, 4});
    gap.insert(gap.begin() + 54, 10, 0xEE);
    WriteUint32(gap, 10, 64);
    gap.insert(gap.end(), 7, 0xEE);
    ASSERT_EQ(BmpParseResult::Ok, Check(gap, &dib));
    EXPECT_EQ(3u, Dib24PixelAt(dib.rows, dib.stride, dib.height, 0, 1));

    // Fields the reader does not need are not judged.
    Bytes odd = Build(2, 2, {1, 2, 3, 4});
    odd[0] = 'X';
    odd[1] = 'Y';
    WriteUint32(odd, 2, 12345);  // file size
    WriteUint32(odd, 14, 0);     // header size
    WriteUint16(odd, 26, 7);     // planes
    WriteUint32(odd, 34, 999);   // image size
    EXPECT_EQ(BmpParseResult::Ok, Check(odd));
}

TEST(BmpFormat, RefusesWhatItCannotReadAsTwentyFourBitRows) {
    const Bytes good = Build(4, 3, std::vector<uint32_t>(12, 0x123456));
    ASSERT_EQ(BmpParseResult::Ok, Check(good));

    for (uint16_t bits : {1, 4, 8, 16, 32, 0, 25}) {
        Bytes file = good;
        WriteUint16(file, 28, bits);
        EXPECT_EQ(BmpParseResult::NotTwentyFourBit, Check(file)) << bits;
    }
    for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u}) {
        Bytes file = good;
        WriteUint32(file, 30, compression);
        EXPECT_EQ(BmpParseResult::Compressed, Check(file)) << compression;
    }

    Bytes topDown = good;
    WriteUint32(topDown, 22, static_cast<uint32_t>(-3));
    EXPECT_EQ(BmpParseResult::NotPositiveSize, Check(topDown));
    Bytes noWidth = good;
    WriteUint32(noWidth, 18, 0);
    EXPECT_EQ(BmpParseResult::NotPositiveSize, Check(noWidth));
    Bytes negativeWidth = good;
    WriteUint32(negativeWidth, 18, 0x80000000u);
    EXPECT_EQ(BmpParseResult::NotPositiveSize, Check(negativeWidth));

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

    for (uint32_t offset : {static_cast<uint32_t>(good.size()) + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes file = good;
        WriteUint32(file, 10, offset);
        EXPECT_EQ(BmpParseResult::DataOffsetPastEnd, Check(file)) << offset;
    }
    Bytes atEnd = good;
    WriteUint32(atEnd, 10, static_cast<uint32_t>(good.size()));
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(atEnd));
    Bytes oneLate = good;
    WriteUint32(oneLate, 10, 55);
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(oneLate));

    // Sizes whose 32-bit products wrap to something small must not pass:
    // width 0x55555555 has a stride of exactly 2^32, width 0x2AAAAAAB twice
    // that 0x80000004 wraps to 8.
    Bytes wrapsToZero = good;
    WriteUint32(wrapsToZero, 18, 0x55555555u);
    WriteUint32(wrapsToZero, 22, 1);
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(wrapsToZero));
    Bytes wrapsToEight = good;
    WriteUint32(wrapsToEight, 18, 0x2AAAAAABu);
    WriteUint32(wrapsToEight, 22, 2);
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(wrapsToEight));
    Bytes huge = good;
    WriteUint32(huge, 18, 0x7FFFFFFFu);
    WriteUint32(huge, 22, 0x7FFFFFFFu);
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(huge));
    Bytes tall = good;
    WriteUint32(tall, 22, 4);
    EXPECT_EQ(BmpParseResult::PixelsTruncated, Check(tall));

    EXPECT_TRUE(ParseBmpFileImage(good.data(), good.size(), nullptr));
    EXPECT_FALSE(ParseBmpFileImage(good.data(), good.size() - 1, nullptr));
}
