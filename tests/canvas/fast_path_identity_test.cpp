// Every block path of the canvases against its per-pixel reference: the same
// operation on two copies of the same random content, once on the reference
// of each class (ReferenceCanvas) and once on the class itself, must give the
// same result and leave the same stored words in every canvas and device
// context it touches, for every pair of canvas classes, every clipping case
// and every kind of transparent colour.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas/drawing.h"
#include "canvas_test_helpers.h"
#include "reference_canvas.h"
#include "support/test_support.h"

namespace {

using canvas_test::AllKinds;
using canvas_test::Kind;
using canvas_test::KindName;
using canvas_test::Make;

// A canvas of that class, or of its reference.
std::unique_ptr<Canvas> MakeEither(Kind kind, int width, int height, bool reference) {
    if (!reference) return Make(kind, width, height);
    if (kind == Kind::Ddb) return std::make_unique<ReferenceCanvas<DdbCanvas>>(width, height);
    if (kind == Kind::Dib) return std::make_unique<ReferenceCanvas<DibCanvas>>(width, height);
    return std::make_unique<ReferenceCanvas<DibSectionCanvas>>(width, height);
}

uint32_t Next(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

constexpr Rgb PALETTE[] = {0x000000, 0xFFFFFF, 0x123456, 0xFF0000, 0x00FF00, 0x0000FF, 0x808080};

// Transparent colours: none, two that occur often, one that never occurs and
// one with a fourth byte, which no colour equals.
const std::vector<Rgb>& TransparentCases() {
    static const std::vector<Rgb> cases{NO_TRANSPARENT_COLOR, 0xFFFFFF, 0x123456, 0xABCDEF,
                                        0xFF123456};
    return cases;
}

// Random content from a small palette (so that transparent colours meet many
// pixels) with some free colours; the pixel-buffer classes also get random
// fourth bytes, which transfers must carry or drop exactly as the reference.
void FillRandom(Canvas& canvas, uint32_t seed) {
    uint32_t state = seed * 2654435761u + 1;
    const bool buffer = dynamic_cast<const PixelBuffer*>(&canvas) != nullptr;
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            uint32_t r = Next(state);
            Rgb colour = r % 4 == 0 ? (Next(state) & 0xFFFFFF) : PALETTE[(r >> 4) % 7];
            if (buffer && (r >> 8) % 3 == 0) {
                canvas.SetRawPixel(x, y, colour | ((Next(state) & 0xFF) << 24));
            } else {
                canvas.SetRgb(x, y, colour);
            }
        }
    }
}

// The stored words of a device context's bitmap, fourth bytes included.
std::vector<uint32_t> StoredWords(HDC dc, int width, int height) {
    std::vector<uint32_t> words(static_cast<size_t>(width) * height);
    BITMAPINFO info;
    drawing::DescribeTopDown32(&info, width, height);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, section);
    // A clipping region on the source does not limit what BitBlt reads.
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::memcpy(words.data(), bits, words.size() * sizeof(uint32_t));
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    return words;
}

// What a canvas holds: size, transparent colour, every pixel as GetRawPixel
// reads it and, for a canvas with a device context, the stored words.
using Snapshot = std::vector<uint32_t>;

Snapshot Take(const Canvas* canvas) {
    if (canvas == nullptr) return {};
    const int width = canvas->GetWidth(), height = canvas->GetHeight();
    Snapshot snapshot{uint32_t(width), uint32_t(height), canvas->GetTransparentColor()};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) snapshot.push_back(canvas->GetRawPixel(x, y));
    const auto* surface = dynamic_cast<const GdiSurface*>(canvas);
    if (surface && surface->GetDeviceContext()) {
        const auto stored = StoredWords(surface->GetDeviceContext(), width, height);
        snapshot.insert(snapshot.end(), stored.begin(), stored.end());
    }
    return snapshot;
}

// What an operation did: its result and everything it may have changed.
struct Outcome {
    int result = 0;
    std::vector<Snapshot> touched;
};

