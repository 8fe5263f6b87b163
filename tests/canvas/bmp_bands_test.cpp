// Pictures larger than one band of the file reader come back whole and in
// order, on every canvas class, also when a single row is larger than a band.
#include <gtest/gtest.h>

#include "canvas/dib_canvas.h"
#include "canvas/ddb_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "support/test_support.h"

#include <memory>
#include <random>

namespace {

using test_support::TemporaryFolder;

// A picture whose every row differs, so a band put at the wrong height shows.
void FillWithNoise(Canvas& canvas, unsigned seed) {
    std::mt19937 random(seed);
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) canvas.SetRgb(x, y, random() & 0xFFFFFF);
}

bool SamePixels(const Canvas& a, const Canvas& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetRgb(x, y) != b.GetRgb(x, y)) return false;
    return true;
}

TEST(BmpBands, PicturesOfManyBandsLoadWholeOnEveryClass) {
    TemporaryFolder folder;
    const std::string path = folder.File("bands.bmp");
    // 1000 × 800: a row of 3000 bytes, so several bands and a shorter last one.
    DibCanvas source(1, 1);
    ASSERT_TRUE(source.Create(1000, 800, 0));
    FillWithNoise(source, 7);
    ASSERT_TRUE(source.SaveBmp(path.c_str()));

    std::unique_ptr<Canvas> targets[] = {std::make_unique<DdbCanvas>(1, 1),
                                         std::make_unique<DibCanvas>(1, 1),
                                         std::make_unique<DibSectionCanvas>(1, 1)};
    for (auto& target : targets) {
        ASSERT_TRUE(target->LoadBmp(path.c_str()));
        EXPECT_TRUE(SamePixels(source, *target));
    }

    // One row longer than a band: 400,000 pixels of 3 bytes.
    DibCanvas wide(1, 1);
    ASSERT_TRUE(wide.Create(400000, 3, 0));
    FillWithNoise(wide, 8);
    ASSERT_TRUE(wide.SaveBmp(path.c_str()));
    DibCanvas loaded(1, 1);
    ASSERT_TRUE(loaded.LoadBmp(path.c_str()));
    EXPECT_TRUE(SamePixels(wide, loaded));
}

}  // namespace
