#include "settings/options_dialog.h"

#include "resources/resource.h"
#include "settings/hotkey_flags.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

using namespace test_support;

namespace {

const char* const OPTIONS_CAPTION = "オプション";
const UINT CTRL_ALT = MOD_CONTROL | MOD_ALT;

std::string IniValue(const char* section, const char* key) {
    char value[300] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, GetIniPath().c_str());
    return value;
}

bool IniWritten() {
    return FileExists(GetIniPath());
}

// A hidden main window for which the hot keys are registered, as at run time,
// and an INI file that does not exist yet.
class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        DeleteFileA(GetIniPath().c_str());
        mainWindow = CreateWindowA("STATIC", "main", WS_POPUP, 100, 100, 50, 50, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, mainWindow);
    }
    void TearDown() override {
        if (other) {
            UnregisterHotKey(other, 7);
            DestroyWindow(other);
        }
        UnregisterHotKey(mainWindow, 1);
        UnregisterHotKey(mainWindow, 2);
        DestroyWindow(mainWindow);
        DeleteFileA(GetIniPath().c_str());
    }

    // Ctrl+Alt+N for HK_NEW and Ctrl+Alt+H for HK_HIDE, registered as the
    // start-up does.
    void UseHotkeys() {
        g_settings.IsUseHotkey = 1;
        g_settings.HotkeyModifiers[0] = g_settings.HotkeyModifiers[1] = CTRL_ALT;
        g_settings.HotkeyVirtualKeys[0] = 'N';
        g_settings.HotkeyVirtualKeys[1] = 'H';
        ASSERT_TRUE(RegisterHotKey(mainWindow, 1, CTRL_ALT, 'N'));
        ASSERT_TRUE(RegisterHotKey(mainWindow, 2, CTRL_ALT, 'H'));
    }

    INT_PTR Run(DialogScript& steps) {
        steps.Start();
        INT_PTR result = ShowOptionsDialog(mainWindow);
        EXPECT_TRUE(steps.Stop()) << "steps done: " << steps.StepsDone();
        return result;
    }
    // Opens the dialog, runs `action` in it and presses `button`.
    template <typename Action>
    INT_PTR RunOnce(Action action, int button) {
        DialogScript steps;
        steps.WaitFor(OPTIONS_CAPTION, dialog).Then([&] {
            action();
            PressButton(dialog, button);
        });
        return Run(steps);
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void SetText(int id, const char* text) const { SetDlgItemTextA(dialog, id, text); }
    void SetHotkey(int id, UINT modifiers, UINT key) const {
        SendMessageA(Item(id), HKM_SETHOTKEY, MAKEWORD(key, ModifiersToHotkeyFlags(modifiers)), 0);
    }
    WORD Hotkey(int id) const {
        return static_cast<WORD>(SendMessageA(Item(id), HKM_GETHOTKEY, 0, 0));
    }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }

    HWND mainWindow = nullptr;
    HWND other = nullptr;
    HWND dialog = nullptr;
    DialogScript script;
};

}  // namespace

// The dialog test shows a separator appended, also after "表", whose second
// byte is 0x5C in code page 932.
TEST(OptionsRules, FolderSeparatorIsNeitherDoubledNorWrittenPastTheBuffer) {
    const struct {
        const char* text;
        size_t bufferSize;
    } unchanged[] = {{"C:\\表\\", 16}, {"", 16}, {"abc", 4}};  // "abc": no room for one more
    for (const auto& test : unchanged) {
        char folder[16];
        std::strcpy(folder, test.text);
        AppendFolderSeparator(folder, test.bufferSize);
        EXPECT_STREQ(test.text, folder);
    }
}

TEST_F(OptionsTest, ShowsTheSettingsTakesTheHotKeysAwayWhileOpenAndOpensOnlyOnce) {
    UseHotkeys();
    g_settings.DefaultSizeX = 321;
    g_settings.IsNoSizing = 1;
    std::strcpy(g_settings.DataFolderPath, "C:\\data\\");
    auto check = [&] {
        EXPECT_EQ("321", ItemText(dialog, IDC_OPTIONS_DEFAULT_SIZE_X));
        EXPECT_EQ("C:\\data\\", ItemText(dialog, IDC_OPTIONS_DATA_FOLDER));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_OPTIONS_NO_SIZING));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_OPTIONS_USE_HOTKEY));
        EXPECT_EQ(MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT), Hotkey(IDC_OPTIONS_HOTKEY_NEW));
        EXPECT_EQ(MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_ALT), Hotkey(IDC_OPTIONS_HOTKEY_HIDE));
        EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'N'));
        EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'H'));
        // Asked for again, as from the tray menu, it opens no second dialog
        // and leaves the hot keys alone.
        DialogAnswerer second(IDCANCEL);
        EXPECT_EQ(IDCANCEL, ShowOptionsDialog(mainWindow));
        EXPECT_TRUE(second.Seen().empty());
        EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'N'));
    };
    EXPECT_EQ(IDCANCEL, RunOnce(check, IDCANCEL));
    // Cancel registered both again for the main window.
    EXPECT_TRUE(UnregisterHotKey(mainWindow, 1));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, 2));
    EXPECT_EQ(321, g_settings.DefaultSizeX);
    // Closed, it opens again; OK registers both for the main window.
    EXPECT_EQ(IDOK, RunOnce(check, IDOK));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, 1));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, 2));
}