// Runs `run` once on reference canvases and once on the classes themselves,
// each time on freshly made content.
void ExpectSameBothWays(const std::function<Outcome(bool reference)>& run,
                        const std::string& label) {
    Outcome reference = run(true);
    Outcome fast = run(false);
    EXPECT_EQ(reference.result, fast.result) << label;
    EXPECT_TRUE(reference.touched == fast.touched) << label << ": pixels differ";
}

std::unique_ptr<Canvas> MakeRandom(Kind kind, int width, int height, uint32_t seed, Rgb transparent,
                                   bool reference) {
    std::unique_ptr<Canvas> canvas = MakeEither(kind, width, height, reference);
    FillRandom(*canvas, seed);
    canvas->SetTransparentColor(transparent);
    return canvas;
}

std::string Label(const char* operation, Kind source, Kind target, Rgb transparent, int x, int y) {
    char text[160];
    std::snprintf(text, sizeof text, "%s %s -> %s key %08lX at (%d, %d)", operation,
                  KindName(source), KindName(target), static_cast<unsigned long>(transparent), x,
                  y);
    return text;
}

constexpr int SOURCE_WIDTH = 23;
constexpr int SOURCE_HEIGHT = 17;
constexpr int TARGET_WIDTH = 31;
constexpr int TARGET_HEIGHT = 29;

// Inside, touching each edge, cut on each side, one pixel in, and off the
// target entirely (refused).
const std::vector<std::pair<int, int>>& Positions() {
    static const std::vector<std::pair<int, int>> positions{
        {0, 0},
        {4, 7},
        {-5, -3},
        {TARGET_WIDTH - 6, TARGET_HEIGHT - 4},
        {-SOURCE_WIDTH + 1, 2},
        {3, -SOURCE_HEIGHT + 1},
        {TARGET_WIDTH - 1, TARGET_HEIGHT - 1},
        {-SOURCE_WIDTH, 0},
        {0, -SOURCE_HEIGHT},
        {TARGET_WIDTH, 0},
        {0, TARGET_HEIGHT},
        {-2000000000, 5},
        {5, 2000000000},
    };
    return positions;
}

// `operation` on a fresh random canvas, compared both ways.
void ExpectSameOn(Kind kind, int width, int height, uint32_t seed, Rgb transparent,
                  const std::function<int(Canvas&)>& operation, const std::string& label) {
    ExpectSameBothWays(
        [&](bool reference) {
            auto canvas = MakeRandom(kind, width, height, seed, transparent, reference);
            return Outcome{operation(*canvas), {Take(canvas.get())}};
        },
        label);
}

// `operation` from a fresh random source onto a fresh random target,
// compared both ways.
void ExpectSameBetween(Kind sourceKind, Kind targetKind, uint32_t seed, Rgb transparent,
                       const std::function<int(Canvas&, Canvas&)>& operation,
                       const std::string& label, Rgb targetTransparent = NO_TRANSPARENT_COLOR) {
    ExpectSameBothWays(
        [&](bool reference) {
            auto source =
                MakeRandom(sourceKind, SOURCE_WIDTH, SOURCE_HEIGHT, seed, transparent, reference);
            auto target = MakeRandom(targetKind, TARGET_WIDTH, TARGET_HEIGHT, seed + 1000,
                                     targetTransparent, reference);
            return Outcome{operation(*source, *target), {Take(source.get()), Take(target.get())}};
        },
        label);
}

