// The 24-bit uncompressed BMP file: its header layout, the bytes the writers
// put out and a reader that checks every size against the bytes it was given.
//
// Pure byte code: no window, no device context, no file. A file image of
// unknown length cannot be read safely: only a caller that knows how many
// bytes it holds may hand one to the parser.
#pragma once

#include <cstddef>
#include <cstdint>

// The two headers exactly as they lie in the file (little-endian, unaligned):
// read and written with memcpy, never through a cast pointer.
#pragma pack(push, 1)
struct BmpFileHeader {
    uint16_t signature;  // "BM"
    uint32_t fileSize;   // whole file in bytes
    uint16_t reserved1;
    uint16_t reserved2;
    uint32_t dataOffset;  // where the pixel rows start
};

struct BmpInfoHeader {
    uint32_t headerSize;  // 40 here; larger in newer header versions
    int32_t width;
    int32_t height;  // positive: rows stored bottom-up
    uint16_t planes;
    uint16_t bitsPerPixel;
    uint32_t compression;  // 0: uncompressed rows
    uint32_t imageSize;
    int32_t horizontalResolution;
    int32_t verticalResolution;
    uint32_t coloursUsed;
    uint32_t importantColours;
};
#pragma pack(pop)

static_assert(sizeof(BmpFileHeader) == 14, "the file header is 14 bytes");
static_assert(sizeof(BmpInfoHeader) == 40, "the information header is 40 bytes");

constexpr uint16_t BMP_SIGNATURE = 0x4D42;  // 'B', 'M' in file order
constexpr uint32_t BMP_FILE_HEADER_SIZE = 14;
constexpr uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr uint32_t BMP_HEADERS_SIZE = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE;  // 54
constexpr uint32_t BMP_UNCOMPRESSED = 0;                                            // BI_RGB

// Largest file the writer builds: its size must fit the header's 32-bit field
// and one WriteFile call, and stay well inside a 32-bit address space.
constexpr uint32_t BMP_MAX_FILE_SIZE = 0x7FFFFFFFu;

// The size of the file of a width × height picture; 0 when a side is below 1
// or the file would pass BMP_MAX_FILE_SIZE.
uint32_t BmpFileSize(int32_t width, int32_t height);

// Writes the BMP_HEADERS_SIZE header bytes of the file of a width × height
// picture, which BmpFileSize has accepted: fields not named here are zero.
void PutBmpHeaders(uint8_t* headers, int32_t width, int32_t height);

// Stores `width` colours 0x00RRGGBB (the fourth byte of each word ignored) as
// one 24-bit row, blue, green and red per pixel; the padding is not touched.
void PutDib24Row(uint8_t* row, const uint32_t* colours, int32_t width);

// Bytes per stored row: 3 × width rounded up to a multiple of 4; 0 when the
// width is below 1. 64-bit, so no width can overflow it.
uint64_t Dib24Stride(int32_t width);

// The colour (0x00RRGGBB, an Rgb) of the three bytes (blue, green, red) of
// one 24-bit pixel.
uint32_t Dib24Colour(const uint8_t* pixel);

// The colour (0x00RRGGBB, an Rgb) of pixel (x, y) of bottom-up 24-bit rows,
// with y = 0 the top row of the picture, that is the last row in memory.
// The caller keeps 0 ≤ x < width and 0 ≤ y < height; nothing is checked here.
uint32_t Dib24PixelAt(const uint8_t* rows, size_t stride, int32_t height, int32_t x, int32_t y);

// A 24-bit picture found inside a BMP file image. Every byte of
// rows[0 .. stride × height) lies inside the image it was parsed from.
struct Dib24Image {
    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* rows = nullptr;  // the first row is the bottom row of the picture
    size_t stride = 0;              // bytes per row, Dib24Stride(width)
};

// Why a file image was refused (or Ok).
enum class BmpParseResult {
    Ok,
    NoImage,             // null pointer
    ShorterThanHeaders,  // fewer than 54 bytes
    NotTwentyFourBit,    // bits per pixel other than 24 (palette, 16-bit, 32-bit)
    Compressed,          // compression other than none
    NotPositiveSize,     // width or height below 1 (top-down files included)
    DataOffsetPastEnd,   // the pixel data would start beyond the last byte
    PixelsTruncated,     // fewer bytes after the data offset than stride × height
};

// Where the rows of a readable 24-bit BMP file lie.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t dataOffset = 0;  // of the first (bottom) row
    size_t stride = 0;        // bytes per row, Dib24Stride(width)
};

// Checks the 54 header bytes of a BMP file of `fileSize` bytes as
// CheckBmpFileImage checks a whole image (reads exactly 54 bytes).
BmpParseResult CheckBmpHeaders(const uint8_t* headers, uint64_t fileSize, BmpLayout* layout);

// Checks a BMP file image of `size` bytes and, when it holds a readable
// 24-bit bottom-up picture, fills `dib` (left untouched otherwise).
// Reads only bytes inside [image, image + size). Fields the reader does not
// need (signature, file size, header size, planes, resolutions, colour counts)
// are not judged, so files with a larger information header or bytes between
// the headers and the pixels are read from their data offset.
BmpParseResult CheckBmpFileImage(const void* image, size_t size, Dib24Image* dib);

// CheckBmpFileImage(...) == BmpParseResult::Ok.
bool ParseBmpFileImage(const void* image, size_t size, Dib24Image* dib);

// A complete 24-bit BMP file being built in memory: the 54 header bytes, then
// height rows of Dib24Stride(width) bytes, bottom row first, pixels black and
// padding zero until set. Owns its buffer; not copyable.
class BmpFileBuilder {
public:
    BmpFileBuilder() = default;
    ~BmpFileBuilder();
    BmpFileBuilder(const BmpFileBuilder&) = delete;
    BmpFileBuilder& operator=(const BmpFileBuilder&) = delete;

    // Allocates and writes the headers. False (and nothing held) when a side
    // is below 1, the file would pass BMP_MAX_FILE_SIZE, or memory is short.
    bool Start(int32_t width, int32_t height);

    // Stores pixel (x, y) of the picture, y = 0 the top row, colour 0x00RRGGBB
    // (an Rgb; the fourth byte is ignored). Pixels outside the picture are
    // ignored.
    void SetPixel(int32_t x, int32_t y, uint32_t colour);

    const uint8_t* Data() const { return data; }
    uint32_t Size() const { return size; }  // 0 before a successful Start

private:
    void Release();

    uint8_t* data = nullptr;
    uint32_t size = 0;
    uint32_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
};
