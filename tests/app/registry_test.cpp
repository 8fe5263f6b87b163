// The registry of notes as the main window runs it: slot numbers, the purge,
// the limit, restore at start-up and save at exit, hide all and topmost, and
// Ctrl+Z reaching the active note only.
#include "shell_fixture.h"

#include "app/entry.h"

#include <cstring>
#include <memory>

namespace app_test {
namespace {

int RegisteredCount() {
    int count = 0;
    for (int slot = 0; slot < MaxPapers; ++slot) count += GetPaper(slot) != nullptr;
    return count;
}

bool IsTopmostWindow(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST_F(ShellTest, LowestFreeSlotAfterAPeelAndThePurgeOfNotesWithoutAWindow) {
    SmallNotesWithoutDialog(40, 30);
    ASSERT_TRUE(Start());
    EXPECT_EQ(0, NewNoteByDoubleClick());
    EXPECT_EQ(1, NewNoteByDoubleClick());
    EXPECT_EQ(2, NewNoteByDoubleClick());
    HWND second = GetPaper(1)->GetWindow();
    // Peeling off tears the note down; its notice purges the slot.
    GetPaper(1)->Destroy();
    EXPECT_FALSE(IsWindow(second));
    PumpMessages();
    EXPECT_EQ(1, FindFreeSlot());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    char className[16] = "";
    GetClassNameA(GetPaper(1)->GetWindow(), className, sizeof className);
    EXPECT_STREQ("Inkslip1", className);
    EXPECT_EQ(3, FindFreeSlot());

    AddPaper(3, std::make_unique<Paper>());  // notes without a window
    AddPaper(6, std::make_unique<Paper>());
    EXPECT_EQ(4, FindFreeSlot());
    SendMessageA(mainWindow, WM_PAPER_TORN_DOWN, 0, 0);
    EXPECT_EQ(nullptr, GetPaper(3));
    EXPECT_EQ(nullptr, GetPaper(6));
    EXPECT_EQ(3, RegisteredCount());
    EXPECT_TRUE(IsWindow(GetPaper(2)->GetWindow()));
}

TEST_F(ShellTest, NoteBeyondTheLimitIsRefusedWithItsMessage) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    // 255 registered notes; only the first has a window.
    ASSERT_EQ(0, NewNoteByDoubleClick());
    for (int slot = 1; slot < MaxPapers; ++slot) AddPaper(slot, std::make_unique<Paper>());
    EXPECT_EQ(MaxPapers, FindFreeSlot());

    std::string bmp = folder.File("one.bmp");
    ASSERT_TRUE(WriteBmp(bmp, 1, 1, 0xFF0000));
    {
        DialogAnswerer answerer(IDOK);
        SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
        NewPaperFromFile(mainWindow, bmp.c_str());
        ASSERT_EQ(2u, answerer.Seen().size());
        for (const auto& box : answerer.Seen()) {
            EXPECT_EQ("Inkslip", box.caption);
            EXPECT_EQ("紙の枚数がいっぱいです。\n枚数を減らしてからもう一度作成してください。",
                      box.text);
        }
    }
    EXPECT_EQ(MaxPapers, RegisteredCount());
    EXPECT_EQ(nullptr, FindWindowA("Inkslip255", nullptr));
}

TEST_F(ShellTest, NoteThatCannotBeMadeIsReportedAndFreesItsSlot) {
    ASSERT_TRUE(Start());
    {
        // The open dialog, cancelled: nothing happens.
        DialogAnswerer answerer(IDCANCEL);
        Command(IDM_NEW_FROM_BMP);
        ASSERT_GE(answerer.Seen().size(), 1u);
        EXPECT_EQ("ファイル指定", answerer.Seen()[0].caption);
    }
    EXPECT_EQ(nullptr, GetPaper(0));

    std::string notBmp = folder.File("text.bmp");
    ASSERT_TRUE(WriteFileBytes(notBmp, "this is not a bitmap"));
    {
        DialogAnswerer answerer(IDOK);
        NewPaperFromFile(mainWindow, notBmp.c_str());
        ASSERT_EQ(1u, answerer.Seen().size());
        EXPECT_EQ("紙の生成に失敗しました", answerer.Seen()[0].text);
    }
    EXPECT_EQ(nullptr, GetPaper(0));
    EXPECT_EQ(0, FindFreeSlot());

    // A readable bitmap makes a note shown at once.
    std::string bmp = folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(bmp, 60, 10, 0x00FF00));
    NewPaperFromFile(mainWindow, bmp.c_str());
    ASSERT_NE(nullptr, GetPaper(0));
    EXPECT_TRUE(IsWindowVisible(GetPaper(0)->GetWindow()));
}

TEST_F(ShellTest, RestoresStoredNotesBelow255AndKeepsTheirFilesWhileRunning) {
    StoreNote(3, 100, 50);
    StoreNote(7, 300, 60);
    StoreNote(2, 100, 50, 9);  // a record of another note
    StoreNote(255, 10, 10);
    StoreNote(300, 10, 10);
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());

    // Note 2 cannot be restored: no note, no window, its files kept.
    EXPECT_EQ(nullptr, GetPaper(2));
    EXPECT_EQ(nullptr, FindWindowA("Inkslip2", nullptr));
    EXPECT_TRUE(FileExists(DataFile(2)));
    EXPECT_EQ(2, RegisteredCount());
    ASSERT_NE(nullptr, GetPaper(7));
    ASSERT_NE(nullptr, GetPaper(3));
    HWND third = GetPaper(3)->GetWindow();
    ASSERT_TRUE(third);
    EXPECT_TRUE(IsWindowVisible(third));
    RECT rect;
    GetWindowRect(third, &rect);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(50, rect.top);
    EXPECT_EQ(nullptr, FindWindowA("Inkslip255", nullptr));
    EXPECT_EQ(0, FindFreeSlot());
    // A crash from here on must not lose the notes.
    EXPECT_TRUE(FileExists(DataFile(3)));
    EXPECT_TRUE(FileExists(DataFile(7)));

