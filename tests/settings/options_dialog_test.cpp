// The options dialog on a hidden main window for which it registers the hot
// keys, as at run time.
#include "settings/options_dialog.h"

#include "resources/resource.h"
#include "settings/hotkey_flags.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {

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

// Open, the dialog shows the stored hot keys and holds them back from the
// main window; a second request opens nothing. A combination held elsewhere
// is reported, gives back the hot key registered before it and keeps the
// dialog open; Cancel then registers the stored pairs again.
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
    DestroyWindow(other);
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
