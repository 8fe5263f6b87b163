// Colour values of the canvas layer and their one conversion to and from the
// platform's COLORREF.
#pragma once

#include <windows.h>

#include <cstdint>

// 0x00RRGGBB: blue in the low byte, the byte order of a 32-bit DIB pixel.
using Rgb = uint32_t;

// A canvas's transparent colour when none is set.
constexpr Rgb NO_TRANSPARENT_COLOR = 0xFFFFFFFFu;

constexpr Rgb MakeRgb(int red, int green, int blue) {
    return (static_cast<Rgb>(red & 0xFF) << 16) | (static_cast<Rgb>(green & 0xFF) << 8) |
           static_cast<Rgb>(blue & 0xFF);
}

// `word` with its byte at `shift` (0, 8 or 16) replaced by `value` limited to
// 0..255; the other bytes are kept.
constexpr uint32_t WithChannel(uint32_t word, int shift, int value) {
    const uint32_t channel = static_cast<uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    return (word & ~(0xFFu << shift)) | (channel << shift);
}

// COLORREF is 0x00BBGGRR: converting swaps the low and the third byte.
constexpr COLORREF RgbToColorRef(Rgb colour) {
    return static_cast<COLORREF>(((colour & 0xFF) << 16) | (colour & 0xFF00) |
                                 ((colour >> 16) & 0xFF));
}
constexpr Rgb ColorRefToRgb(COLORREF colour) {
    return static_cast<Rgb>(((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF));
}
