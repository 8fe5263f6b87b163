// The hidden main window: start-up and exit, the tray menu's marks, the
// commands that need no note and the tray menu itself.
#include "shell_fixture.h"

#include "app/entry.h"
#include "app/tray.h"

namespace app_test {
namespace {

TEST_F(ShellTest, StartsHiddenWithMenuMarksFromTheSettingsAndWritesThemAtExit) {
    StoreNote(0, 100, 50);
    StoreNote(1, 200, 50);
    Ini("paper", "IsHide", "1");
    Ini("paper", "IsTopmost", "1");
    Ini("tool", "IsHide", "1");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    char className[32] = "";
    GetClassNameA(mainWindow, className, sizeof className);
    EXPECT_STREQ("Inkslip", className);
    EXPECT_EQ(folder.File("data\\"), CurrentPaperDataFolder());

    ASSERT_TRUE(g_shell.trayMenu);
    EXPECT_EQ(g_shell.trayMenu, g_settings.Tool.TrayMenu);
    EXPECT_TRUE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    EXPECT_TRUE(MenuHas(IDM_TOPMOST, MF_CHECKED));
    // The palette is hidden, so the item that shows it is available.
    EXPECT_FALSE(MenuHas(IDM_SHOW_TOOL_PALETTE, MF_GRAYED));
    ASSERT_TRUE(g_shell.toolPalette && GetPaper(0) && GetPaper(1));
    // Restored notes follow both marks.
    for (HWND window : {g_shell.toolPalette, GetPaper(0)->GetWindow(), GetPaper(1)->GetWindow()}) {
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }

    Command(IDM_HIDE_ALL);  // show all again
    EXPECT_FALSE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    EXPECT_TRUE(IsWindowVisible(GetPaper(1)->GetWindow()));
    Command(IDM_TOPMOST);  // off
    EXPECT_FALSE(MenuHas(IDM_TOPMOST, MF_CHECKED));
    Command(IDM_SHOW_TOOL_PALETTE);
    EXPECT_TRUE(MenuHas(IDM_SHOW_TOOL_PALETTE, MF_GRAYED));
    EXPECT_EQ(0, g_settings.ToolIsHide);
    EXPECT_TRUE(IsWindowVisible(g_shell.toolPalette));

    Stop();
    EXPECT_EQ(nullptr, g_shell.trayMenu);
    EXPECT_FALSE(PapersExist());
    EXPECT_EQ("0", IniValue("paper", "IsHide"));
    EXPECT_EQ("0", IniValue("paper", "IsTopmost"));
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

TEST_F(ShellTest, TrayMenuUnknownMessagesTaskbarRestartAndExit) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(MenuHas(IDM_SHOW_TOOL_PALETTE, MF_GRAYED));  // the palette is shown
    // A configured folder is used as written, without a separator added.
    lstrcpyA(g_settings.DataFolderPath, "C:\\notes");
    EXPECT_EQ("C:\\notes", CurrentPaperDataFolder());
    g_settings.DataFolderPath[0] = '\0';

    Command(40003);
    Command(IDM_PEEL_OFF);  // a note's own command means nothing here
    SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_LBUTTONUP);
    SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_MOUSEMOVE);

    // The tray menu, closed as soon as it is open: a click elsewhere.
    UINT_PTR timer = SetTimer(nullptr, 0, 200, CloseMenu);
    SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    EXPECT_EQ(0u, GetMenuDefaultItem(GetSubMenu(g_shell.trayMenu, 0), TRUE, 0));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, mainWindow, WM_NULL, WM_NULL, PM_REMOVE));
    EXPECT_EQ(0, FindFreeSlot());  // nothing was chosen

    ASSERT_NE(0u, TaskbarCreatedMessage());
    EXPECT_EQ(0, SendMessageA(mainWindow, TaskbarCreatedMessage(), 0, 0));
    Command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(mainWindow));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, message.wParam);
    mainWindow = nullptr;
    EXPECT_TRUE(FileExists(IniPath()));
}

TEST(SingleInstance, SecondHolderOfTheNameSeesTheFirstUntilItCloses) {
    const char* name = "InkslipTestSingleInstance";
    SingleInstance first(name);
    EXPECT_FALSE(first.AnotherIsRunning());
    EXPECT_TRUE(SingleInstance(name).AnotherIsRunning());
    first.Close();
    EXPECT_FALSE(SingleInstance(name).AnotherIsRunning());
}

}  // namespace
}  // namespace app_test
