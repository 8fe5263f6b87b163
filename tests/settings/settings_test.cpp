#include "settings/ini_values.h"
#include "settings/hotkey_flags.h"
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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

TEST(IniValues, DecimalReadsLikeTheProfileRules) {
    EXPECT_EQ(300, ParseIniDecimal("300"));
    EXPECT_EQ(-12, ParseIniDecimal("  -12px"));
    EXPECT_EQ(0, ParseIniDecimal("abc"));
    EXPECT_EQ(0, ParseIniDecimal(""));
    EXPECT_EQ(7, ParseIniDecimal("+7"));
    // Over-long numbers wrap instead of overflowing.
    EXPECT_EQ(static_cast<int32_t>(4294967297ull & 0xFFFFFFFFu), ParseIniDecimal("4294967297"));
}

TEST(IniValues, HexadecimalAndFlags) {
    EXPECT_EQ(0xff000000u, ParseIniHexadecimal("ff000000"));
    EXPECT_EQ(0xABCDu, ParseIniHexadecimal(" 0xabcdzz"));
    EXPECT_EQ(0u, ParseIniHexadecimal("zz"));
    EXPECT_EQ(0u, ParseIniHexadecimal("0x"));
    EXPECT_EQ(1, ParseIniFlag("1"));
    EXPECT_EQ(1, ParseIniFlag("yes"));
    EXPECT_EQ(0, ParseIniFlag("0"));
    EXPECT_EQ(0, ParseIniFlag("-1"));
    EXPECT_EQ(0, ParseIniFlag(" 1"));
    EXPECT_EQ(0, ParseIniFlag("\x82\xa0"));  // a first byte of 0x80 or more
    EXPECT_EQ("ff", FormatIniHexadecimal(0xff));
    EXPECT_EQ("ffffffff", FormatIniHexadecimal(0xffffffffu));
}

TEST(IniPath, FolderOfTheProgramPath) {
    EXPECT_EQ("C:\\Tools\\Inkslip\\inkslip.ini", IniPathForProgram("C:\\Tools\\Inkslip\\inkslip.exe"));
    EXPECT_EQ("C:inkslip.ini", IniPathForProgram("C:inkslip.exe"));
    EXPECT_EQ("inkslip.ini", IniPathForProgram("inkslip.exe"));
    // "表" ends in the byte 0x5C, which is no separator inside the character.
    EXPECT_EQ("C:\\表\\inkslip.ini", IniPathForProgram("C:\\表\\inkslip.exe"));
    EXPECT_EQ("D:\\ソフト\\", FolderOfPath("D:\\ソフト\\x.exe"));
    EXPECT_EQ("C:\\Program Files\\Inkslip\\inkslip.exe",
              FirstCommandLineArgument("\"C:\\Program Files\\Inkslip\\inkslip.exe\" -x"));
    EXPECT_EQ("inkslip.exe", FirstCommandLineArgument("  inkslip.exe arg"));
}

TEST(Settings, DefaultsWithoutAFile) {
    TemporaryFolder folder;
    Settings settings = Defaults();
    LoadSettings(settings, folder.File("missing.ini").c_str());
    EXPECT_EQ(1, settings.Tool.PenSize);
    EXPECT_EQ(5, settings.Tool.EraseSize);
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);
    EXPECT_EQ(0xff000000u, ColorQuadToValue(settings.Tool.PenColor));
    EXPECT_EQ(0xffffffffu, ColorQuadToValue(settings.BgColor));
    EXPECT_EQ(200, settings.DefaultSizeX);
    EXPECT_EQ(200, settings.DefaultSizeY);
    EXPECT_EQ(20, settings.TabWidth);
    EXPECT_EQ(20, settings.TabHeight);
    EXPECT_EQ(0, settings.ToolIsHide);
    EXPECT_EQ(0, settings.PaperIsHide);
    EXPECT_EQ(0, settings.IsTopmost);
    EXPECT_EQ(0u, settings.HotkeyVirtualKeys[0]);
    EXPECT_STREQ("", settings.DataFolderPath);
}

