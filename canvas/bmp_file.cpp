#include "canvas/bmp_file.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

// Owns one file handle; closes it when it goes away unless Close was called.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsValid() const { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    HANDLE Get() const { return handle; }
    // Closes the handle held and takes `other` over.
    void Reset(HANDLE other) {
        Close();
        handle = other;
    }
    // Hands the handle over; this holder then owns nothing.
    HANDLE Release() {
        HANDLE released = handle;
        handle = INVALID_HANDLE_VALUE;
        return released;
    }
    // True when the handle closed cleanly (or there was none).
    bool Close() {
        if (!IsValid()) return true;
        const BOOL closed = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle;
};

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
    FileHandle file(INVALID_HANDLE_VALUE);
    const DWORD low = OpenForReading(path, &file);
    if (low == 0 || !bytes->Allocate(low)) return false;
    // One read normally takes it all; keep reading should the system hand
    // the file over in parts, and stop at an early end.
    DWORD total = 0;
    while (total < low) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes->MutableData() + total, low - total, &got, nullptr) ||
            got == 0)
            break;
        total += got;
    }
    if (total != low) {
        bytes->Release();
        return false;
    }
    return true;
}

bool WriteWholeFile(const char* path, const void* bytes, uint32_t size) {
    if (!path || (!bytes && size != 0)) return false;

    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;

    const uint8_t* next = static_cast<const uint8_t*>(bytes);
    DWORD total = 0;
    while (total < size) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), next + total, size - total, &written, nullptr) || written == 0)
            break;
        total += written;
    }
    // A close that fails may have lost buffered data: that is a failed write too.
    const bool closed = file.Close();
    return total == size && closed;
}

BmpFileReader::~BmpFileReader() {
    Close();
}

void BmpFileReader::Close() {
    if (file) CloseHandle(static_cast<HANDLE>(file));
    file = nullptr;
    layout = BmpLayout();
}

bool BmpFileReader::Open(const char* path) {
    Close();
    FileHandle opened(INVALID_HANDLE_VALUE);
    const DWORD low = OpenForReading(path, &opened);
    if (low < BMP_HEADERS_SIZE) return false;

    uint8_t headers[BMP_HEADERS_SIZE];
    DWORD got = 0;
    if (!ReadFile(opened.Get(), headers, sizeof headers, &got, nullptr) || got != sizeof headers)
        return false;
    BmpLayout checked;
    if (CheckBmpHeaders(headers, low, &checked) != BmpParseResult::Ok) return false;

    file = opened.Release();
    layout = checked;
    return true;
}

bool BmpFileReader::ReadRows(int32_t first, int32_t count, uint8_t* rows) {
    if (!file || !rows || first < 0 || count < 1 || first > layout.height - count) return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(layout.dataOffset) +
                  static_cast<LONGLONG>(first) * static_cast<LONGLONG>(layout.stride);
    if (!SetFilePointerEx(static_cast<HANDLE>(file), at, nullptr, FILE_BEGIN)) return false;
    // The rows were checked to lie inside the file, which nobody else can
    // change while it is open; a short read is a failing device.
    const uint64_t wanted = static_cast<uint64_t>(count) * layout.stride;
    uint64_t total = 0;
    while (total < wanted) {
        const DWORD part = static_cast<DWORD>(wanted - total < 0x40000000u ? wanted - total
                                                                          : 0x40000000u);
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(file), rows + total, part, &got, nullptr) || got == 0)
            return false;
        total += got;
    }
    return true;
}
