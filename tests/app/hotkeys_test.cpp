// The global hot keys: registration at start-up and what each one does.
#include "shell_fixture.h"

#include "app/hotkeys.h"
#include "resources/resource.h"

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
    // Whether this combination is still free for another program.
    bool Free(UINT modifiers, UINT key) {
        if (!RegisterHotKey(probe, 77, modifiers, key)) return false;
        UnregisterHotKey(probe, 77);
        return true;
    }
    std::string IniValue(const char* key) {
        char value[32] = "";
        GetPrivateProfileStringA("hotkey", key, "?", value, sizeof value, IniPath().c_str());
        return value;
    }
    HWND probe = nullptr;
};

TEST_F(HotkeyTest, CombinationTakenElsewhereAtStartIsClearedAndWrittenAsZero) {
    StorePairs(true);
    ASSERT_TRUE(RegisterHotKey(probe, 5, CTRL_ALT, 'N'));  // another program's
    ASSERT_TRUE(Start());
    EXPECT_EQ(0u, g_settings.HotkeyModifiers[0]);
    EXPECT_EQ(0u, g_settings.HotkeyVirtualKeys[0]);
    EXPECT_FALSE(Free(CTRL_ALT, 'J'));  // HK_HIDE is ours
    UnregisterHotKey(probe, 5);
    Stop();
    EXPECT_EQ("0", IniValue("modifiers 0"));
    EXPECT_EQ("0", IniValue("virtual 0"));
    EXPECT_EQ(std::to_string(CTRL_ALT), IniValue("modifiers 1"));
    EXPECT_EQ(std::to_string('J'), IniValue("virtual 1"));
}

TEST_F(HotkeyTest, NothingIsRegisteredWhenHotkeysAreOff) {
    StorePairs(false);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Free(CTRL_ALT, 'N'));
    EXPECT_TRUE(Free(CTRL_ALT, 'J'));
    Stop();
    // The pairs stay stored for later.
    EXPECT_EQ(std::to_string('N'), IniValue("virtual 0"));
}

TEST_F(HotkeyTest, NewNoteHotkeySkipsTheSizeDialogOnlyWithNoSizing) {
    SmallNotesWithoutDialog(50, 40);
    ASSERT_TRUE(Start());
    {
        DialogAnswerer answerer(IDCANCEL);
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        PumpMessages();
        EXPECT_TRUE(answerer.Boxes().empty());
    }
    ASSERT_NE(nullptr, GetPaper(0));
    RECT rect;
    GetWindowRect(GetPaper(0)->GetWindow(), &rect);
    EXPECT_EQ(52, rect.right - rect.left);
    EXPECT_EQ(20 + 40 + 3, rect.bottom - rect.top);
    EXPECT_EQ(0, g_shell.NewFromHotkey);

    // The tray menu's item always asks for the size; cancelling makes nothing.
    {
        DialogAnswerer answerer(IDCANCEL);
        Command(IDM_NEW_PAPER);
        EXPECT_EQ(1u, answerer.Boxes().size());
    }
    EXPECT_EQ(nullptr, GetPaper(1));

    g_settings.IsNoSizing = 0;
    {
        DialogAnswerer answerer(IDCANCEL);
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        PumpMessages();
        EXPECT_EQ(1u, answerer.Boxes().size());
    }
    EXPECT_EQ(nullptr, GetPaper(1));
    EXPECT_EQ(0, g_shell.NewFromHotkey);
    {
        DialogAnswerer answerer(IDOK);  // the default size as offered
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        PumpMessages();
        EXPECT_EQ(1u, answerer.Boxes().size());
    }
    ASSERT_NE(nullptr, GetPaper(1));
    GetWindowRect(GetPaper(1)->GetWindow(), &rect);
    EXPECT_EQ(52, rect.right - rect.left);
}

TEST_F(HotkeyTest, HideHotkeyTwiceHidesAndShowsWithTheMenuMark) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    HWND note = GetPaper(0)->GetWindow();

    SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(note));
    EXPECT_TRUE(MenuChecked(IDM_HIDE_ALL));
    SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_FALSE(MenuChecked(IDM_HIDE_ALL));

    SendMessageA(mainWindow, WM_HOTKEY, 3, 0);  // not ours
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(1, FindFreeSlot());
}

}  // namespace
}  // namespace app_test