TEST(Settings, ReadingRulesOnOddValues) {
    TemporaryFolder folder;
    Settings settings = LoadFrom(folder,
                                 "[tool]\r\nDrawMode=draw_box\r\nPenSize=70000\r\nEraseSize=\r\n"
                                 "PenColor=ff\r\nIsHide=yes\r\n"
                                 "[paper]\r\nDefaultSizeX=300\r\nDefaultSizeY=garbage\r\n"
                                 "IsTopmost=-1\r\nIsHide=0\r\nIsDelWarning=y\r\n"
                                 "DataFolderPath=D:\\notes\r\nBgColor=0x80112233\r\n"
                                 "[hotkey]\r\nmodifiers0=3\r\nvirtual 0=78\r\n");
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);  // names are case-sensitive
    EXPECT_EQ(4464, settings.Tool.PenSize);       // 70000 truncated to 16 bits
    EXPECT_EQ(5, settings.Tool.EraseSize);        // empty keeps the default
    EXPECT_EQ(0x000000ffu, ColorQuadToValue(settings.Tool.PenColor));  // a blue pen, alpha 0
    EXPECT_EQ(1, settings.ToolIsHide);
    EXPECT_EQ(300, settings.DefaultSizeX);
    EXPECT_EQ(0, settings.DefaultSizeY);  // no digits read as 0
    EXPECT_EQ(0, settings.IsTopmost);
    EXPECT_EQ(0, settings.PaperIsHide);
    EXPECT_EQ(1, settings.IsDelWarning);
    EXPECT_STREQ("D:\\notes", settings.DataFolderPath);
    EXPECT_EQ(0x80112233u, ColorQuadToValue(settings.BgColor));
    EXPECT_EQ(0u, settings.HotkeyModifiers[0]);  // "modifiers0" is not the key
    EXPECT_EQ(78u, settings.HotkeyVirtualKeys[0]);
}

TEST(Settings, GarbageAndOverLongValuesNeverOverrun) {
    TemporaryFolder folder;
    std::string longFolder(1000, 'x');
    std::string garbage = "[paper]\r\nDataFolderPath=" + longFolder + "\r\nOutputFolderPath=" +
                          longFolder + "\r\n[tool]\r\nDrawMode=" + std::string(600, 'D') +
                          "\r\nPenColor=\x01\x02\xff\r\n[hotkey\r\n=\r\n\x00\x00junk";
    Settings settings = LoadFrom(folder, garbage);
    EXPECT_EQ(255u, std::string(settings.DataFolderPath).size());  // cut at 255 characters
    EXPECT_EQ(255u, std::string(settings.OutputFolderPath).size());
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);
    EXPECT_EQ(0u, ColorQuadToValue(settings.Tool.PenColor));
    EXPECT_EQ(200, settings.DefaultSizeX);
}

