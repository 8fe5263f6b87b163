// The INI file, written by the program or by hand; the options dialog on a
// hidden main window for which it registers the hot keys.
#include "settings/settings.h"

#include "resources/resource.h"
#include "settings/hotkey_flags.h"
#include "settings/options_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace test_support;

namespace {

// Every section and key in the order they are saved, none with its default.
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
Settings Load(const std::string& text) {
    TemporaryFolder folder;
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
    const Settings settings = Load(text);
    SaveSettings(settings, folder.File("saved.ini").c_str());
    EXPECT_EQ(std::vector<std::string>(std::begin(INI_LINES), std::end(INI_LINES)),
              Lines(folder.File("saved.ini")));
    // Each value landed in its own field.
    EXPECT_EQ(0x78u, settings.Tool.PenColor.blue);
    EXPECT_EQ(uint32_t(MOD_SHIFT), settings.HotkeyModifiers[1]);
}

TEST(Settings, OddValuesAreReadWithoutHarm) {
    const std::string text =
        "[tool]\r\nDrawMode=draw_box\r\nEraseSize=\r\n[paper]\r\nIsTopmost=-1\r\n"
        "IsDelWarning=y\r\nDataFolderPath=";
    const Settings settings = Load(text + std::string(1000, 'x'));
    EXPECT_EQ(DRAW_PEN, settings.Tool.DrawMode);  // names are case-sensitive
    EXPECT_EQ(5, settings.Tool.EraseSize);        // empty keeps the default
    EXPECT_EQ(0, settings.IsTopmost);             // "-1" is no set flag
    EXPECT_EQ(1, settings.IsDelWarning);
    EXPECT_EQ(255u, std::string(settings.DataFolderPath).size());  // cut, not overrun
}

const char OPTIONS_CAPTION[] = "オプション";
const UINT CTRL_ALT = MOD_CONTROL | MOD_ALT;

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        mainWindow = CreateWindowA("STATIC", "main", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        DestroyWindow(mainWindow);  // gives back its hot keys
        DeleteFileA(GetIniPath().c_str());
    }
    INT_PTR Run() {
        script.Start();
        INT_PTR result = ShowOptionsDialog(mainWindow);
        EXPECT_TRUE(script.Stop()) << "steps done: " << script.StepsDone();
        return result;
    }

    HWND mainWindow = nullptr;
    HWND dialog = nullptr;
    DialogScript script;
};

// Open, the dialog shows the stored hot keys and holds them back; a second
// request opens nothing. A key held elsewhere is reported, the one registered
// before it given back, the dialog kept; Cancel registers the stored ones.
TEST_F(OptionsTest, HotkeysAreShownHeldBackAndRestoredByCancelAfterAFailure) {
    g_settings.IsUseHotkey = 1;
    g_settings.HotkeyModifiers[0] = MOD_ALT | MOD_SHIFT;
    g_settings.HotkeyVirtualKeys[0] = 'N';
    g_settings.HotkeyModifiers[1] = CTRL_ALT;
    g_settings.HotkeyVirtualKeys[1] = 'H';
    ASSERT_TRUE(RegisterHotKey(mainWindow, HK_NEW, MOD_ALT | MOD_SHIFT, 'N'));
    ASSERT_TRUE(RegisterHotKey(mainWindow, HK_HIDE, CTRL_ALT, 'H'));
    ASSERT_TRUE(RegisterHotKey(nullptr, 7, CTRL_ALT, 'K'));  // held by the thread
    HWND box = nullptr;
    script.WaitFor(OPTIONS_CAPTION, dialog)
        .Then([&] {
            EXPECT_EQ(MAKEWORD('N', HOTKEYF_ALT | HOTKEYF_SHIFT),
                      SendDlgItemMessageA(dialog, IDC_OPTIONS_HOTKEY_NEW, HKM_GETHOTKEY, 0, 0));
            EXPECT_TRUE(IsHotkeyFree(MOD_ALT | MOD_SHIFT, 'N'));
            DialogAnswerer second(IDCANCEL);
            EXPECT_EQ(IDCANCEL, ShowOptionsDialog(mainWindow));
            EXPECT_TRUE(second.Seen().empty());
            const WORD taken = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
            SendDlgItemMessageA(dialog, IDC_OPTIONS_HOTKEY_HIDE, HKM_SETHOTKEY, taken, 0);
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", box)
        .Then([&] {
            EXPECT_EQ("HK_HIDEの登録に失敗しました。", DialogText(box));
            PressButton(box, IDOK);
        })
        .Until([] { return FindDialog("Inkslip") == nullptr; })
        .Then([&] {
            EXPECT_EQ(dialog, FindDialog(OPTIONS_CAPTION));
            EXPECT_TRUE(IsHotkeyFree(MOD_ALT | MOD_SHIFT, 'N'));  // given back
            PressButton(dialog, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, Run());
    UnregisterHotKey(nullptr, 7);
    EXPECT_TRUE(UnregisterHotKey(mainWindow, HK_NEW));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, HK_HIDE));
}

// With hot keys in use but no keys, OK registers nothing and succeeds.
// Folders get their separator, also after "表" (whose second byte is 0x5C).
TEST_F(OptionsTest, OkWithoutKeysStoresFoldersWithTheirSeparator) {
    g_settings.IsUseHotkey = 1;
    script.WaitFor(OPTIONS_CAPTION, dialog).Then([&] {
        SetDlgItemTextA(dialog, IDC_OPTIONS_DATA_FOLDER, "C:\\notes");
        SetDlgItemTextA(dialog, IDC_OPTIONS_OUTPUT_FOLDER, "C:\\表");
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_STREQ("C:\\notes\\", g_settings.DataFolderPath);
    EXPECT_STREQ("C:\\表\\", g_settings.OutputFolderPath);
    EXPECT_TRUE(FileExists(GetIniPath()));
}

}  // namespace