TEST_F(OptionsTest, TooSmallDefaultSizesAreRaisedWithTheFocusThereAndNothingSaved) {
    script.WaitFor(OPTIONS_CAPTION, dialog)
        .Then([&] {
            SetText(IDC_OPTIONS_DEFAULT_SIZE_X, "19");
            SetText(IDC_OPTIONS_DEFAULT_SIZE_Y, "500");
            PressButton(dialog, IDOK);
        })
        .Then([&] {
            EXPECT_EQ("20", ItemText(dialog, IDC_OPTIONS_DEFAULT_SIZE_X));
            EXPECT_EQ(Item(IDC_OPTIONS_DEFAULT_SIZE_X), GetFocus());
            EXPECT_EQ(200, g_settings.DefaultSizeY);
            EXPECT_FALSE(IniWritten());
            SetText(IDC_OPTIONS_DEFAULT_SIZE_X, "500");
            SetText(IDC_OPTIONS_DEFAULT_SIZE_Y, "5");
            PressButton(dialog, IDOK);
        })
        .Then([&] {
            EXPECT_EQ("20", ItemText(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y));
            EXPECT_EQ(Item(IDC_OPTIONS_DEFAULT_SIZE_Y), GetFocus());
            EXPECT_EQ(200, g_settings.DefaultSizeX);
            EXPECT_FALSE(IniWritten());
            // 20 x 20 is accepted; folders get their separator.
            SetText(IDC_OPTIONS_DEFAULT_SIZE_X, "20");
            SetText(IDC_OPTIONS_DEFAULT_SIZE_Y, "20");
            SetText(IDC_OPTIONS_DATA_FOLDER, "C:\\notes");
            SetText(IDC_OPTIONS_OUTPUT_FOLDER, "C:\\表");
            CheckDlgButton(dialog, IDC_OPTIONS_DEL_WARNING, BST_CHECKED);
            PressButton(dialog, IDOK);
        });
    EXPECT_EQ(IDOK, Run(script));
    EXPECT_EQ(20, g_settings.DefaultSizeX);
    EXPECT_EQ(20, g_settings.DefaultSizeY);
    EXPECT_STREQ("C:\\notes\\", g_settings.DataFolderPath);
    EXPECT_STREQ("C:\\表\\", g_settings.OutputFolderPath);
    EXPECT_EQ(1, g_settings.IsDelWarning);
    EXPECT_EQ("20", IniValue("paper", "DefaultSizeY"));
    EXPECT_EQ("C:\\notes\\", IniValue("paper", "DataFolderPath"));
    EXPECT_EQ("1", IniValue("paper", "IsDelWarning"));
}

// Another window holds Ctrl+Alt+K. Taking it for HK_NEW registers nothing;
// taking it for HK_HIDE gives the new HK_NEW back; each failure keeps the
// dialog open, and the cancel after it registers HK_NEW with its new and
// HK_HIDE with its old combination.
TEST_F(OptionsTest, AHotKeyTakenElsewhereKeepsTheDialogOpenAndCancelRestoresTheKeys) {
    UseHotkeys();
    other = CreateWindowA("STATIC", "other", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, CTRL_ALT, 'K'));
    HWND box = nullptr;
    auto answerFailure = [&](const char* message) {
        script.WaitFor("Inkslip", box)
            .Then([&, message] {
                EXPECT_EQ(message, DialogText(box));
                PressButton(box, IDOK);
            })
            .Until([&] { return FindDialog("Inkslip") == nullptr; });
    };
    script.WaitFor(OPTIONS_CAPTION, dialog).Then([&] {
        SetHotkey(IDC_OPTIONS_HOTKEY_NEW, CTRL_ALT, 'K');
        PressButton(dialog, IDOK);
    });
    answerFailure("HK_NEWの登録に失敗しました。");
    script.Then([&] {
        EXPECT_EQ(UINT('N'), g_settings.HotkeyVirtualKeys[0]);
        EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'H'));
        SetHotkey(IDC_OPTIONS_HOTKEY_NEW, CTRL_ALT, 'J');
        SetHotkey(IDC_OPTIONS_HOTKEY_HIDE, CTRL_ALT, 'K');
        PressButton(dialog, IDOK);
    });
    answerFailure("HK_HIDEの登録に失敗しました。");
    script.Then([&] {
        EXPECT_EQ(dialog, FindDialog(OPTIONS_CAPTION));
        EXPECT_EQ(CTRL_ALT, g_settings.HotkeyModifiers[0]);
        EXPECT_EQ(UINT('J'), g_settings.HotkeyVirtualKeys[0]);
        EXPECT_EQ(UINT('H'), g_settings.HotkeyVirtualKeys[1]);
        EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'J'));
        EXPECT_FALSE(IniWritten());
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Run(script));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, 1));  // J belongs to HK_NEW
    EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'J'));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, 2));  // H to HK_HIDE
    EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'H'));
}