TEST(Settings, SaveWritesEveryKeyInOrderAndRoundTrips) {
    TemporaryFolder folder;
    std::string path = folder.File("inkslip.ini");
    Settings defaults = Defaults();
    SaveSettings(defaults, path.c_str());
    std::vector<std::string> lines = Lines(ReadFileBytes(path));
    std::vector<std::string> expected = {
        "[tool]",           "DrawMode=DRAW_PEN",   "PenSize=1",         "EraseSize=5",
        "PenColor=ff000000", "IsHide=0",           "[paper]",           "DefaultSizeX=200",
        "DefaultSizeY=200", "DataFolderPath=",     "OutputFolderPath=", "IsTopmost=0",
        "IsHide=0",         "IsDelWarning=0",      "IsNoSizing=0",      "BgColor=ffffffff",
        "[hotkey]",         "IsUseHotkey=0",       "modifiers 0=0",     "virtual 0=0",
        "modifiers 1=0",    "virtual 1=0"};
    std::vector<std::string> nonEmpty;
    for (const std::string& line : lines)
        if (!line.empty()) nonEmpty.push_back(line);
    EXPECT_EQ(expected, nonEmpty);

    Settings changed = Defaults();
    changed.Tool.DrawMode = DRAW_CIRCLE;
    changed.Tool.PenSize = 12;
    changed.Tool.EraseSize = 40;
    changed.Tool.PenColor = ColorQuad{0x12, 0x34, 0x56, 0x78};
    changed.ToolIsHide = 1;
    changed.DefaultSizeX = 640;
    changed.DefaultSizeY = 480;
    strcpy(changed.DataFolderPath, "C:\\メモ\\");
    strcpy(changed.OutputFolderPath, "C:\\out\\");
    changed.IsTopmost = 1;
    changed.PaperIsHide = 1;
    changed.IsDelWarning = 1;
    changed.IsNoSizing = 1;
    changed.BgColor = ColorQuad{0xFF, 0xFF, 0xFF, 0xC0};
    changed.IsUseHotkey = 1;
    changed.HotkeyModifiers[0] = MOD_CONTROL | MOD_ALT;
    changed.HotkeyVirtualKeys[0] = 'N';
    changed.HotkeyModifiers[1] = MOD_SHIFT;
    changed.HotkeyVirtualKeys[1] = 'H';
    SaveSettings(changed, path.c_str());
    Settings loaded = Defaults();
    LoadSettings(loaded, path.c_str());
    EXPECT_EQ(DRAW_CIRCLE, loaded.Tool.DrawMode);
    EXPECT_EQ(12, loaded.Tool.PenSize);
    EXPECT_EQ(40, loaded.Tool.EraseSize);
    EXPECT_EQ(0x12345678u, ColorQuadToValue(loaded.Tool.PenColor));
    EXPECT_EQ(1, loaded.ToolIsHide);
    EXPECT_EQ(640, loaded.DefaultSizeX);
    EXPECT_EQ(480, loaded.DefaultSizeY);
    EXPECT_STREQ("C:\\メモ\\", loaded.DataFolderPath);
    EXPECT_STREQ("C:\\out\\", loaded.OutputFolderPath);
    EXPECT_EQ(1, loaded.IsTopmost);
    EXPECT_EQ(1, loaded.PaperIsHide);
    EXPECT_EQ(1, loaded.IsDelWarning);
    EXPECT_EQ(1, loaded.IsNoSizing);
    EXPECT_EQ(0xffffffc0u, ColorQuadToValue(loaded.BgColor));
    EXPECT_EQ(1, loaded.IsUseHotkey);
    EXPECT_EQ(static_cast<uint32_t>(MOD_CONTROL | MOD_ALT), loaded.HotkeyModifiers[0]);
    EXPECT_EQ(static_cast<uint32_t>('N'), loaded.HotkeyVirtualKeys[0]);
    EXPECT_EQ(static_cast<uint32_t>(MOD_SHIFT), loaded.HotkeyModifiers[1]);
    EXPECT_EQ(static_cast<uint32_t>('H'), loaded.HotkeyVirtualKeys[1]);
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

TEST(Settings, AnUnwritableFolderLeavesNothingAndShowsNothing) {
    TemporaryFolder folder;
    std::string path = folder.File("missing\\deeper\\inkslip.ini");
    Settings settings = Defaults();
    SaveSettings(settings, path.c_str());
    EXPECT_FALSE(test_support::FileExists(path));
    Settings loaded = Defaults();
    loaded.DefaultSizeX = 77;
    LoadSettings(loaded, path.c_str());
    EXPECT_EQ(77, loaded.DefaultSizeX);
}

TEST(HotkeyFlags, ConversionBothWays) {
    EXPECT_EQ(static_cast<UINT>(HOTKEYF_ALT | HOTKEYF_CONTROL),
              ModifiersToHotkeyFlags(MOD_ALT | MOD_CONTROL));
    EXPECT_EQ(static_cast<UINT>(HOTKEYF_SHIFT), ModifiersToHotkeyFlags(MOD_SHIFT | MOD_WIN));
    EXPECT_EQ(static_cast<UINT>(MOD_ALT | MOD_SHIFT),
              HotkeyFlagsToModifiers(HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_EXT));
    for (UINT modifiers = 0; modifiers < 8; ++modifiers)
        EXPECT_EQ(modifiers, HotkeyFlagsToModifiers(ModifiersToHotkeyFlags(modifiers)));
}
