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

uint64_t Dib24Stride(int32_t width) {
    if (width < 1) return 0;
    return (3 * static_cast<uint64_t>(width) + 3) & ~static_cast<uint64_t>(3);
}

uint32_t Dib24PixelAt(const uint8_t* rows, size_t stride, int32_t height, int32_t x, int32_t y) {
    const uint8_t* pixel =
        rows + stride * static_cast<size_t>(height - 1 - y) + 3 * static_cast<size_t>(x);
    return static_cast<uint32_t>(pixel[0]) | (static_cast<uint32_t>(pixel[1]) << 8) |
           (static_cast<uint32_t>(pixel[2]) << 16);
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
    if (newWidth < 1 || newHeight < 1) return false;
    const uint64_t rowBytes = Dib24Stride(newWidth);
    if (rowBytes > BMP_MAX_FILE_SIZE) return false;
    const uint64_t fileSize = BMP_HEADERS_SIZE + rowBytes * static_cast<uint64_t>(newHeight);
    if (fileSize > BMP_MAX_FILE_SIZE) return false;

    uint8_t* buffer = new (std::nothrow) uint8_t[static_cast<size_t>(fileSize)];
    if (!buffer) return false;
    // Zero: every header field not written below, the padding, and black pixels.
    std::memset(buffer, 0, static_cast<size_t>(fileSize));

    PutUint16(buffer + 0, BMP_SIGNATURE);
    PutUint32(buffer + 2, static_cast<uint32_t>(fileSize));
    PutUint32(buffer + 10, BMP_HEADERS_SIZE);
    PutUint32(buffer + 14, BMP_INFO_HEADER_SIZE);
    PutUint32(buffer + 18, static_cast<uint32_t>(newWidth));
    PutUint32(buffer + 22, static_cast<uint32_t>(newHeight));
    PutUint16(buffer + 26, 1);
    PutUint16(buffer + 28, 24);

    data = buffer;
    size = static_cast<uint32_t>(fileSize);
    stride = static_cast<uint32_t>(rowBytes);
    width = newWidth;
    height = newHeight;
    return true;
}

void BmpFileBuilder::SetPixel(int32_t x, int32_t y, uint32_t colour) {
    if (!data || x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* pixel = data + BMP_HEADERS_SIZE +
                     static_cast<size_t>(stride) * static_cast<size_t>(height - 1 - y) +
                     3 * static_cast<size_t>(x);
    pixel[0] = static_cast<uint8_t>(colour);        // blue
    pixel[1] = static_cast<uint8_t>(colour >> 8);   // green
    pixel[2] = static_cast<uint8_t>(colour >> 16);  // red
}

void BmpFileBuilder::SetRow(int32_t y, const uint32_t* colours) {
    if (data == nullptr || y < 0 || y >= height) return;
    uint8_t* row = data + BMP_HEADERS_SIZE + static_cast<size_t>(height - 1 - y) * stride;
    for (int32_t x = 0; x < width; ++x, row += 3) {
        uint32_t colour = colours[x];
        row[0] = static_cast<uint8_t>(colour);
        row[1] = static_cast<uint8_t>(colour >> 8);
        row[2] = static_cast<uint8_t>(colour >> 16);
    }
}
