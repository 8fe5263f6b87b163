// The hidden main window: start-up and exit, the notes it restores and makes,
// hide all and topmost, Ctrl+Z and the global hot keys.
#include "shell_fixture.h"

#include "app/entry.h"
#include "paper/size_dialog.h"
#include "settings/hotkey_flags.h"

#include <cstring>

namespace app_test {
namespace {

bool IsTopmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Restored notes come where they were, hidden and on top as the stored marks
// say, and keep their files: a kill while the program runs must not lose
// them. A record of another note restores nothing. A new note takes the
// lowest free slot and comes shown and on top.
TEST_F(ShellTest, RestoresNotesFollowingTheStoredMarksAndNewNotesJoinThem) {
    StoreNote(3, RecordBytes(100, 50, 3, 0));
    StoreNote(1, RecordBytes(100, 50, 9, 0));
    Ini("paper", "IsHide", "1");
    Ini("paper", "IsTopmost", "1");
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    EXPECT_TRUE(MenuHas(IDM_TOPMOST, MF_CHECKED));
    EXPECT_EQ(nullptr, GetPaper(1));
    ASSERT_NE(nullptr, GetPaper(3));
    HWND restored = GetPaper(3)->GetWindow();
    RECT rect;
    GetWindowRect(restored, &rect);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(50, rect.top);
    EXPECT_FALSE(IsWindowVisible(restored));
    EXPECT_TRUE(IsTopmost(restored));
    EXPECT_TRUE(FileExists(DataFile(3)));

    ASSERT_EQ(0, NewNoteByDoubleClick());
    HWND made = GetPaper(0)->GetWindow();
    EXPECT_TRUE(IsWindowVisible(made));
    EXPECT_TRUE(IsTopmost(made));

    // The hide hot key shows all, then hides all, with the menu's mark.
    SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
    EXPECT_TRUE(IsWindowVisible(restored));
    EXPECT_FALSE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(made));
    EXPECT_TRUE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    // Leaving topmost shows all and clears the hide mark.
    Command(IDM_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(made));
    EXPECT_FALSE(IsTopmost(made));
    EXPECT_FALSE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));

    // The exit writes the marks and every note.
    Stop();
    EXPECT_EQ("0", IniValue("paper", "IsHide"));
    EXPECT_EQ("0", IniValue("paper", "IsTopmost"));
    EXPECT_EQ(RecordBytes(100, 50, 3, 0), ReadFileBytes(DataFile(3)));
    EXPECT_TRUE(FileExists(DataFile(0)));
    EXPECT_EQ(RecordBytes(100, 50, 9, 0), ReadFileBytes(DataFile(1)));
}

// Ctrl+Z pressed in any window of the thread becomes the main window's undo
// command, which reaches the active note only; a plain Z does nothing.
TEST_F(ShellTest, CtrlZUndoesTheActiveNoteOnly) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    Paper* drawn = GetPaper(0);
    HWND other = GetPaper(1)->GetWindow();
    HACCEL accelerators =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_TRUE(accelerators);
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    std::memcpy(keys, saved, sizeof keys);
    auto pressZ = [&](HWND active, bool control) {
        SetActiveWindow(active);
        ASSERT_EQ(active, GetActiveWindow());
        keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG z{other, WM_KEYDOWN, 'Z', 0x002C0001, 0, {0, 0}};
        DispatchWithAccelerator(mainWindow, accelerators, z);
        SetKeyboardState(saved);
    };
    // A pen dot at drawing-area point (5, 5): window point (6, 26).
    SendMessageA(drawn->GetWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 26));
    SendMessageA(drawn->GetWindow(), WM_LBUTTONUP, 0, MAKELPARAM(6, 26));
    const Rgb ink = drawn->GetPicture()->GetRgb(6, 26);
    const Rgb paper = drawn->GetPicture()->GetRgb(20, 40);
    ASSERT_NE(paper, ink);

    pressZ(other, true);
    EXPECT_EQ(ink, drawn->GetPicture()->GetRgb(6, 26));
    pressZ(drawn->GetWindow(), false);
    EXPECT_EQ(ink, drawn->GetPicture()->GetRgb(6, 26));
    pressZ(drawn->GetWindow(), true);
    EXPECT_EQ(paper, drawn->GetPicture()->GetRgb(6, 26));
}

// A combination another program holds at start-up is forgotten, and written
// as 0 at exit; the other is registered. The new-note hot key makes a note
// without asking when IsNoSizing is set, also from a default size of 0.
TEST_F(ShellTest, HotkeysTakenAtStartAreForgottenAndTheNewNoteKeyAsksNothing) {
    const UINT ctrlAlt = MOD_CONTROL | MOD_ALT;
    SmallNotesWithoutDialog(50, 40);
    Ini("hotkey", "IsUseHotkey", "1");
    Ini("hotkey", "modifiers 0", std::to_string(ctrlAlt));
    Ini("hotkey", "virtual 0", std::to_string('N'));
    Ini("hotkey", "modifiers 1", std::to_string(ctrlAlt));
    Ini("hotkey", "virtual 1", std::to_string('J'));
    HWND other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 5, ctrlAlt, 'N'));
    ASSERT_TRUE(Start());
    DestroyWindow(other);
    EXPECT_EQ(0u, g_settings.HotkeyVirtualKeys[0]);
    EXPECT_FALSE(IsHotkeyFree(ctrlAlt, 'J'));  // HK_HIDE is ours
    {
        DialogAnswerer answerer(IDCANCEL);
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        g_settings.DefaultSizeX = 0;
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        EXPECT_TRUE(answerer.Seen().empty());
    }
    ASSERT_TRUE(GetPaper(0) && GetPaper(1));
    EXPECT_EQ(50, GetPaper(0)->GetBodyWidth());
    EXPECT_EQ(MIN_PAPER_SIZE, GetPaper(1)->GetBodyWidth());
    Stop();
    EXPECT_EQ("0", IniValue("hotkey", "modifiers 0"));
    EXPECT_EQ("0", IniValue("hotkey", "virtual 0"));
    EXPECT_EQ(std::to_string('J'), IniValue("hotkey", "virtual 1"));
}

// A note made from a BMP file wider than the screen asks first. A note torn
// down meanwhile is deleted, but not the one being made: it has no window yet
// and its own code is still running.
TEST_F(ShellTest, ANoteBeingMadeOutlivesThePurgeOfAnother) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    const std::string wide = folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(wide, GetSystemMetrics(SM_CXSCREEN), 10, 0x00FF00));
    HWND question = nullptr;
    DialogScript steps;
    steps.WaitFor("Inkslip", question)
        .Then([] { GetPaper(0)->Destroy(); })
        .Until([] { return GetPaper(0) == nullptr; })
        .Then([&] { PressButton(question, IDYES); });
    steps.Start();
    NewPaperFromFile(mainWindow, wide.c_str());
    EXPECT_TRUE(steps.Stop()) << "steps done: " << steps.StepsDone();
    ASSERT_NE(nullptr, GetPaper(1));
    EXPECT_TRUE(IsWindowVisible(GetPaper(1)->GetWindow()));
}

}  // namespace
}  // namespace app_test