TEST(FastPathIdentity, TransfersBetweenEveryPairOfClassesMatchTheReference) {
    uint32_t seed = 1;
    for (Kind sourceKind : AllKinds()) {
        for (Kind targetKind : AllKinds()) {
            for (Rgb transparent : TransparentCases()) {
                auto expectSame = [&](const char* name, int x, int y, auto operation) {
                    return ExpectSameBetween(
                        sourceKind, targetKind, seed, transparent, operation,
                        Label(name, sourceKind, targetKind, transparent, x, y));
                };
                for (size_t i = 0; i < Positions().size(); ++i) {
                    const int x = Positions()[i].first, y = Positions()[i].second;
                    ++seed;
                    expectSame("DrawTo(Canvas*)", x, y,
                               [&](Canvas& s, Canvas& t) { return s.DrawTo(&t, x, y); });
                    for (auto [width, height] : {std::pair{5, 4}, {100, 100}, {0, 3}}) {
                        expectSame("DrawRectTo", x, y, [&](Canvas& s, Canvas& t) {
                            return s.DrawRectTo(&t, x, y, width, height);
                        });
                    }
                    expectSame("DrawTo(face)", x, y, [&](Canvas& s, Canvas& t) {
                        if (auto* buffer = dynamic_cast<PixelBuffer*>(&t))
                            return int(s.DrawTo(buffer, x, y));
                        if (auto* surface = dynamic_cast<GdiSurface*>(&t))
                            return int(s.DrawTo(surface, x, y));
                        return -1;
                    });
                    if (i == 2 || i == 3) {
                        expectSame("TileTo", x, y, [&](Canvas& s, Canvas& t) {
                            return s.TileTo(&t, x, y, 40, 33);
                        });
                    }
                }
                ExpectSameBetween(
                    sourceKind, targetKind, seed, transparent,
                    [](Canvas& s, Canvas& t) { return int(t.CopyFrom(&s)); },
                    Label("CopyFrom", sourceKind, targetKind, transparent, 0, 0), 0x00FF00);
            }
        }
    }
}

TEST(FastPathIdentity, CopiesOfACanvasOntoItselfMatchTheReference) {
    for (Kind kind : AllKinds()) {
        for (Rgb transparent : TransparentCases()) {
            for (auto [x, y] : {std::pair{0, 0}, {3, 2}, {-3, -2}, {4, -5}, {-6, 1}}) {
                ExpectSameOn(
                    kind, SOURCE_WIDTH, SOURCE_HEIGHT, 99, transparent,
                    [x = x, y = y](Canvas& canvas) {
                        auto* surface = dynamic_cast<GdiSurface*>(&canvas);
                        return canvas.DrawTo(&canvas, x, y) +
                               2 * canvas.DrawRectTo(&canvas, y, x, 9, 7) +
                               4 * canvas.CopyFrom(&canvas) +
                               8 * (surface && canvas.DrawToDC(surface->GetDeviceContext(), x, y));
                    },
                    Label("self", kind, kind, transparent, x, y));
            }
        }
    }
}

TEST(FastPathIdentity, CopyRectMatchesTheReferenceInsideAndBeyondTheEdges) {
    struct Request {
        int x, y, width, height;
    };
    const Request requests[] = {
        {0, 0, SOURCE_WIDTH, SOURCE_HEIGHT},
        {2, 3, 5, 4},
        {2, 3, SOURCE_WIDTH + 5, SOURCE_HEIGHT + 5},
        {SOURCE_WIDTH - 1, SOURCE_HEIGHT - 1, 3, 3},
        {SOURCE_WIDTH + 3, 0, 4, 4},
        {0, SOURCE_HEIGHT, 4, 4},
        {-1, 0, 5, 5},
        {0, -1, 5, 5},
        {0, 0, 0, 5},
        {2000000000, 0, 2, 2},
    };
    for (Kind kind : AllKinds()) {
        for (Rgb transparent : {NO_TRANSPARENT_COLOR, static_cast<Rgb>(0xFFFFFF)}) {
            for (const Request& request : requests) {
                ExpectSameBothWays(
                    [&](bool reference) {
                        auto canvas = MakeRandom(kind, SOURCE_WIDTH, SOURCE_HEIGHT, 5, transparent,
                                                 reference);
                        std::unique_ptr<Canvas> copy(
                            canvas->CopyRect(request.x, request.y, request.width, request.height));
                        return Outcome{copy != nullptr, {Take(canvas.get()), Take(copy.get())}};
                    },
                    Label("CopyRect", kind, Kind::Dib, transparent, request.x, request.y));
            }
        }
    }
}

// Bottom-up 24-bit rows of width × height with random bytes, padding included.
std::vector<uint8_t> RandomRows(int width, int height, uint32_t seed) {
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> rows(stride * height);
    uint32_t state = seed;
    for (uint8_t& byte : rows) byte = static_cast<uint8_t>(Next(state));
    return rows;
}

