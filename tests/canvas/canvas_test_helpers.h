// Helpers shared by the canvas tests: making a canvas of any class by name,
// and reading its pixels as sets.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <algorithm>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/ddb_canvas.h"
#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"

namespace canvas_test {

enum class Kind { Ddb, Dib, DibSection };

inline const std::vector<Kind>& AllKinds() {
    static const std::vector<Kind> kinds{Kind::Ddb, Kind::Dib, Kind::DibSection};
    return kinds;
}

inline const char* KindName(Kind kind) {
    return kind == Kind::Ddb ? "DdbCanvas" : kind == Kind::Dib ? "DibCanvas" : "DibSectionCanvas";
}

inline std::unique_ptr<Canvas> Make(Kind kind, int width, int height) {
    if (kind == Kind::Ddb) return std::make_unique<DdbCanvas>(width, height);
    if (kind == Kind::Dib) return std::make_unique<DibCanvas>(width, height);
    return std::make_unique<DibSectionCanvas>(width, height);
}

using Point = std::pair<int, int>;
using Points = std::set<Point>;

// Every pixel of the canvas that has exactly this colour.
inline Points PixelsOf(const Canvas& canvas, Rgb colour) {
    Points found;
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            if (canvas.GetRgb(x, y) == colour) found.insert({x, y});
        }
    }
    return found;
}

// Every pixel of the rectangle left..right × top..bottom, both ends included.
inline Points Rectangle(int left, int top, int right, int bottom) {
    Points points;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) points.insert({x, y});
    }
    return points;
}

// A colour that differs for every pixel of a small canvas.
inline Rgb PatternAt(int x, int y) {
    return MakeRgb(10 + x * 7, 20 + y * 11, (x * 13 + y * 5) & 0xFF);
}

inline void Paint(Canvas& canvas) {
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x) canvas.SetRgb(x, y, PatternAt(x, y));
    }
}

inline void FillAll(Canvas& canvas, Rgb colour) {
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x) canvas.SetRgb(x, y, colour);
    }
}

// Every pixel of the canvas against expected(x, y); stops at the first miss.
template <typename Expected>
void ExpectEach(const Canvas& canvas, Expected expected) {
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x)
            ASSERT_EQ(canvas.GetRgb(x, y), expected(x, y)) << "at " << x << "," << y;
    }
}

inline void ExpectPattern(const Canvas& canvas, int width, int height) {
    ASSERT_EQ(canvas.GetWidth(), width);
    ASSERT_EQ(canvas.GetHeight(), height);
    ExpectEach(canvas, PatternAt);
}

// A canvas painted with PatternAt and given a transparent colour, so that a
// load or a refused operation that touched anything would show.
inline std::unique_ptr<Canvas> Prepared(Kind kind) {
    auto canvas = Make(kind, 6, 5);
    Paint(*canvas);
    canvas->SetTransparentColor(PatternAt(1, 1));
    return canvas;
}

// Everything a load or a refused operation could change.
inline std::vector<Rgb> StateOf(const Canvas& canvas) {
    std::vector<Rgb> state{Rgb(canvas.GetWidth()), Rgb(canvas.GetHeight()),
                           canvas.GetTransparentColor()};
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) state.push_back(canvas.GetRgb(x, y));
    return state;
}

// The span of a set of pixels.
struct Span {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
};
inline Span SpanOf(const Points& points) {
    Span span;
    for (const Point& p : points) {
        span.left = std::min(span.left, p.first);
        span.right = std::max(span.right, p.first);
        span.top = std::min(span.top, p.second);
        span.bottom = std::max(span.bottom, p.second);
    }
    return span;
}

inline std::string Describe(const Points& points) {
    std::string text;
    for (const Point& p : points)
        text += "(" + std::to_string(p.first) + "," + std::to_string(p.second) + ")";
    return text;
}

}  // namespace canvas_test
