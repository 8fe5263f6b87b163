// BMP file images for the tests: well-formed ones with random pixels, and
// damaged copies of them.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "canvas/bmp_format.h"

namespace bmp_test {

using Bytes = std::vector<uint8_t>;

// A well-formed 24-bit file of the given top-down colours, with an
// information header of `infoHeaderSize` bytes (40, or 124 as newer writers
// use, which puts the pixels at 138).
inline Bytes Build(int32_t width, int32_t height, const std::vector<uint32_t>& topDownPixels,
                   uint32_t infoHeaderSize = 40) {
    BmpFileBuilder file;
    if (!file.Start(width, height)) return {};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            file.SetPixel(x, y, topDownPixels[static_cast<size_t>(y) * width + x]);
    Bytes bytes(file.Data(), file.Data() + file.Size());
    if (infoHeaderSize > 40) {
        bytes.insert(bytes.begin() + 54, infoHeaderSize - 40, 0);
        const uint32_t offset = 14 + infoHeaderSize;
        const uint32_t fileSize = static_cast<uint32_t>(bytes.size());
        std::memcpy(&bytes[2], &fileSize, 4);
        std::memcpy(&bytes[10], &offset, 4);
        std::memcpy(&bytes[14], &infoHeaderSize, 4);
    }
    return bytes;
}

inline std::vector<uint32_t> RandomPixels(std::mt19937& random, size_t count) {
    std::vector<uint32_t> pixels(count);
    for (auto& pixel : pixels) pixel = random() & 0xFFFFFF;
    return pixels;
}

inline void PutField(Bytes& bytes, size_t at, uint32_t value, size_t width) {
    for (size_t i = 0; i < width && at + i < bytes.size(); ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// One damaged copy of `good`: cut short, bytes changed at random, header
// fields set to values chosen to break size arithmetic, or several of these.
inline Bytes Damage(const Bytes& good, std::mt19937& random) {
    Bytes bytes = good;
    const uint32_t size = static_cast<uint32_t>(good.size());
    const uint32_t awkward[] = {0,          1,          2,          3,          24,
                                54,         138,        size - 1,   size,       size + 1,
                                0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x55555555, 0x2AAAAAAB,
                                0x40000000, 0xFFFFFFFD, 0x10000,    static_cast<uint32_t>(random())};
    const size_t fields[][2] = {{2, 4}, {10, 4}, {14, 4}, {18, 4}, {22, 4}, {28, 2}, {30, 4}};

    const int kind = static_cast<int>(random() % 4);
    if (kind == 0 || kind == 3) {
        const int count = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i)
            bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    }
    if (kind == 1 || kind == 3) {
        const int count = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < count; ++i) {
            const auto& field = fields[random() % (sizeof fields / sizeof fields[0])];
            PutField(bytes, field[0], awkward[random() % (sizeof awkward / sizeof awkward[0])],
                     field[1]);
        }
    }
    if (kind == 2 || (kind == 3 && random() % 2)) bytes.resize(random() % bytes.size());
    return bytes;
}

}  // namespace bmp_test
