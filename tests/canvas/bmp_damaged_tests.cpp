// Damaged BMP file images: the reader must refuse or read them without ever
// touching a byte past the end of the image (each image is placed right
// before a page that cannot be read, so any over-read faults at once), and a
// canvas loads exactly what it reads or stays as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "canvas/bmp_format.h"
#include "bmp_test_files.h"
#include "canvas_test_helpers.h"
#include "support/test_support.h"

namespace {

using bmp_test::Bytes;
using bmp_test::Damage;
using canvas_test::Kind;
using canvas_test::KindName;

// Committed pages followed by one PAGE_NOACCESS page; images are copied so
// that their last byte is the last readable byte.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t capacity) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page = info.dwPageSize;
        readable = (capacity + page - 1) / page * page;
        base = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, readable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (base && !VirtualProtect(base + readable, page, PAGE_NOACCESS, &old)) {
            VirtualFree(base, 0, MEM_RELEASE);
            base = nullptr;
        }
    }
    ~GuardedBuffer() {
        if (base) VirtualFree(base, 0, MEM_RELEASE);
    }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    bool IsValid() const { return base != nullptr; }
    const uint8_t* End() const { return base + readable; }
    size_t Capacity() const { return readable; }

    // Copies the image to end exactly at the guard page; returns its start.
    const uint8_t* Place(const Bytes& image) {
        uint8_t* start = base + readable - image.size();
        if (!image.empty()) std::memcpy(start, image.data(), image.size());
        return start;
    }

private:
    uint8_t* base = nullptr;
    size_t page = 0;
    size_t readable = 0;
};

}  // namespace

TEST(BmpDamaged, CorpusOfDamagedImagesIsReadOnlyWithinItsBytes) {
    std::mt19937 random(3003);
    GuardedBuffer buffer(64 * 1024);
    ASSERT_TRUE(buffer.IsValid());
    ASSERT_FALSE(IsBadReadPtr(buffer.End() - 1, 1));
    ASSERT_TRUE(IsBadReadPtr(buffer.End(), 1));
    test_support::TemporaryFolder folder;
    const std::string path = folder.File("damaged.bmp");

    std::vector<Bytes> originals;
    for (int32_t width : {1, 3, 4, 6, 17})
        for (int32_t height : {1, 2, 9})
            for (uint32_t header : {40u, 124u})
                originals.push_back(bmp_test::Build(
                    width, height, bmp_test::RandomPixels(random, width * height), header));

    int accepted = 0, refused = 0;
    uint32_t checksum = 0;
    for (int round = 0; round < 4000; ++round) {
        const Bytes& good = originals[random() % originals.size()];
        const Bytes damaged = Damage(good, random);
        ASSERT_LE(damaged.size(), buffer.Capacity());
        const uint8_t* image = buffer.Place(damaged);

        Dib24Image dib;
        const bool readable = ParseBmpFileImage(image, damaged.size(), &dib);
        readable ? ++accepted : ++refused;
        if (readable) {
            // Everything the reader hands out lies inside the image...
            ASSERT_GE(dib.rows, image) << round;
            ASSERT_LE(static_cast<uint64_t>(dib.stride) * static_cast<uint64_t>(dib.height),
                      static_cast<uint64_t>(buffer.End() - dib.rows))
                << round;
            ASSERT_GE(dib.stride, 3 * static_cast<size_t>(dib.width)) << round;
            // ...and reading every pixel of it, as a canvas does, stays there too.
            for (int32_t y = 0; y < dib.height; ++y)
                for (int32_t x = 0; x < dib.width; ++x)
                    checksum += Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y);
        }

        // A third of the corpus goes through a canvas from a file: it loads
        // exactly what the reader sees, or is refused and leaves the canvas
        // as it was. Mostly the quick class; every class gets its share.
        if (round % 3) continue;
        const Kind kind = round % 10 == 0   ? Kind::Ddb
                          : round % 10 == 3 ? Kind::DibSection
                                            : Kind::Dib;
        ASSERT_TRUE(test_support::WriteFileBytes(path, std::string(damaged.begin(), damaged.end())));
        auto canvas = canvas_test::Prepared(kind);
        const auto before = canvas_test::StateOf(*canvas);
        ASSERT_EQ(readable, canvas->LoadBmp(path.c_str())) << round << " " << KindName(kind);
        if (!readable) {
            ASSERT_TRUE(before == canvas_test::StateOf(*canvas)) << round << " " << KindName(kind);
            continue;
        }
        ASSERT_EQ(dib.width, canvas->GetWidth());
        ASSERT_EQ(dib.height, canvas->GetHeight());
        for (int y = 0; y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x)
                ASSERT_EQ(Dib24PixelAt(dib.rows, dib.stride, dib.height, x, y),
                          canvas->GetRgb(x, y))
                    << "round " << round << " at " << x << "," << y;
    }
    // The corpus exercises both outcomes.
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 1000);
    RecordProperty("accepted", accepted);
    RecordProperty("refused", refused);
    RecordProperty("checksum", static_cast<int>(checksum));
}
