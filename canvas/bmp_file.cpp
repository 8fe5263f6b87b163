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
    if (!path) return false;

    FileHandle file(
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;

    DWORD high = 0;
    const DWORD low = GetFileSize(file.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
    if (high != 0 || low == 0 || low > MAX_WHOLE_FILE_SIZE) return false;

    if (!bytes->Allocate(low)) return false;
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
