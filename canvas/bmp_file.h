// Whole files in and out of memory with the platform's file functions: a
// picture file is read with one read before it is decoded and written from
// one buffer built beforehand.
#pragma once

#include "canvas/bmp_format.h"

#include <cstddef>
#include <cstdint>

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

// Creates (or replaces) the file at `path` without sharing and writes the
// `size` bytes. True exactly when every byte was written and the file closed
// cleanly; a file written only in part may remain.
bool WriteWholeFile(const char* path, const void* bytes, uint32_t size);

// A 24-bit BMP file read in bands of rows, so that a large picture needs no
// memory for the whole file. The file is opened without sharing, so it cannot
// change while it is read. Not copyable.
class BmpFileReader {
public:
    BmpFileReader() = default;
    ~BmpFileReader();
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
    void Close();
    void* file = nullptr;  // the open file's handle
    BmpLayout layout;
};
