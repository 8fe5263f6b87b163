// The INI file: every key saved in its order and read back as written, and
// the values a person or another program may have written by hand.
#include "settings/settings.h"

#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace test_support;

namespace {

// Every section and key in the order they are saved: as written for the
// defaults, and with a value other than the default.
const struct {
    const char* defaults;
    const char* changed;
} INI_LINES[] = {
    {"[tool]", "[tool]"},
    {"DrawMode=DRAW_PEN", "DrawMode=DRAW_CIRCLE"},
    {"PenSize=1", "PenSize=12"},
    {"EraseSize=5", "EraseSize=40"},
    {"PenColor=ff000000", "PenColor=12345678"},
    {"IsHide=0", "IsHide=1"},
    {"[paper]", "[paper]"},
    {"DefaultSizeX=200", "DefaultSizeX=640"},
    {"DefaultSizeY=200", "DefaultSizeY=480"},
    {"DataFolderPath=", "DataFolderPath=C:\\メモ\\"},
    {"OutputFolderPath=", "OutputFolderPath=C:\\out\\"},
    {"IsTopmost=0", "IsTopmost=1"},
    {"IsHide=0", "IsHide=1"},
    {"IsDelWarning=0", "IsDelWarning=1"},
    {"IsNoSizing=0", "IsNoSizing=1"},
    {"BgColor=ffffffff", "BgColor=ffffffc0"},
    {"[hotkey]", "[hotkey]"},
    {"IsUseHotkey=0", "IsUseHotkey=1"},
    {"modifiers 0=0", "modifiers 0=3"},
    {"virtual 0=0", "virtual 0=78"},
    {"modifiers 1=0", "modifiers 1=4"},
    {"virtual 1=0", "virtual 1=72"},
};

// The lines of a file that are not empty.
std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : ReadFileBytes(path) + "\n") {
        if (c != '\n' && c != '\r') {
            line += c;
        } else if (!line.empty()) {
            lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

TEST(Settings, EveryKeyIsSavedInItsOrderAndReadBackAsWritten) {
    TemporaryFolder folder;
    std::vector<std::string> defaults, changed;
    std::string changedFile;
    for (const auto& line : INI_LINES) {
        defaults.push_back(line.defaults);
        changed.push_back(line.changed);
        changedFile += std::string(line.changed) + "\r\n";
    }
    Settings settings;
    ResetSettings(settings);
    SaveSettings(settings, folder.File("defaults.ini").c_str());
    EXPECT_EQ(defaults, Lines(folder.File("defaults.ini")));

    ASSERT_TRUE(WriteFileBytes(folder.File("changed.ini"), changedFile));
    LoadSettings(settings, folder.File("changed.ini").c_str());
    SaveSettings(settings, folder.File("saved.ini").c_str());
    EXPECT_EQ(changed, Lines(folder.File("saved.ini")));
    // Each value landed in its own field.
    EXPECT_EQ(480, settings.DefaultSizeY);
    EXPECT_EQ(0x12u, settings.Tool.PenColor.alpha);
    EXPECT_EQ(0x78u, settings.Tool.PenColor.blue);
    EXPECT_EQ(uint32_t(MOD_SHIFT), settings.HotkeyModifiers[1]);
}

TEST(Settings, OddValuesAreReadWithoutHarm) {
    TemporaryFolder folder;
    const std::string path = folder.File("inkslip.ini");
    ASSERT_TRUE(WriteFileBytes(path,
                               "[tool]\r\nDrawMode=draw_box\r\nPenSize=70000\r\nEraseSize=\r\n"
                               "[paper]\r\nIsTopmost=-1\r\nIsDelWarning=y\r\n"
                               "DefaultSizeY=garbage\r\nDataFolderPath=" +
                                   std::string(1000, 'x') + "\r\n"));
    Settings settings;
    ResetSettings(settings);
    LoadSettings(settings, path.c_str());
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);  // names are case-sensitive
    EXPECT_EQ(4464, settings.Tool.PenSize);       // 70000 cut to 16 bits
    EXPECT_EQ(5, settings.Tool.EraseSize);        // empty keeps the default
    EXPECT_EQ(0, settings.IsTopmost);
    EXPECT_EQ(1, settings.IsDelWarning);
    EXPECT_EQ(0, settings.DefaultSizeY);
    EXPECT_EQ(255u, std::string(settings.DataFolderPath).size());
}

}  // namespace
