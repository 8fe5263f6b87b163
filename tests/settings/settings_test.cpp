// The INI file: every key saved in its order and read back as written, and
// values a person or another program may have written by hand.
#include "settings/settings.h"

#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

using namespace test_support;

namespace {

// Every section and key in the order they are saved, each with a value other
// than its default.
// clang-format off
const char* const INI_LINES[] = {
    "[tool]", "DrawMode=DRAW_CIRCLE", "PenSize=12", "EraseSize=40", "PenColor=12345678",
    "IsHide=1",
    "[paper]", "DefaultSizeX=640", "DefaultSizeY=480", "DataFolderPath=C:\\メモ\\",
    "OutputFolderPath=C:\\out\\", "IsTopmost=1", "IsHide=1", "IsDelWarning=1", "IsNoSizing=1",
    "BgColor=ffffffc0",
    "[hotkey]", "IsUseHotkey=1", "modifiers 0=3", "virtual 0=78", "modifiers 1=4", "virtual 1=72"};
// clang-format on

// The lines of a file that are not empty.
std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(path));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// Settings loaded over the defaults from an INI file holding `text`.
Settings Load(const TemporaryFolder& folder, const std::string& text) {
    EXPECT_TRUE(WriteFileBytes(folder.File("inkslip.ini"), text));
    Settings settings;
    ResetSettings(settings);
    LoadSettings(settings, folder.File("inkslip.ini").c_str());
    return settings;
}

TEST(Settings, EveryKeyIsSavedInItsOrderAndReadBackAsWritten) {
    TemporaryFolder folder;
    std::string text;
    for (const char* line : INI_LINES) text += std::string(line) + "\r\n";
    const Settings settings = Load(folder, text);
    SaveSettings(settings, folder.File("saved.ini").c_str());
    EXPECT_EQ(std::vector<std::string>(std::begin(INI_LINES), std::end(INI_LINES)),
              Lines(folder.File("saved.ini")));
    // Each value landed in its own field.
    EXPECT_EQ(0x78u, settings.Tool.PenColor.blue);
    EXPECT_EQ(uint32_t(MOD_SHIFT), settings.HotkeyModifiers[1]);
}

TEST(Settings, OddValuesAreReadWithoutHarm) {
    TemporaryFolder folder;
    const std::string text =
        "[tool]\r\nDrawMode=draw_box\r\nEraseSize=\r\n[paper]\r\nIsTopmost=-1\r\n"
        "IsDelWarning=y\r\nDataFolderPath=";
    const Settings settings = Load(folder, text + std::string(1000, 'x'));
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);  // names are case-sensitive
    EXPECT_EQ(5, settings.Tool.EraseSize);        // empty keeps the default
    EXPECT_EQ(0, settings.IsTopmost);             // "-1" is no set flag
    EXPECT_EQ(1, settings.IsDelWarning);
    EXPECT_EQ(255u, std::string(settings.DataFolderPath).size());  // cut, not overrun
}

}  // namespace
