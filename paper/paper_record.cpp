#include "paper/paper_record.h"

#include "settings/ini_values.h"

#include <cstdio>

namespace {

void PutUint16(uint8_t* bytes, uint16_t value) {
    bytes[0] = static_cast<uint8_t>(value & 0xFF);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetUint16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

// Position of the extension's dot in the file name part, or npos.
size_t ExtensionStart(const std::string& path) {
    size_t dot = std::string::npos;
    const size_t nameStart = FolderEnd(path);
    ForEachCharacterStart(path, [&](size_t index) {
        if (index >= nameStart && path[index] == '.') dot = index;
    });
    return dot;
}

int ClampInto(int position, int size, int low, int high) {
    if (position + size > high) position = high - size;
    if (position < low) position = low;
    return position;
}

}  // namespace

PaperRecord MakePaperRecord(int32_t x, int32_t y, int32_t number, int32_t locked) {
    PaperRecord record;
    record.x = static_cast<int16_t>(static_cast<uint16_t>(x & 0xFFFF));
    record.y = static_cast<int16_t>(static_cast<uint16_t>(y & 0xFFFF));
    record.number = static_cast<uint16_t>(number & 0xFFFF);
    record.locked = static_cast<uint16_t>(locked & 0xFFFF);
    return record;
}

PaperRecordBytes EncodePaperRecord(const PaperRecord& record) {
    PaperRecordBytes bytes{};
    PutUint16(&bytes[0], static_cast<uint16_t>(record.x));
    PutUint16(&bytes[2], static_cast<uint16_t>(record.y));
    PutUint16(&bytes[4], record.number);
    PutUint16(&bytes[6], record.locked);
    return bytes;
}

bool DecodePaperRecord(const void* bytes, size_t size, PaperRecord* record) {
    if (!bytes || !record || size < PAPER_RECORD_SIZE) return false;
    const uint8_t* data = static_cast<const uint8_t*>(bytes);
    record->x = static_cast<int16_t>(GetUint16(data));
    record->y = static_cast<int16_t>(GetUint16(data + 2));
    record->number = GetUint16(data + 4);
    record->locked = GetUint16(data + 6);
    return true;
}

PaperGeometry ComputePaperGeometry(int tabWidth, int tabHeight, int bodyWidth, int bodyHeight) {
    PaperGeometry geometry;
    geometry.windowWidth = bodyWidth + 2;
    geometry.windowHeight = tabHeight + bodyHeight + 3;
    geometry.tab = RECT{0, 0, tabWidth + 2, tabHeight + 1};
    geometry.body = RECT{0, tabHeight + 1, bodyWidth + 2, tabHeight + bodyHeight + 3};
    geometry.drawArea = RECT{1, tabHeight + 2, bodyWidth + 1, tabHeight + bodyHeight + 2};
    return geometry;
}

POINT CenteredPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    // Integer division truncates towards zero, as the placement wants.
    POINT position{(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
    if (position.x < 0) position.x = 0;
    if (position.y < 0) position.y = 0;
    return position;
}

POINT PlaceInsideArea(const RECT& window, const RECT& area) {
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    return POINT{ClampInto(window.left, width, area.left, area.right),
                 ClampInto(window.top, height, area.top, area.bottom)};
}

int ScreenLimit(int screenSide) {
    // 95 % truncated, in integers: a floating-point product such as 1280 * 0.95
    // lands just below 1216 at some precisions and would truncate to 1215.
    return static_cast<int>(static_cast<int64_t>(screenSide) * 95 / 100);
}

bool ExceedsScreenLimit(int imageSide, int screenSide) {
    return imageSide > ScreenLimit(screenSide);
}

std::string PathExtension(const std::string& path) {
    const size_t dot = ExtensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ReplaceExtension(const std::string& path, const char* extension) {
    const size_t dot = ExtensionStart(path);
    std::string result = dot == std::string::npos ? path : path.substr(0, dot);
    result += '.';
    result += extension ? extension : "";
    return result;
}

bool HasBmpExtension(const std::string& path) {
    const std::string extension = PathExtension(path);
    return extension == ".bmp" || extension == ".BMP";
}

bool HasDatExtension(const std::string& path) {
    const std::string extension = PathExtension(path);
    return extension == ".dat" || extension == ".DAT";
}

std::string SaveAsFileName(const std::string& chosenName) {
    return HasBmpExtension(chosenName) ? chosenName : chosenName + ".bmp";
}

std::string DataFolderFor(const std::string& configuredFolder, const std::string& programPath) {
    if (!configuredFolder.empty()) return configuredFolder;
    return FolderOfPath(programPath) + "data\\";
}

std::string DataFilePath(const std::string& folder, int number, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "%d.%s", number, extension ? extension : "");
    return folder + name;
}
