#include "canvas/bmp_format.h"

#include <cstring>
#include <new>

namespace {

// Pixels and header fields are little-endian bytes; byte-wise access keeps
// the code free of alignment and aliasing questions.
void PutUint16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void PutUint32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

uint32_t BmpFileSize(int32_t width, int32_t height) {
    if (width < 1 || height < 1) return 0;
    const uint64_t stride = Dib24Stride(width);
    if (stride > BMP_MAX_FILE_SIZE) return 0;
    const uint64_t fileSize = BMP_HEADERS_SIZE + stride * static_cast<uint64_t>(height);
    return fileSize > BMP_MAX_FILE_SIZE ? 0 : static_cast<uint32_t>(fileSize);
}

void PutBmpHeaders(uint8_t* headers, int32_t width, int32_t height) {
    std::memset(headers, 0, BMP_HEADERS_SIZE);
    PutUint16(headers + 0, BMP_SIGNATURE);
    PutUint32(headers + 2, BmpFileSize(width, height));
    PutUint32(headers + 10, BMP_HEADERS_SIZE);
    PutUint32(headers + 14, BMP_INFO_HEADER_SIZE);
    PutUint32(headers + 18, static_cast<uint32_t>(width));
    PutUint32(headers + 22, static_cast<uint32_t>(height));
    PutUint16(headers + 26, 1);
    PutUint16(headers + 28, 24);
}

void PutDib24Row(uint8_t* row, const uint32_t* colours, int32_t width) {
    for (int32_t x = 0; x < width; ++x, row += 3) {
        const uint32_t colour = colours[x];
        row[0] = static_cast<uint8_t>(colour);        // blue
        row[1] = static_cast<uint8_t>(colour >> 8);   // green
        row[2] = static_cast<uint8_t>(colour >> 16);  // red
    }
}

uint64_t Dib24Stride(int32_t width) {
    if (width < 1) return 0;
    return (3 * static_cast<uint64_t>(width) + 3) & ~static_cast<uint64_t>(3);
}

uint32_t Dib24Colour(const uint8_t* pixel) {
    return static_cast<uint32_t>(pixel[0]) | (static_cast<uint32_t>(pixel[1]) << 8) |
           (static_cast<uint32_t>(pixel[2]) << 16);
}

uint32_t Dib24PixelAt(const uint8_t* rows, size_t stride, int32_t height, int32_t x, int32_t y) {
    return Dib24Colour(rows + stride * static_cast<size_t>(height - 1 - y) +
                       3 * static_cast<size_t>(x));
}

BmpParseResult CheckBmpHeaders(const uint8_t* headers, uint64_t fileSize, BmpLayout* layout) {
    BmpFileHeader fileHeader;
    BmpInfoHeader infoHeader;
    std::memcpy(&fileHeader, headers, sizeof fileHeader);
    std::memcpy(&infoHeader, headers + BMP_FILE_HEADER_SIZE, sizeof infoHeader);

    if (infoHeader.bitsPerPixel != 24) return BmpParseResult::NotTwentyFourBit;
    // Compressed data read as rows would come out as noise.
    if (infoHeader.compression != BMP_UNCOMPRESSED) return BmpParseResult::Compressed;
    if (infoHeader.width < 1 || infoHeader.height < 1) return BmpParseResult::NotPositiveSize;
    if (fileHeader.dataOffset > fileSize) return BmpParseResult::DataOffsetPastEnd;

    // Both factors are below 2^33 and 2^31, so the product fits 64 bits; it is
    // compared with the bytes actually there, never used to move a pointer first.
    const uint64_t stride = Dib24Stride(infoHeader.width);
    const uint64_t available = fileSize - fileHeader.dataOffset;
    if (stride > available || stride * static_cast<uint64_t>(infoHeader.height) > available)
        return BmpParseResult::PixelsTruncated;

    if (layout) {
        layout->width = infoHeader.width;
        layout->height = infoHeader.height;
        layout->dataOffset = fileHeader.dataOffset;
        layout->stride = static_cast<size_t>(stride);
    }
    return BmpParseResult::Ok;
}

BmpParseResult CheckBmpFileImage(const void* image, size_t size, Dib24Image* dib) {
    if (!image) return BmpParseResult::NoImage;
    // Both headers must be there before any field of them is read.
    if (size < BMP_HEADERS_SIZE) return BmpParseResult::ShorterThanHeaders;

    const uint8_t* bytes = static_cast<const uint8_t*>(image);
    BmpLayout layout;
    const BmpParseResult result = CheckBmpHeaders(bytes, size, &layout);
    if (result != BmpParseResult::Ok) return result;
    if (dib) {
        dib->width = layout.width;
        dib->height = layout.height;
        dib->rows = bytes + layout.dataOffset;
        dib->stride = layout.stride;
    }
    return BmpParseResult::Ok;
}

bool ParseBmpFileImage(const void* image, size_t size, Dib24Image* dib) {
    return CheckBmpFileImage(image, size, dib) == BmpParseResult::Ok;
}

BmpFileBuilder::~BmpFileBuilder() {
    Release();
}

void BmpFileBuilder::Release() {
    delete[] data;
    data = nullptr;
    size = 0;
    stride = 0;
    width = 0;
    height = 0;
}

bool BmpFileBuilder::Start(int32_t newWidth, int32_t newHeight) {
    Release();
    const uint32_t fileSize = BmpFileSize(newWidth, newHeight);
    if (fileSize == 0) return false;
    uint8_t* buffer = new (std::nothrow) uint8_t[fileSize];
    if (!buffer) return false;
    // Zero: the padding and black pixels.
    std::memset(buffer, 0, fileSize);
    PutBmpHeaders(buffer, newWidth, newHeight);

    data = buffer;
    size = fileSize;
    stride = static_cast<uint32_t>(Dib24Stride(newWidth));
    width = newWidth;
    height = newHeight;
    return true;
}

void BmpFileBuilder::SetPixel(int32_t x, int32_t y, uint32_t colour) {
    if (!data || x < 0 || y < 0 || x >= width || y >= height) return;
    PutDib24Row(data + BMP_HEADERS_SIZE +
                    static_cast<size_t>(stride) * static_cast<size_t>(height - 1 - y) +
                    3 * static_cast<size_t>(x),
                &colour, 1);
}
