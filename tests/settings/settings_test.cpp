#include "settings/hotkey_flags.h"
#include "settings/ini_values.h"
#include "settings/settings.h"

#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using test_support::ReadFileBytes;
using test_support::TemporaryFolder;
using test_support::WriteFileBytes;

namespace {

Settings Defaults() {
    Settings settings;
    ResetSettings(settings);
    return settings;
}

// Loads the defaults and then an INI file holding exactly `text`.
Settings LoadFrom(const TemporaryFolder& folder, const std::string& text) {
    std::string path = folder.File("inkslip.ini");
    EXPECT_TRUE(WriteFileBytes(path, text));
    Settings settings = Defaults();
    LoadSettings(settings, path.c_str());
    return settings;
}

// The lines of a saved file that are not empty.
std::vector<std::string> SavedLines(const Settings& settings, const std::string& path) {
    SaveSettings(settings, path.c_str());
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

}  // namespace

TEST(IniValues, ReadingRules) {
    EXPECT_EQ(-12, ParseIniDecimal("  -12px"));
    EXPECT_EQ(7, ParseIniDecimal("+7"));
    // Over-long numbers wrap instead of overflowing.
    EXPECT_EQ(1, ParseIniDecimal("4294967297"));
    EXPECT_EQ(0xABCDu, ParseIniHexadecimal(" 0xabcdzz"));
    EXPECT_EQ(0u, ParseIniHexadecimal("0x"));
    EXPECT_EQ(0, ParseIniFlag(" 1"));
    EXPECT_EQ(0, ParseIniFlag("\x82\xa0"));  // a first byte of 0x80 or more
    EXPECT_EQ("ffffffff", FormatIniHexadecimal(0xffffffffu));
}

TEST(IniPath, FolderOfTheProgramPath) {
    EXPECT_EQ("C:\\Tools\\Inkslip\\inkslip.ini",
              IniPathForProgram("C:\\Tools\\Inkslip\\inkslip.exe"));
    EXPECT_EQ("C:inkslip.ini", IniPathForProgram("C:inkslip.exe"));
    EXPECT_EQ("inkslip.ini", IniPathForProgram("inkslip.exe"));
    // "表" ends in the byte 0x5C, which is no separator inside the character.
    EXPECT_EQ("C:\\表\\inkslip.ini", IniPathForProgram("C:\\表\\inkslip.exe"));
    EXPECT_EQ("C:\\Program Files\\Inkslip\\inkslip.exe",
              FirstCommandLineArgument("\"C:\\Program Files\\Inkslip\\inkslip.exe\" -x"));
    EXPECT_EQ("inkslip.exe", FirstCommandLineArgument("  inkslip.exe arg"));
}

TEST(Settings, ReadingRulesOnOddValues) {
    TemporaryFolder folder;
    Settings settings = LoadFrom(folder,
                                 "[tool]\r\nDrawMode=draw_box\r\nPenSize=70000\r\nEraseSize=\r\n"
                                 "PenColor=ff\r\nIsHide=yes\r\n"
                                 "[paper]\r\nDefaultSizeY=garbage\r\n"
                                 "IsTopmost=-1\r\nIsDelWarning=y\r\n"
                                 "DataFolderPath=D:\\notes\r\nBgColor=0x80112233\r\n"
                                 "[hotkey]\r\nmodifiers0=3\r\n");
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);                       // names are case-sensitive
    EXPECT_EQ(4464, settings.Tool.PenSize);                            // 70000 truncated to 16 bits
    EXPECT_EQ(5, settings.Tool.EraseSize);                             // empty keeps the default
    EXPECT_EQ(0x000000ffu, ColorQuadToValue(settings.Tool.PenColor));  // a blue pen, alpha 0
    EXPECT_EQ(1, settings.ToolIsHide);
    EXPECT_EQ(0, settings.DefaultSizeY);  // no digits read as 0
    EXPECT_EQ(0, settings.IsTopmost);
    EXPECT_EQ(1, settings.IsDelWarning);
    EXPECT_STREQ("D:\\notes", settings.DataFolderPath);
    EXPECT_EQ(0x80112233u, ColorQuadToValue(settings.BgColor));
    EXPECT_EQ(0u, settings.HotkeyModifiers[0]);  // "modifiers0" is not the key
}

