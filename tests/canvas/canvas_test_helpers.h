// Helpers shared by the canvas tests: a canvas of any class (or of its
// reference) by name, a picture painted on it and what it holds.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reference_canvas.h"

namespace canvas_test {

enum class Kind { Ddb, Dib, DibSection };
constexpr Kind ALL_KINDS[] = {Kind::Ddb, Kind::Dib, Kind::DibSection};

inline const char* KindName(Kind kind) {
    return kind == Kind::Ddb ? "DdbCanvas" : kind == Kind::Dib ? "DibCanvas" : "DibSectionCanvas";
}

template <typename Class>
std::unique_ptr<Canvas> MakeAs(int width, int height, bool reference) {
    if (reference) return std::make_unique<ReferenceCanvas<Class>>(width, height);
    return std::make_unique<Class>(width, height);
}

// A black canvas of the class, or of its per-pixel reference.
inline std::unique_ptr<Canvas> Make(Kind kind, int width, int height, bool reference = false) {
    if (kind == Kind::Ddb) return MakeAs<DdbCanvas>(width, height, reference);
    if (kind == Kind::Dib) return MakeAs<DibCanvas>(width, height, reference);
    return MakeAs<DibSectionCanvas>(width, height, reference);
}

inline HDC DeviceContextOf(const Canvas& canvas) {
    auto* surface = dynamic_cast<const GdiSurface*>(&canvas);
    return surface ? surface->GetDeviceContext() : nullptr;
}

// The parts written one after another, separated by spaces.
template <typename... Parts>
std::string Label(const Parts&... parts) {
    std::ostringstream text;
    ((text << parts << ' '), ...);
    return text.str();
}

// Every pixel set to colour(x, y).
template <typename Colour>
void Paint(Canvas& canvas, Colour colour) {
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) canvas.SetRgb(x, y, colour(x, y));
}

// The size, the transparent colour and every pixel as stored (GetRawPixel):
// all that a load or a refused operation could change.
inline std::vector<Rgb> StateOf(const Canvas& canvas) {
    std::vector<Rgb> state{Rgb(canvas.GetWidth()), Rgb(canvas.GetHeight()),
                           canvas.GetTransparentColor()};
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) state.push_back(canvas.GetRawPixel(x, y));
    return state;
}

}  // namespace canvas_test