    ASSERT_EQ(0, NewNoteByDoubleClick());
    SetWindowPos(GetPaper(7)->GetWindow(), nullptr, 320, 90, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    // A peeled note is gone at once, not at exit.
    ASSERT_TRUE(GetPaper(3)->PeelOff());  // no warning by default
    PumpMessages();
    EXPECT_EQ(nullptr, GetPaper(3));
    EXPECT_FALSE(FileExists(DataFile(3)));
    Stop();

    EXPECT_TRUE(FileExists(DataFile(0)));
    EXPECT_TRUE(FileExists(DataFolder() + "0.bmp"));
    EXPECT_FALSE(FileExists(DataFile(3)));
    EXPECT_EQ(RecordBytes(320, 90, 7, 0), ReadFileBytes(DataFile(7)));
    // Never restored, never touched.
    EXPECT_EQ(RecordBytes(10, 10, 255, 0), ReadFileBytes(DataFile(255)));
    EXPECT_EQ(RecordBytes(100, 50, 9, 0), ReadFileBytes(DataFile(2)));

    ASSERT_TRUE(Start());
    EXPECT_EQ(nullptr, GetPaper(3));
    ASSERT_NE(nullptr, GetPaper(7));
    EXPECT_TRUE(GetPaper(7)->GetWindow());
}

TEST_F(ShellTest, HideAllKeepsItsMarkForANewNoteAndTopmostShowsAll) {
    SmallNotesWithoutDialog();
    Ini("tool", "IsHide", "1");
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    HWND first = GetPaper(0)->GetWindow();
    HWND second = GetPaper(1)->GetWindow();

    Command(IDM_HIDE_ALL);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_FALSE(IsWindowVisible(second));
    EXPECT_TRUE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));

    // A new note shows itself even now; the others stay hidden.
    ASSERT_EQ(2, NewNoteByDoubleClick());
    HWND third = GetPaper(2)->GetWindow();
    EXPECT_TRUE(IsWindowVisible(third));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_TRUE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    EXPECT_EQ(1, g_settings.PaperIsHide);

    Command(IDM_HIDE_ALL);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_FALSE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));

    // Topmost while hidden shows all and clears the hide mark.
    Command(IDM_HIDE_ALL);
    Command(IDM_TOPMOST);
    for (HWND window : {first, second, third}) {
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_TRUE(IsTopmostWindow(window));
    }
    EXPECT_FALSE(MenuHas(IDM_HIDE_ALL, MF_CHECKED));
    EXPECT_TRUE(MenuHas(IDM_TOPMOST, MF_CHECKED));
    EXPECT_EQ(0, g_settings.PaperIsHide);
    // A hidden palette takes the order but stays hidden.
    ASSERT_TRUE(g_shell.toolPalette);
    EXPECT_FALSE(IsWindowVisible(g_shell.toolPalette));
    EXPECT_TRUE(IsTopmostWindow(g_shell.toolPalette));

    // While on top, new notes come on top too.
    ASSERT_EQ(3, NewNoteByDoubleClick());
    EXPECT_TRUE(IsTopmostWindow(GetPaper(3)->GetWindow()));
    Command(IDM_TOPMOST);
    EXPECT_FALSE(IsTopmostWindow(first));
    EXPECT_FALSE(MenuHas(IDM_TOPMOST, MF_CHECKED));
}

// Ctrl+Z pressed in any window of the thread becomes the main window's undo
// command, which reaches the active note only; a plain Z does nothing.
TEST_F(ShellTest, CtrlZUndoesTheActiveNoteOnly) {
    SmallNotesWithoutDialog(40, 30);
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    Paper* drawn = GetPaper(0);
    HWND drawnWindow = drawn->GetWindow();
    HACCEL accelerators =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_TRUE(accelerators);
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    memcpy(keys, saved, sizeof keys);
    auto pressZ = [&](HWND target, bool control) {
        keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG z{target, WM_KEYDOWN, 'Z', 0x002C0001, 0, {0, 0}};
        DispatchWithAccelerator(mainWindow, accelerators, z);
        SetKeyboardState(saved);
    };

    // A pen dot at drawing-area point (5, 5): window point (6, 26).
    SendMessageA(drawnWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 26));
    SendMessageA(drawnWindow, WM_LBUTTONUP, 0, MAKELPARAM(6, 26));
    const Rgb ink = drawn->GetPicture()->GetRgb(6, 26);
    const Rgb paper = drawn->GetPicture()->GetRgb(20, 40);
    ASSERT_NE(paper, ink);

    ASSERT_TRUE(g_shell.toolPalette);
    ShowWindow(g_shell.toolPalette, SW_SHOWNORMAL);
    for (HWND other : {GetPaper(1)->GetWindow(), g_shell.toolPalette}) {
        SetActiveWindow(other);
        ASSERT_EQ(other, GetActiveWindow());
        pressZ(other, true);
        EXPECT_EQ(ink, drawn->GetPicture()->GetRgb(6, 26));
    }
    SetActiveWindow(drawnWindow);
    ASSERT_EQ(drawnWindow, GetActiveWindow());
    pressZ(drawnWindow, false);
    EXPECT_EQ(ink, drawn->GetPicture()->GetRgb(6, 26));
    pressZ(GetPaper(1)->GetWindow(), true);
    EXPECT_EQ(paper, drawn->GetPicture()->GetRgb(6, 26));
}

}  // namespace
}  // namespace app_test
