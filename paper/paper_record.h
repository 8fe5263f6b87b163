// The pure side of a note: its 8-byte data record, the names of its files,
// the extension rules and the geometry of its window. Nothing here touches a
// window, a file or a device context, so tests reach it directly.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// N.dat: four 16-bit little-endian fields and nothing else.
struct PaperRecord {
    int16_t x;        // screen x of the window's top-left corner
    int16_t y;        // screen y
    uint16_t number;  // the note number the record belongs to
    uint16_t locked;  // any value but 0 restores the note locked
};

constexpr size_t PAPER_RECORD_SIZE = 8;
static_assert(sizeof(PaperRecord) == PAPER_RECORD_SIZE, "N.dat is four 16-bit fields");
using PaperRecordBytes = std::array<uint8_t, PAPER_RECORD_SIZE>;

// The record of a note; each value keeps its low 16 bits.
PaperRecord MakePaperRecord(int32_t x, int32_t y, int32_t number, int32_t locked);
PaperRecordBytes EncodePaperRecord(const PaperRecord& record);
// False when fewer than 8 bytes are given: a short file is no record.
bool DecodePaperRecord(const void* bytes, size_t size, PaperRecord* record);

// The window of a note with a TW × TH tab and a W × H drawing area, in window
// coordinates; right and bottom edges are exclusive.
struct PaperGeometry {
    int windowWidth;   // W + 2
    int windowHeight;  // TH + H + 3
    RECT tab;          // (0, 0, TW + 2, TH + 1): the tab part of the shape
    RECT body;         // (0, TH + 1, W + 2, TH + H + 3): the body part of the shape
    RECT drawArea;     // (1, TH + 2, W + 1, TH + H + 2): exactly W × H pixels
};
PaperGeometry ComputePaperGeometry(int tabWidth, int tabHeight, int bodyWidth, int bodyHeight);

// Where a window is centred on a screen; a window larger than the screen
// starts at 0 on that axis.
POINT CenteredPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

// The top-left corner that puts a window of the given size just inside an
// area (the work area of a monitor): each side is moved in as little as
// needed; a window larger than the area keeps its left or top edge on the
// area's.
POINT PlaceInsideArea(const RECT& window, const RECT& area);

// Whether an image side is above 95 % of the screen side (the limit truncated
// to an integer): such a size asks the user before going on.
int ScreenLimit(int screenSide);
bool ExceedsScreenLimit(int imageSide, int screenSide);

// The extension of a path, from its last dot after its last separator, dot
// included; empty when it has none. Double-byte characters are respected.
std::string PathExtension(const std::string& path);
// The path with its extension replaced (extension given without the dot).
std::string ReplaceExtension(const std::string& path, const char* extension);
// Exactly ".bmp" or ".BMP" (a mixed case such as ".Bmp" is not).
bool HasBmpExtension(const std::string& path);
// Exactly ".dat" or ".DAT".
bool HasDatExtension(const std::string& path);
// The name a save-as writes: ".bmp" is appended unless the name already ends
// in ".bmp" or ".BMP".
std::string SaveAsFileName(const std::string& chosenName);

// The data folder: the configured one used verbatim when not empty, else the
// program's folder followed by "data\".
std::string DataFolderFor(const std::string& configuredFolder, const std::string& programPath);
// "%s%d.dat" / "%s%d.bmp".
std::string DataFilePath(const std::string& folder, int number, const char* extension);