TEST(FastPathIdentity, PutDib24BmpFilesAndFillsMatchTheReference) {
    test_support::TemporaryFolder folder;
    const std::pair<int, int> places[] = {{0, 0},
                                          {-2, 0},
                                          {0, -3},
                                          {5, 6},
                                          {-7, -5},
                                          {TARGET_WIDTH - 2, TARGET_HEIGHT - 1},
                                          {TARGET_WIDTH, 0},
                                          {0, TARGET_HEIGHT},
                                          {-9, 0},
                                          {3, -2000000000}};
    struct Box {
        int left, top, right, bottom;
    };
    const Box boxes[] = {
        {1, 1, 4, 3},
        {4, 3, 1, 1},
        {1, 3, 4, 1},
        {4, 1, 1, 3},
        {1, 1, 1, 5},
        {1, 1, 6, 1},
        {2, 2, 2, 2},
        {-5, -5, 8, 9},
        {20, 20, 40, 40},
        {-3, 4, -1, 9},
        {0, 0, TARGET_WIDTH, TARGET_HEIGHT},
        {TARGET_WIDTH + 2, 3, 5, 7},
        {3, 40, 7, -10},
        {-100000, 2, 100000, 5},
        {5, -100000, 9, 100000},
    };
    for (Kind kind : AllKinds()) {
        for (auto [x, y] : places) {
            for (int width : {9, 10, 11, 12}) {
                auto rows = RandomRows(width, 7, static_cast<uint32_t>(width * 31 + x));
                ExpectSameOn(
                    kind, TARGET_WIDTH, TARGET_HEIGHT, 17, NO_TRANSPARENT_COLOR,
                    [&, x = x, y = y](Canvas& canvas) {
                        return canvas.PutDib24(x, y, width, 7, rows.data());
                    },
                    Label("PutDib24", kind, kind, 0, x, y) + " width " + std::to_string(width));
            }
        }

        for (int width : {1, 3, 4, 5, 23}) {
            ExpectSameBothWays(
                [&](bool reference) {
                    auto canvas = MakeRandom(kind, width, 6, 23, 0xFFFFFF, reference);
                    std::string path = folder.File(std::string(KindName(kind)) + ".bmp");
                    int result = canvas->SaveBmp(path.c_str());
                    const std::string bytes = test_support::ReadFileBytes(path);
                    const Snapshot file(bytes.begin(), bytes.end());
                    auto loaded = MakeEither(kind, 2, 2, reference);
                    result += 2 * loaded->LoadBmp(path.c_str());
                    return Outcome{result, {Take(canvas.get()), file, Take(loaded.get())}};
                },
                Label("SaveBmp/LoadBmp", kind, kind, 0xFFFFFF, width, 6));
        }

        for (const Box& box : boxes) {
            for (Rgb colour : {0x00FF8040u, 0xFF00FF00u, 0u}) {
                ExpectSameOn(
                    kind, TARGET_WIDTH, TARGET_HEIGHT, 3, NO_TRANSPARENT_COLOR,
                    [&](Canvas& canvas) {
                        return canvas.FillBox(box.left, box.top, box.right, box.bottom, colour);
                    },
                    Label("FillBox", kind, kind, colour, box.left, box.top) + " to " +
                        std::to_string(box.right) + "," + std::to_string(box.bottom));
            }
        }
        for (Rgb fill : {0u, 0x00FFFFFFu, 0x00123456u, 0xFF123456u}) {
            ExpectSameOn(
                kind, 5, 5, 3, 0x123456,
                [&](Canvas& canvas) { return canvas.Create(TARGET_WIDTH, TARGET_HEIGHT, fill); },
                Label("Create", kind, kind, fill, TARGET_WIDTH, TARGET_HEIGHT));
        }
    }
}

// A device context to draw onto: a device bitmap or a DIB section, plain, with
// a clipping region, or with a moved origin.
enum class TargetDC { Device, Section, DeviceClipped, SectionClipped, SectionMovedOrigin };

struct DCTarget {
    std::unique_ptr<Canvas> canvas;
    HDC dc = nullptr;
};

