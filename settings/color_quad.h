// The colour quad in which the settings keep the pen and background colours:
// alpha, red, green, blue. Alpha is carried and stored but never drawn.
#pragma once

#include "canvas/rgb.h"

#include <cstdint>

struct ColorQuad {
    uint8_t alpha;
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// The INI form: alpha << 24 | red << 16 | green << 8 | blue.
constexpr uint32_t ColorQuadToValue(ColorQuad quad) {
    return (static_cast<uint32_t>(quad.alpha) << 24) | (static_cast<uint32_t>(quad.red) << 16) |
           (static_cast<uint32_t>(quad.green) << 8) | quad.blue;
}
constexpr ColorQuad ColorQuadFromValue(uint32_t value) {
    return ColorQuad{static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                     static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}
constexpr Rgb ColorQuadToRgb(ColorQuad quad) {
    return MakeRgb(quad.red, quad.green, quad.blue);
}
constexpr COLORREF ColorQuadToColorRef(ColorQuad quad) {
    return RGB(quad.red, quad.green, quad.blue);
}
// Takes red, green and blue of a platform colour; alpha stays as it was.
inline void SetColorQuadFromColorRef(ColorQuad& quad, COLORREF colour) {
    quad.red = GetRValue(colour);
    quad.green = GetGValue(colour);
    quad.blue = GetBValue(colour);
}
