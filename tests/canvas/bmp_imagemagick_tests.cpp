// BMP files that no one here wrote: ImageMagick makes them at test time and
// reads ours back. Wine maps the Unix root to drive Z: and starts Unix
// programs itself (without a process handle), so a test writes a shell
// script into a Unix folder, starts it, and waits for the file that says it
// finished.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "canvas_test_helpers.h"
#include "support/test_support.h"

using canvas_test::AllKinds;
using canvas_test::Kind;
using canvas_test::KindName;
using canvas_test::Make;

namespace {

const char* const IMAGEMAGICK = "/usr/bin/convert";

// A picture: its width, its height, then its pixels top-down (0x00RRGGBB).
using Picture = std::vector<Rgb>;

Picture RandomPicture(std::mt19937& random, int width, int height) {
    Picture picture{Rgb(width), Rgb(height)};
    for (int i = 0; i < width * height; ++i) picture.push_back(random() & 0xFFFFFF);
    return picture;
}

Picture Read(const Canvas& canvas) {
    Picture picture{Rgb(canvas.GetWidth()), Rgb(canvas.GetHeight())};
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) picture.push_back(canvas.GetRgb(x, y));
    return picture;
}

// A binary PPM with 8-bit samples: top-down rows of red, green and blue bytes.
std::string ToPpm(const Picture& picture) {
    std::string bytes = "P6\n" + std::to_string(picture[0]) + " " + std::to_string(picture[1]) + "\n255\n";
    for (size_t i = 2; i < picture.size(); ++i) {
        for (int shift : {16, 8, 0}) bytes.push_back(static_cast<char>(picture[i] >> shift));
    }
    return bytes;
}

// Reads a PPM as ImageMagick writes it (no comments); empty when it is
// anything else.
Picture FromPpm(const std::string& bytes) {
    int width = 0, height = 0, header = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d 255%n", &width, &height, &header) != 2 || header == 0 ||
        width < 1 || height < 1)
        return {};
    const size_t at = static_cast<size_t>(header) + 1;  // one whitespace byte before the samples
    const size_t count = static_cast<size_t>(width) * height;
    if (bytes.size() < at || bytes.size() - at != count * 3) return {};
    Picture picture{Rgb(width), Rgb(height)};
    const auto* sample = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    for (size_t i = 0; i < count; ++i, sample += 3) picture.push_back(MakeRgb(sample[0], sample[1], sample[2]));
    return picture;
}

