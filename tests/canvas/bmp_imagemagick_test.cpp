// BMP files that no one here wrote: ImageMagick makes them from raw samples
// and every canvas class loads them; ImageMagick reads the files every class
// saves back into raw samples. Wine maps the Unix root to drive Z: and starts
// Unix programs itself (without a process handle), so the test writes a
// shell script into a folder under /tmp, starts it and waits for the file
// that says it finished.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "canvas_test_helpers.h"
#include "support/test_support.h"

using namespace canvas_test;
using test_support::FileExists;

namespace {

// The 8-bit samples of a canvas (red, green, blue, rows from the top), as
// ImageMagick's "rgb:" format holds them.
std::string RawRgbOf(const Canvas& canvas) {
    std::string raw;
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            const Rgb colour = canvas.GetRgb(x, y);
            raw += {char(RgbRed(colour)), char(RgbGreen(colour)), char(RgbBlue(colour))};
        }
    }
    return raw;
}

}  // namespace

TEST(ImageMagickBmp, ItsFilesLoadWithItsPixelsAndOurFilesReadWithOurs) {
    ASSERT_TRUE(FileExists("Z:\\usr\\bin\\convert")) << "ImageMagick is not installed";
    const std::string name = "inkslip-bmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount());
    const std::string folder = "Z:\\tmp\\" + name + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    // Random samples in two sizes, rows padded by one byte and by three: its
    // 24-bit file with the 40-byte header and its default one with a larger
    // header, and a file of every class holding the same pixels.
    const std::string sizes[] = {"5x3", "31x17"};
    std::mt19937 random(31337);
    std::string script = "set -e\ncd /tmp/" + name + "\n";
    for (const std::string& size : sizes) {
        const int width = std::stoi(size), height = std::stoi(size.substr(size.find('x') + 1));
        std::string raw(static_cast<size_t>(width) * height * 3, '\0');
        for (char& sample : raw) sample = static_cast<char>(random());
        ASSERT_TRUE(test_support::WriteFileBytes(folder + size + ".rgb", raw));
        for (const char* format : {"BMP3", "BMP"}) {
            script += "convert -size " + size + " -depth 8 rgb:" + size + ".rgb -type TrueColor " +
                      format + ":" + size + "-" + format + ".bmp\n";
        }
        for (Kind kind : ALL_KINDS) {
            auto canvas = Make(kind, width, height);
            Paint(*canvas, [&](int x, int y) {
                const char* sample = &raw[(static_cast<size_t>(y) * width + x) * 3];
                return MakeRgb(sample[0], sample[1], sample[2]);
            });
            const std::string ours = size + "-" + KindName(kind);
            ASSERT_TRUE(canvas->SaveBmp((folder + ours + ".bmp").c_str()));
            script += "convert " + ours + ".bmp -depth 8 rgb:" + ours + ".rgb\n";
        }
    }
    ASSERT_TRUE(test_support::WriteFileBytes(folder + "job.sh", script + "touch done\n"));
    std::string command = "Z:\\bin\\sh /tmp/" + name + "/job.sh";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int waited = 0; waited < 60000 && !FileExists(folder + "done"); waited += 20) Sleep(20);
    ASSERT_TRUE(FileExists(folder + "done")) << "ImageMagick did not finish";

    EXPECT_EQ(40, test_support::ReadFileBytes(folder + "5x3-BMP3.bmp")[14]);
    EXPECT_EQ(124, test_support::ReadFileBytes(folder + "5x3-BMP.bmp")[14]);
    for (const std::string& size : sizes) {
        const std::string raw = test_support::ReadFileBytes(folder + size + ".rgb");
        for (Kind kind : ALL_KINDS) {
            const std::string ours = size + "-" + KindName(kind) + ".rgb";
            EXPECT_EQ(raw, test_support::ReadFileBytes(folder + ours)) << ours;
            for (const std::string& theirs : {size + "-BMP3.bmp", size + "-BMP.bmp"}) {
                auto canvas = Make(kind, 1, 1);
                EXPECT_TRUE(canvas->LoadBmp((folder + theirs).c_str()));
                EXPECT_EQ(raw, RawRgbOf(*canvas)) << theirs << " into " << KindName(kind);
            }
        }
    }
    for (const std::string& file : test_support::FilesIn(folder))
        DeleteFileA((folder + file).c_str());
    RemoveDirectoryA(folder.c_str());
}
