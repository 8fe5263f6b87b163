#include "canvas/bmp_file.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace {

// The most bytes one ReadFile or WriteFile is asked for: well inside a DWORD.
constexpr DWORD MAX_FILE_PART = 0x40000000u;

// Reads exactly `count` bytes from the file's current position; false when
// the file ends or the device fails first.
bool ReadExactly(HANDLE file, uint8_t* bytes, uint64_t count) {
    uint64_t total = 0;
    while (total < count) {
        const DWORD part = static_cast<DWORD>(std::min<uint64_t>(count - total, MAX_FILE_PART));
        DWORD got = 0;
        if (!ReadFile(file, bytes + total, part, &got, nullptr) || got == 0) return false;
        total += got;
    }
    return true;
}

// Opens the file at `path` for reading without sharing and gives its size;
// the holder is left empty when it cannot be opened, is empty or is larger
// than MAX_WHOLE_FILE_SIZE.
DWORD OpenForReading(const char* path, FileHandle* file) {
    if (!path) return 0;
    FileHandle opened(
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!opened.IsValid()) return 0;
    DWORD high = 0;
    const DWORD low = GetFileSize(opened.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
    if (high != 0 || low == 0 || low > MAX_WHOLE_FILE_SIZE) return 0;
    file->Reset(opened.Release());
    return low;
}

}  // namespace

FileImage::~FileImage() {
    Release();
}

void FileImage::Release() {
    delete[] data;
    data = nullptr;
    size = 0;
}

bool FileImage::Allocate(size_t count) {
    Release();
    if (count == 0) return false;
    data = new (std::nothrow) uint8_t[count];
    if (!data) return false;
    size = count;
    return true;
}

bool ReadWholeFile(const char* path, FileImage* bytes) {
    if (!bytes) return false;
    bytes->Release();
    FileHandle file;
    const DWORD low = OpenForReading(path, &file);
    if (low == 0 || !bytes->Allocate(low)) return false;
    if (!ReadExactly(file.Get(), bytes->MutableData(), low)) {
        bytes->Release();
        return false;
    }
    return true;
}

FileWriter::FileWriter(const char* path)
    : file(path ? CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr)
                : INVALID_HANDLE_VALUE) {}

bool FileWriter::Write(const void* bytes, size_t size) {
    if (failed || !file.IsValid() || (bytes == nullptr && size != 0)) {
        failed = true;
        return false;
    }
    const uint8_t* next = static_cast<const uint8_t*>(bytes);
    size_t total = 0;
    while (total < size) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(size - total, MAX_FILE_PART));
        DWORD written = 0;
        if (!WriteFile(file.Get(), next + total, part, &written, nullptr) || written == 0) {
            failed = true;
            return false;
        }
        total += written;
    }
    return true;
}

bool FileWriter::Finish() {
    if (!file.IsValid()) return false;
    const bool flushed = FlushFileBuffers(file.Get()) != FALSE;
    const bool closed = file.Close();
    return !failed && flushed && closed;
}

bool WriteWholeFile(const char* path, const void* bytes, uint32_t size) {
    FileWriter file(path);
    return file.Write(bytes, size) && file.Finish();
}

std::string TemporaryNameFor(const std::string& path, char marker) {
    if (path.empty()) return std::string();
    const char* start = path.c_str();
    const char* end = start + path.size();
    // The platform's own reading of the code page tells a trail byte apart.
    if (end - CharPrevA(start, end) != 1) return std::string();
    std::string name = path;
    name.back() = marker;
    return name;
}

std::string CreateTemporaryFileFor(const std::string& path) {
    static const char MARKERS[] = "~0123456789abcdefghijklmnopqrstuvwxyz";
    for (const char* marker = MARKERS; *marker; ++marker) {
        const std::string name = TemporaryNameFor(path, *marker);
        if (name.empty() || lstrcmpiA(name.c_str(), path.c_str()) == 0) continue;
        FileHandle made(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (made.IsValid()) return name;
        // Anything but an existing file (no such folder, no access) stops.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

bool MoveTemporaryFileOver(const std::string& temporary, const std::string& path) {
    if (MoveFileExA(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}

bool BmpFileReader::Open(const char* path) {
    file.Close();
    layout = BmpLayout();
    FileHandle opened;
    const DWORD low = OpenForReading(path, &opened);
    if (low < BMP_HEADERS_SIZE) return false;

    uint8_t headers[BMP_HEADERS_SIZE];
    if (!ReadExactly(opened.Get(), headers, sizeof headers)) return false;
    BmpLayout checked;
    if (CheckBmpHeaders(headers, low, &checked) != BmpParseResult::Ok) return false;

    file.Reset(opened.Release());
    layout = checked;
    return true;
}

bool BmpFileReader::ReadRows(int32_t first, int32_t count, uint8_t* rows) {
    if (!file.IsValid() || !rows || first < 0 || count < 1 || first > layout.height - count)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(layout.dataOffset) +
                  static_cast<LONGLONG>(first) * static_cast<LONGLONG>(layout.stride);
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return false;
    // The rows were checked to lie inside the file, which nobody else can
    // change while it is open; a short read is a failing device.
    return ReadExactly(file.Get(), rows, static_cast<uint64_t>(count) * layout.stride);
}