TEST(Settings, GarbageAndOverLongValuesNeverOverrun) {
    TemporaryFolder folder;
    std::string longFolder(1000, 'x');
    std::string garbage = "[paper]\r\nDataFolderPath=" + longFolder +
                          "\r\nOutputFolderPath=" + longFolder +
                          "\r\n[tool]\r\nDrawMode=" + std::string(600, 'D') +
                          "\r\nPenColor=\x01\x02\xff\r\n[hotkey\r\n=\r\n\x00\x00junk";
    Settings settings = LoadFrom(folder, garbage);
    EXPECT_EQ(255u, std::string(settings.DataFolderPath).size());  // cut at 255 characters
    EXPECT_EQ(255u, std::string(settings.OutputFolderPath).size());
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);
    EXPECT_EQ(0u, ColorQuadToValue(settings.Tool.PenColor));
    EXPECT_EQ(200, settings.DefaultSizeX);
}

TEST(Settings, SaveWritesEveryKeyInOrderAndEveryKeyRoundTrips) {
    TemporaryFolder folder;
    std::vector<std::string> defaults, changed;
    std::string changedFile;
    for (const auto& line : INI_LINES) {
        defaults.push_back(line.defaults);
        changed.push_back(line.changed);
        changedFile += std::string(line.changed) + "\r\n";
    }
    EXPECT_EQ(defaults, SavedLines(Defaults(), folder.File("defaults.ini")));

    Settings loaded = LoadFrom(folder, changedFile);
    EXPECT_EQ(changed, SavedLines(loaded, folder.File("saved.ini")));
    // Each value landed in its own field.
    EXPECT_EQ(640, loaded.DefaultSizeX);
    EXPECT_EQ(480, loaded.DefaultSizeY);
    EXPECT_STREQ("C:\\out\\", loaded.OutputFolderPath);
    EXPECT_EQ(uint32_t(MOD_SHIFT), loaded.HotkeyModifiers[1]);
    EXPECT_EQ(uint32_t('N'), loaded.HotkeyVirtualKeys[0]);
}

TEST(Settings, SaveKeepsOtherKeysAndOutOfRangeModesAreWrittenAsPen) {
    TemporaryFolder folder;
    std::string path = folder.File("inkslip.ini");
    ASSERT_TRUE(WriteFileBytes(path, "[mine]\r\nkeep=me\r\n"));
    Settings settings = Defaults();
    settings.Tool.DrawMode = static_cast<DrawMode>(9);
    SaveSettings(settings, path.c_str());
    char value[64];
    GetPrivateProfileStringA("mine", "keep", "", value, sizeof value, path.c_str());
    EXPECT_STREQ("me", value);
    GetPrivateProfileStringA("tool", "DrawMode", "", value, sizeof value, path.c_str());
    EXPECT_STREQ("DRAW_PEN", value);
}

TEST(Settings, AnUnwritableFolderLeavesNothingAndAMissingFileKeepsTheValues) {
    TemporaryFolder folder;
    std::string path = folder.File("missing\\deeper\\inkslip.ini");
    SaveSettings(Defaults(), path.c_str());
    EXPECT_FALSE(test_support::FileExists(path));
    Settings loaded = Defaults();
    loaded.DefaultSizeX = 77;
    LoadSettings(loaded, path.c_str());
    EXPECT_EQ(77, loaded.DefaultSizeX);
}

TEST(HotkeyFlags, ConversionBothWays) {
    for (UINT modifiers = 0; modifiers < 8; ++modifiers)
        EXPECT_EQ(modifiers, HotkeyFlagsToModifiers(ModifiersToHotkeyFlags(modifiers)));
    EXPECT_EQ(UINT(HOTKEYF_SHIFT), ModifiersToHotkeyFlags(MOD_SHIFT | MOD_WIN));
    EXPECT_EQ(UINT(MOD_ALT), HotkeyFlagsToModifiers(HOTKEYF_ALT | HOTKEYF_EXT));
}