TEST_F(OptionsTest, TheUseHotkeysBoxEnablesAndRegistersOrLeavesBothUnregistered) {
    auto check = [&] {
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_OPTIONS_HOTKEY_NEW)));
        Click(IDC_OPTIONS_USE_HOTKEY);
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_OPTIONS_HOTKEY_HIDE)));
        SetHotkey(IDC_OPTIONS_HOTKEY_NEW, MOD_SHIFT | MOD_ALT, 'Q');
        SetHotkey(IDC_OPTIONS_HOTKEY_HIDE, MOD_CONTROL, VK_F9);
    };
    EXPECT_EQ(IDOK, RunOnce(check, IDOK));
    EXPECT_EQ(1, g_settings.IsUseHotkey);
    EXPECT_EQ(UINT(MOD_SHIFT | MOD_ALT), g_settings.HotkeyModifiers[0]);
    EXPECT_EQ(UINT(VK_F9), g_settings.HotkeyVirtualKeys[1]);
    EXPECT_FALSE(IsHotkeyFree(MOD_SHIFT | MOD_ALT, 'Q'));
    EXPECT_FALSE(IsHotkeyFree(MOD_CONTROL, VK_F9));

    // Unchecked: both given back, their pairs kept.
    EXPECT_EQ(IDOK, RunOnce([&] { Click(IDC_OPTIONS_USE_HOTKEY); }, IDOK));
    EXPECT_EQ(0, g_settings.IsUseHotkey);
    EXPECT_TRUE(IsHotkeyFree(MOD_SHIFT | MOD_ALT, 'Q'));
    EXPECT_TRUE(IsHotkeyFree(MOD_CONTROL, VK_F9));
    EXPECT_EQ("0", IniValue("hotkey", "IsUseHotkey"));
    EXPECT_EQ("5", IniValue("hotkey", "modifiers 0"));
    EXPECT_EQ("81", IniValue("hotkey", "virtual 0"));
    EXPECT_EQ("120", IniValue("hotkey", "virtual 1"));
}

// Two empty pairs would clash with each other; a pair without a key is no
// hot key and registers nothing, so such a dialog can be confirmed and
// cancelled.
TEST_F(OptionsTest, HotKeysInUseWithoutKeysNeitherBlockOkNorCancel) {
    g_settings.IsUseHotkey = 1;
    EXPECT_EQ(IDCANCEL, RunOnce([] {}, IDCANCEL));
    EXPECT_EQ(IDOK, RunOnce([] {}, IDOK));
    EXPECT_EQ(1, g_settings.IsUseHotkey);
    EXPECT_EQ(0u, g_settings.HotkeyVirtualKeys[0]);
    EXPECT_EQ(0u, g_settings.HotkeyVirtualKeys[1]);
}

// A cancelled folder browser empties the field; a background colour chosen
// stays even when the dialog is then cancelled.
TEST_F(OptionsTest, TheFolderBrowserAndTheColourChooserAnswerForThemselves) {
    std::strcpy(g_settings.DataFolderPath, "C:\\data\\");
    g_settings.BgColor = ColorQuad{0x7F, 0xFF, 0xFF, 0xFF};
    HWND common = nullptr;
    auto runCommonDialog = [&](int button, std::function<void()> answer) {
        script.Then([&, button] { PressButton(dialog, button); })
            .Until([&] { return (common = FindOtherDialog({dialog})) != nullptr; })
            .Then([&, answer] {
                EXPECT_EQ(dialog, GetWindow(common, GW_OWNER));
                answer();
            })
            .Until([&] { return FindOtherDialog({dialog}) == nullptr; });
    };
    script.WaitFor(OPTIONS_CAPTION, dialog);
    runCommonDialog(IDC_OPTIONS_BROWSE_DATA_FOLDER, [&] { PressButton(common, IDCANCEL); });
    runCommonDialog(IDC_OPTIONS_BG_SWATCH, [&] {
        EXPECT_EQ("255", ItemText(common, CHOOSER_RED));
        SetChooserColour(common, 10, 20, 30);
        PressButton(common, IDOK);
    });
    script.Then([&] {
        EXPECT_EQ("", ItemText(dialog, IDC_OPTIONS_DATA_FOLDER));
        UpdateWindow(dialog);
        EXPECT_EQ(RGB(10, 20, 30), ClientPixel(Item(IDC_OPTIONS_BG_SWATCH), 3, 3));
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Run(script));
    EXPECT_STREQ("C:\\data\\", g_settings.DataFolderPath);  // cancel stores no folder
    EXPECT_EQ(0x7F0A141Eu, ColorQuadToValue(g_settings.BgColor));
}
