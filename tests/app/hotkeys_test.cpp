// The global hot keys: registration at start-up and what each one does.
#include "shell_fixture.h"

#include "app/hotkeys.h"

namespace app_test {
namespace {

constexpr UINT CTRL_ALT = MOD_CONTROL | MOD_ALT;

class HotkeyTest : public ShellTest {
protected:
    void SetUp() override {
        probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        ShellTest::TearDown();
        DestroyWindow(probe);
    }
    void StorePairs(bool use) {
        Ini("hotkey", "IsUseHotkey", use ? "1" : "0");
        Ini("hotkey", "modifiers 0", std::to_string(CTRL_ALT));
        Ini("hotkey", "virtual 0", std::to_string('N'));
        Ini("hotkey", "modifiers 1", std::to_string(CTRL_ALT));
        Ini("hotkey", "virtual 1", std::to_string('J'));
    }
    // Sends a hot key and counts the dialogs it opened, answered with `button`.
    size_t HotkeyDialogs(int id, int button) {
        DialogAnswerer answerer(button);
        SendMessageA(mainWindow, WM_HOTKEY, id, 0);
        PumpMessages();
        return answerer.Seen().size();
    }
    HWND probe = nullptr;
};

TEST_F(HotkeyTest, CombinationTakenElsewhereAtStartIsClearedAndWrittenAsZero) {
    StorePairs(true);
    ASSERT_TRUE(RegisterHotKey(probe, 5, CTRL_ALT, 'N'));  // another program's
    ASSERT_TRUE(Start());
    EXPECT_EQ(0u, g_settings.HotkeyModifiers[0]);
    EXPECT_EQ(0u, g_settings.HotkeyVirtualKeys[0]);
    EXPECT_FALSE(IsHotkeyFree(CTRL_ALT, 'J'));  // HK_HIDE is ours
    UnregisterHotKey(probe, 5);
    Stop();
    EXPECT_EQ("0", IniValue("hotkey", "modifiers 0"));
    EXPECT_EQ("0", IniValue("hotkey", "virtual 0"));
    EXPECT_EQ(std::to_string(CTRL_ALT), IniValue("hotkey", "modifiers 1"));
    EXPECT_EQ(std::to_string('J'), IniValue("hotkey", "virtual 1"));
}

TEST_F(HotkeyTest, NothingIsRegisteredWhenHotkeysAreOff) {
    StorePairs(false);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'N'));
    EXPECT_TRUE(IsHotkeyFree(CTRL_ALT, 'J'));
    Stop();
    // The pairs stay stored for later.
    EXPECT_EQ(std::to_string('N'), IniValue("hotkey", "virtual 0"));
}

TEST_F(HotkeyTest, NewNoteHotkeySkipsTheSizeDialogOnlyWithNoSizing) {
    SmallNotesWithoutDialog(50, 40);
    ASSERT_TRUE(Start());
    EXPECT_EQ(0u, HotkeyDialogs(HK_NEW, IDCANCEL));
    ASSERT_NE(nullptr, GetPaper(0));
    RECT rect;
    GetWindowRect(GetPaper(0)->GetWindow(), &rect);
    EXPECT_EQ(52, rect.right - rect.left);
    EXPECT_EQ(20 + 40 + 3, rect.bottom - rect.top);
    // A default size below the size dialog's minimum (an INI value of 0)
    // still gives a note to draw on.
    g_settings.DefaultSizeX = 0;
    EXPECT_EQ(0u, HotkeyDialogs(HK_NEW, IDCANCEL));
    ASSERT_NE(nullptr, GetPaper(1));
    EXPECT_EQ(20, GetPaper(1)->GetBodyWidth());
    GetPaper(1)->Destroy();
    PumpMessages();
    g_settings.DefaultSizeX = 50;

    // The tray menu's item always asks for the size; cancelling makes nothing.
    {
        DialogAnswerer answerer(IDCANCEL);
        Command(IDM_NEW_PAPER);
        EXPECT_EQ(1u, answerer.Seen().size());
    }
    EXPECT_EQ(nullptr, GetPaper(1));

    g_settings.IsNoSizing = 0;
    EXPECT_EQ(1u, HotkeyDialogs(HK_NEW, IDCANCEL));
    EXPECT_EQ(nullptr, GetPaper(1));
    EXPECT_EQ(1u, HotkeyDialogs(HK_NEW, IDOK));  // the default size as offered
    ASSERT_NE(nullptr, GetPaper(1));
    GetWindowRect(GetPaper(1)->GetWindow(), &rect);
    EXPECT_EQ(52, rect.right - rect.left);
}

TEST_F(HotkeyTest, HideHotkeyTwiceHidesAndShowsWithTheMenuMark) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    HWND note = GetPaper(0)->GetWindow();
    for (bool hidden : {true, false}) {
        SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
        EXPECT_EQ(!hidden, IsWindowVisible(note) != FALSE);
        EXPECT_EQ(hidden, MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    }
    SendMessageA(mainWindow, WM_HOTKEY, 3, 0);  // not ours
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(1, FindFreeSlot());
}

}  // namespace
}  // namespace app_test
