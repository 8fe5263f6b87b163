// Files in and out of memory with the platform's file functions: a whole file
// read into memory, a BMP file read in bands of rows, files written in one
// piece or in parts, and files replaced through a temporary file so that a
// failed write never harms the file already there.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "canvas/bmp_format.h"

// Largest file ReadWholeFile takes into memory. Larger files are refused
// rather than risk exhausting a 32-bit address space.
constexpr uint32_t MAX_WHOLE_FILE_SIZE = 0x40000000u;  // 1 GiB

// The bytes of a file held in memory. Owns its buffer; not copyable.
class FileImage {
public:
    FileImage() = default;
    ~FileImage();
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    const uint8_t* Data() const { return data; }
    size_t Size() const { return size; }

    // Drops the bytes held (if any) and holds `count` uninitialised bytes;
    // false when memory is short or count is 0.
    bool Allocate(size_t count);
    uint8_t* MutableData() { return data; }
    void Release();

private:
    uint8_t* data = nullptr;
    size_t size = 0;
};

// Reads the whole file at `path` (opened for reading, without sharing) into
// `bytes`. False, with `bytes` empty, when the path is null, the file cannot
// be opened, is empty, is larger than MAX_WHOLE_FILE_SIZE, memory is short or
// fewer bytes than its size could be read.
bool ReadWholeFile(const char* path, FileImage* bytes);

// The single owner of one open file handle, closed when the holder goes away.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle(handle) {}
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

// A file created (or replaced) without sharing and written in parts. A write
// counts only when every part was written and Finish then brought the file
// to the device and closed it: a close that fails may have lost buffered
// data. A file written only in part may remain. Not copyable.
class FileWriter {
public:
    explicit FileWriter(const char* path);
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool IsOpen() const { return file.IsValid(); }
    // Writes `size` bytes after those written before; false (and every later
    // Finish false) when they could not all be written.
    bool Write(const void* bytes, size_t size);
    // Flushes and closes the file: true exactly when the file was opened,
    // every Write succeeded, and the flush and the close succeeded.
    bool Finish();

private:
    FileHandle file;
    bool failed = false;
};

// Creates (or replaces) the file at `path` and writes the `size` bytes as
// FileWriter does: true exactly when every byte was written, flushed and the
// file closed cleanly.
bool WriteWholeFile(const char* path, const void* bytes, uint32_t size);

// The name `path` is written through before it replaces the file: the same
// folder and length, the last character replaced by `marker` ("3.dat" gives
// "3.da~"), so any path short enough to be written is short enough to be
// written through. Empty when the path is empty or ends in a double-byte
// character.
std::string TemporaryNameFor(const std::string& path, char marker = '~');
// Creates a new empty file named as TemporaryNameFor gives with the first of
// the markers "~", "0" to "9" and "a" to "z" whose file does not exist yet,
// so that no file of someone else's is ever written over; its name, or empty
// when none can be made.
std::string CreateTemporaryFileFor(const std::string& path);
// Moves the temporary file over `path`, replacing it and written through;
// on failure the temporary file is removed and `path` stays as it was.
bool MoveTemporaryFileOver(const std::string& temporary, const std::string& path);

// Writes `path` through a temporary file that `write(const char*)` fills,
// then moves it over `path`. On any failure the old file stays as it was and
// the temporary file is removed. The temporary file is `temporary` when given
// (a name of the program's own, written over), else a new one beside `path`.
template <typename Writer>
bool WriteReplacing(const std::string& path, Writer write,
                    const std::string& temporary = std::string()) {
    const std::string through = temporary.empty() ? CreateTemporaryFileFor(path) : temporary;
    if (through.empty()) return false;
    if (!write(through.c_str())) {
        DeleteFileA(through.c_str());
        return false;
    }
    return MoveTemporaryFileOver(through, path);
}

// A 24-bit BMP file read in bands of rows, so that a large picture needs no
// memory for the whole file. The file is opened without sharing, so it cannot
// change while it is read. Not copyable.
class BmpFileReader {
public:
    BmpFileReader() = default;
    BmpFileReader(const BmpFileReader&) = delete;
    BmpFileReader& operator=(const BmpFileReader&) = delete;

    // Opens the file at `path` and checks its headers against its size as
    // ParseBmpFileImage checks a file image, so every row lies inside the
    // file. False (nothing held) when the path is null, the file cannot be
    // opened, is empty or larger than MAX_WHOLE_FILE_SIZE, or is refused.
    bool Open(const char* path);
    const BmpLayout& Layout() const { return layout; }
    // Reads `count` rows, the lowest `first` rows above the bottom of the
    // picture, into `rows` (count × stride bytes, bottom row first). False
    // when they cannot all be read.
    bool ReadRows(int32_t first, int32_t count, uint8_t* rows);

private:
    FileHandle file;
    BmpLayout layout;
};
