// The options dialog on a hidden main window for which it registers the hot
// keys, as at run time.
#include "settings/options_dialog.h"

#include "resources/resource.h"
#include "settings/hotkey_flags.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <cstring>

using namespace test_support;

namespace {

const char OPTIONS_CAPTION[] = "オプション";
const UINT CTRL_ALT = MOD_CONTROL | MOD_ALT;

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        DeleteFileA(GetIniPath().c_str());
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
    WORD Hotkey(int id) const {
        return static_cast<WORD>(SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0));
    }
    void SetHotkey(int id, BYTE flags, BYTE key) const {
        SendDlgItemMessageA(dialog, id, HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
    }

    HWND mainWindow = nullptr;
    HWND dialog = nullptr;
    DialogScript script;
};

// Open, the dialog shows the stored hot keys and holds them back from the
// main window; a second request opens nothing. A combination held elsewhere
// is reported and keeps the dialog open; Cancel then registers the stored
// pairs again (HK_NEW's new one, stored when it was registered).
TEST_F(OptionsTest, HotkeysAreShownHeldBackAndRestoredByCancelAfterAFailure) {
    g_settings.IsUseHotkey = 1;
    g_settings.HotkeyModifiers[0] = MOD_ALT | MOD_SHIFT;
    g_settings.HotkeyVirtualKeys[0] = 'N';
    g_settings.HotkeyModifiers[1] = CTRL_ALT;
    g_settings.HotkeyVirtualKeys[1] = 'H';
    ASSERT_TRUE(RegisterHotKey(mainWindow, HK_NEW, MOD_ALT | MOD_SHIFT, 'N'));
    ASSERT_TRUE(RegisterHotKey(mainWindow, HK_HIDE, CTRL_ALT, 'H'));
    HWND other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, CTRL_ALT, 'K'));
    HWND box = nullptr;
    script.WaitFor(OPTIONS_CAPTION, dialog)
        .Then([&] {
            EXPECT_EQ(MAKEWORD('N', HOTKEYF_ALT | HOTKEYF_SHIFT), Hotkey(IDC_OPTIONS_HOTKEY_NEW));
            EXPECT_EQ(MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_ALT),
                      Hotkey(IDC_OPTIONS_HOTKEY_HIDE));
            EXPECT_TRUE(IsHotkeyFree(MOD_ALT | MOD_SHIFT, 'N'));
            EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'H'));
            DialogAnswerer second(IDCANCEL);
            EXPECT_EQ(IDCANCEL, ShowOptionsDialog(mainWindow));
            EXPECT_TRUE(second.Seen().empty());
            SetHotkey(IDC_OPTIONS_HOTKEY_NEW, HOTKEYF_CONTROL | HOTKEYF_ALT, 'J');
            SetHotkey(IDC_OPTIONS_HOTKEY_HIDE, HOTKEYF_CONTROL | HOTKEYF_ALT, 'K');
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
            EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'J'));  // given back
            EXPECT_FALSE(FileExists(GetIniPath()));
            PressButton(dialog, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, Run());
    DestroyWindow(other);
    EXPECT_TRUE(UnregisterHotKey(mainWindow, HK_NEW));
    EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'J'));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, HK_HIDE));
    EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'H'));
}

// A default size below 20 is raised, with the focus on it, and nothing is
// stored; folders get their separator, also after "表" (whose second byte is
// 0x5C). Hot keys in use without keys register nothing and do not block OK.
TEST_F(OptionsTest, OkRaisesTooSmallSizesAndStoresTheRest) {
    g_settings.IsUseHotkey = 1;
    script.WaitFor(OPTIONS_CAPTION, dialog)
        .Then([&] {
            SetDlgItemTextA(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y, "19");
            PressButton(dialog, IDOK);
        })
        .Then([&] {
            EXPECT_EQ("20", ItemText(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y));
            EXPECT_EQ(GetDlgItem(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y), GetFocus());
            EXPECT_FALSE(FileExists(GetIniPath()));
            SetDlgItemTextA(dialog, IDC_OPTIONS_DEFAULT_SIZE_X, "321");
            SetDlgItemTextA(dialog, IDC_OPTIONS_DATA_FOLDER, "C:\\notes");
            SetDlgItemTextA(dialog, IDC_OPTIONS_OUTPUT_FOLDER, "C:\\表");
            CheckDlgButton(dialog, IDC_OPTIONS_NO_SIZING, BST_CHECKED);
            PressButton(dialog, IDOK);
        });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ(321, g_settings.DefaultSizeX);
    EXPECT_EQ(20, g_settings.DefaultSizeY);
    EXPECT_STREQ("C:\\notes\\", g_settings.DataFolderPath);
    EXPECT_STREQ("C:\\表\\", g_settings.OutputFolderPath);
    EXPECT_EQ(1, g_settings.IsNoSizing);
    char stored[64] = "";
    GetPrivateProfileStringA("paper", "DataFolderPath", "", stored, sizeof stored,
                             GetIniPath().c_str());
    EXPECT_STREQ("C:\\notes\\", stored);
}

}  // namespace