uint32_t Uint32At(const std::string& bytes, size_t at) {
    if (bytes.size() < at + 4) return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// A folder under the Unix /tmp, seen by the test as Z:\tmp\..., removed with
// its files when the object goes away.
class UnixFolder {
public:
    UnixFolder() {
        char name[64];
        static unsigned counter = 0;
        for (;;) {
            std::snprintf(name, sizeof name, "inkslip-bmp-%lu-%lu-%u",
                          static_cast<unsigned long>(GetCurrentProcessId()),
                          static_cast<unsigned long>(GetTickCount()), ++counter);
            if (CreateDirectoryA(("Z:\\tmp\\" + std::string(name)).c_str(), nullptr)) break;
            if (GetLastError() != ERROR_ALREADY_EXISTS) return;
        }
        unixPath = std::string("/tmp/") + name + "/";
        windowsPath = std::string("Z:\\tmp\\") + name + "\\";
    }
    ~UnixFolder() {
        if (windowsPath.empty()) return;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((windowsPath + "*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((windowsPath + data.cFileName).c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(windowsPath.c_str());
    }
    UnixFolder(const UnixFolder&) = delete;
    UnixFolder& operator=(const UnixFolder&) = delete;

    bool IsValid() const { return !windowsPath.empty(); }
    std::string Unix(const std::string& name) const { return unixPath + name; }
    std::string Windows(const std::string& name) const { return windowsPath + name; }

    // Runs the shell commands (each line stops the script on failure) and
    // waits up to a minute for them; true when all succeeded.
    bool Run(const std::string& commands) {
        const std::string id = "1";
        const std::string script = "set -e\n" + commands + "\necho ok > '" +
                                   Unix("done" + id + ".tmp") + "'\nmv '" +
                                   Unix("done" + id + ".tmp") + "' '" + Unix("done" + id) + "'\n";
        if (!test_support::WriteFileBytes(Windows("job" + id + ".sh"), script)) return false;
        std::string command = "Z:\\bin\\sh " + Unix("job" + id + ".sh");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        if (process.hProcess) CloseHandle(process.hProcess);
        if (process.hThread) CloseHandle(process.hThread);
        for (int waited = 0; waited < 60000; waited += 20) {
            if (test_support::FileExists(Windows("done" + id))) return true;
            Sleep(20);
        }
        return false;
    }

private:
    std::string unixPath;
    std::string windowsPath;
};

std::string Quote(const std::string& path) {
    return "'" + path + "'";
}

}  // namespace

TEST(ImageMagickBmp, ItsFilesLoadWithItsPixelsAndOurFilesReadWithOurs) {
    UnixFolder folder;
    ASSERT_TRUE(folder.IsValid()) << "no folder under Z:\\tmp";
    ASSERT_TRUE(test_support::FileExists(std::string("Z:") + IMAGEMAGICK))
        << "ImageMagick is not installed (scripts/setup.sh installs it)";
    std::mt19937 random(31337);
    const int sizes[][2] = {{1, 1}, {3, 2}, {4, 4}, {5, 3}, {31, 17}};
    const std::string convert = std::string(IMAGEMAGICK) + " ";
    auto toPpm = [&](const std::string& bmp) {
        return convert + Quote(folder.Unix(bmp + ".bmp")) + " -depth 8 " +
               Quote("ppm:" + folder.Unix(bmp + ".ppm")) + "\n";
    };
    auto readPpm = [&](const std::string& name) {
        return FromPpm(test_support::ReadFileBytes(folder.Windows(name + ".ppm")));
    };
    std::string commands;
    std::vector<Picture> pictures, written;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        pictures.push_back(RandomPicture(random, sizes[i][0], sizes[i][1]));
        const std::string n = std::to_string(i);
        ASSERT_TRUE(test_support::WriteFileBytes(folder.Windows("in" + n + ".ppm"),
                                                 ToPpm(pictures.back())));
        const std::string in = Quote(folder.Unix("in" + n + ".ppm"));
        // 24-bit with the 40-byte header, and ImageMagick's default BMP with
        // its larger header; then what ImageMagick itself reads from both.
        commands += convert + in + " -type TrueColor " +
                    Quote("BMP3:" + folder.Unix("bmp3-" + n + ".bmp")) + "\n";
        commands += convert + in + " -type TrueColor " + Quote(folder.Unix("default-" + n + ".bmp")) + "\n";
        commands += toPpm("bmp3-" + n) + toPpm("default-" + n);

        // Every class writes a picture of its own for ImageMagick to read.
        for (Kind kind : AllKinds()) {
            const int width = sizes[i][0] + 2, height = sizes[i][1];
            const Picture picture = RandomPicture(random, width, height);
            auto canvas = Make(kind, width, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) canvas->SetRgb(x, y, picture[2 + y * width + x]);
            const std::string ours = "ours" + std::to_string(written.size());
            ASSERT_TRUE(canvas->SaveBmp(folder.Windows(ours + ".bmp").c_str())) << KindName(kind);
            written.push_back(Read(*canvas));
            commands += toPpm(ours);
        }
    }
    ASSERT_TRUE(folder.Run(commands)) << "ImageMagick did not finish";

    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::string n = std::to_string(i);
        // The files are what the test means them to be.
        const std::string bmp3 = test_support::ReadFileBytes(folder.Windows("bmp3-" + n + ".bmp"));
        const std::string larger = test_support::ReadFileBytes(folder.Windows("default-" + n + ".bmp"));
        ASSERT_EQ(54u, Uint32At(bmp3, 10));
        ASSERT_EQ(40u, Uint32At(bmp3, 14));
        ASSERT_EQ(138u, Uint32At(larger, 10));
        ASSERT_EQ(124u, Uint32At(larger, 14));

        for (const char* file : {"bmp3-", "default-"}) {
            const Picture theirs = readPpm(file + n);
            EXPECT_TRUE(theirs == pictures[i]);  // nothing lost on the way in
            for (Kind kind : AllKinds()) {
                SCOPED_TRACE(std::string(file) + n + " into " + KindName(kind));
                auto canvas = Make(kind, 2, 2);
                ASSERT_TRUE(canvas->LoadBmp(folder.Windows(file + n + ".bmp").c_str()));
                EXPECT_TRUE(theirs == Read(*canvas));
                EXPECT_EQ(NO_TRANSPARENT_COLOR, canvas->GetTransparentColor());
            }
        }
    }
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_TRUE(readPpm("ours" + std::to_string(i)) == written[i]) << "file " << i;
    }
}