DCTarget MakeDCTarget(TargetDC kind, uint32_t seed) {
    DCTarget target;
    bool device = kind == TargetDC::Device || kind == TargetDC::DeviceClipped;
    target.canvas = MakeRandom(device ? Kind::Ddb : Kind::DibSection, TARGET_WIDTH, TARGET_HEIGHT,
                               seed, NO_TRANSPARENT_COLOR, false);
    target.dc = dynamic_cast<GdiSurface*>(target.canvas.get())->GetDeviceContext();
    if (kind == TargetDC::DeviceClipped || kind == TargetDC::SectionClipped) {
        HRGN region = CreateEllipticRgn(2, 3, 27, 25);
        SelectClipRgn(target.dc, region);
        DeleteObject(region);
    }
    if (kind == TargetDC::SectionMovedOrigin) SetViewportOrgEx(target.dc, 3, -2, nullptr);
    return target;
}

void ResetDC(HDC dc) {
    SelectClipRgn(dc, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

TEST(FastPathIdentity, DrawingToDeviceContextsMatchesTheReference) {
    const TargetDC targets[] = {TargetDC::Device, TargetDC::Section, TargetDC::DeviceClipped,
                                TargetDC::SectionClipped, TargetDC::SectionMovedOrigin};
    for (Kind kind : AllKinds()) {
        for (TargetDC targetKind : targets) {
            for (Rgb transparent : TransparentCases()) {
                auto expectSame = [&](int width, int height, const std::string& label,
                                      auto operation) {
                    ExpectSameBothWays(
                        [&](bool reference) {
                            auto source =
                                MakeRandom(kind, width, height, 41, transparent, reference);
                            DCTarget target = MakeDCTarget(targetKind, 43);
                            const int result = operation(*source, target.dc);
                            ResetDC(target.dc);
                            return Outcome{result, {Take(source.get()), Take(target.canvas.get())}};
                        },
                        label + " target " + std::to_string(static_cast<int>(targetKind)));
                };
                for (auto [x, y] : Positions()) {
                    if (x < -1000000 || y > 1000000) continue;
                    const std::string label = Label("DrawToDC", kind, Kind::Ddb, transparent, x, y);
                    expectSame(SOURCE_WIDTH, SOURCE_HEIGHT, label,
                               [x = x, y = y](Canvas& s, HDC dc) { return s.DrawToDC(dc, x, y); });
                    expectSame(SOURCE_WIDTH, SOURCE_HEIGHT, label + " DrawRectToDC",
                               [x = x, y = y](Canvas& s, HDC dc) {
                                   return s.DrawRectToDC(dc, x, y, 7, 50);
                               });
                }
                expectSame(6, 5, Label("TileToDC", kind, Kind::Ddb, transparent, -2, 1),
                           [](Canvas& s, HDC dc) { return s.TileToDC(dc, -2, 1, 27, 22); });
            }
        }
    }
}

TEST(FastPathIdentity, ASourceWhoseDeviceContextIsClippedStillMatches) {
    for (Kind targetKind : AllKinds()) {
        ExpectSameBothWays(
            [&](bool reference) {
                auto source =
                    MakeRandom(Kind::Ddb, SOURCE_WIDTH, SOURCE_HEIGHT, 51, 0xFFFFFF, reference);
                HDC dc = dynamic_cast<GdiSurface*>(source.get())->GetDeviceContext();
                HRGN region = CreateRectRgn(3, 3, 12, 9);
                SelectClipRgn(dc, region);
                DeleteObject(region);
                auto target = MakeRandom(targetKind, TARGET_WIDTH, TARGET_HEIGHT, 53,
                                         NO_TRANSPARENT_COLOR, reference);
                int result = source->DrawTo(target.get(), 2, 2);
                std::unique_ptr<Canvas> cut(source->CopyRect(0, 0, 10, 10));
                result += 2 * (cut != nullptr) + 4 * source->FillBox(0, 0, 20, 20, 0x0000FF);
                SelectClipRgn(dc, nullptr);
                return Outcome{result, {Take(source.get()), Take(target.get()), Take(cut.get())}};
            },
            Label("clipped source", Kind::Ddb, targetKind, 0xFFFFFF, 2, 2));
    }
}

}  // namespace
