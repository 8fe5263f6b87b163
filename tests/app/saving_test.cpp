// Notes written while the program runs, and notes that outlive their own
// dialogs: the save timer of the main window, two size dialogs at once, and
// an exit while a note's dialog is open.
#include "shell_fixture.h"

namespace app_test {
namespace {

// Handles messages (timers included) until the condition holds or the time is
// up; whether it holds.
template <typename Condition>
bool PumpUntil(Condition condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// The last write time of a file; 0 when it does not exist.
ULONGLONG WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

// A pen stroke across a note's drawing area, as the mouse makes it.
void Stroke(Paper* paper, int y) {
    HWND window = paper->GetWindow();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(25, y));
}

void HoldLeftButton(bool held) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A new note gets its files soon; a burst of changes is written once, after
// it; nothing is written while a button is held; a note is written only when
// it changed since it was restored or written.
TEST_F(ShellTest, TheSaveTimerWritesAChangedNoteOnceAfterEachBurst) {
    SmallNotesWithoutDialog();
    StoreNote(5, RecordBytes(100, 50, 5, 0));
    ASSERT_TRUE(Start());
    const std::string made = DataFile(0, "bmp"), restored = DataFile(5, "bmp");
    const ULONGLONG stored = WriteTime(restored);
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_TRUE(PumpUntil([&] { return FileExists(made); }, 2500));
    const ULONGLONG first = WriteTime(made);

    for (int y = 25; y < 40; y += 5) {
        Stroke(GetPaper(0), y);
        PumpFor(300);
    }
    EXPECT_EQ(first, WriteTime(made));
    ASSERT_TRUE(PumpUntil([&] { return WriteTime(made) != first; }, 2500));
    const ULONGLONG written = WriteTime(made);
    PumpFor(1500);
    EXPECT_EQ(written, WriteTime(made));
    EXPECT_EQ(stored, WriteTime(restored));

    Stroke(GetPaper(5), 30);
    HoldLeftButton(true);
    PumpFor(1500);
    EXPECT_EQ(stored, WriteTime(restored));
    HoldLeftButton(false);
    EXPECT_TRUE(PumpUntil([&] { return WriteTime(restored) != stored; }, 1500));
    EXPECT_EQ(written, WriteTime(made));
    EXPECT_EQ((std::vector<std::string>{"0.bmp", "0.dat", "5.bmp", "5.dat"}),
              FilesIn(DataFolder()));
}

// A note's resize dialog is open when a new note asks for its size: each
// answer goes to its own note.
TEST_F(ShellTest, TwoSizeDialogsAtOnceEachSizeTheirOwnNote) {
    SmallNotesWithoutDialog(200, 200);
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    Paper* first = GetPaper(0);
    HWND resize = nullptr;
    HWND size = nullptr;
    auto answer = [](HWND dialog, const char* width, const char* height) {
        SetDlgItemTextA(dialog, IDC_SIZE_WIDTH, width);
        SetDlgItemTextA(dialog, IDC_SIZE_HEIGHT, height);
        PressButton(dialog, IDOK);
    };
    DialogScript steps;
    steps.WaitFor("サイズ設定", resize)
        .Then([&] { PostMessageA(mainWindow, WM_COMMAND, IDM_NEW_PAPER, 0); })
        .Until([&] {
            return (size = FindOtherDialog({resize, g_shell.toolPalette})) != nullptr;
        })
        .Then([&] { answer(size, "100", "60"); })
        .Until([] { return GetPaper(1) && GetPaper(1)->GetWindow(); })
        .Then([&] { answer(resize, "300", "250"); });
    steps.Start();
    first->OnCommand(first->GetWindow(), IDM_RESIZE);
    EXPECT_TRUE(steps.Stop()) << "steps done: " << steps.StepsDone();
    EXPECT_EQ(300, first->GetBodyWidth());
    EXPECT_EQ(250, first->GetBodyHeight());
    ASSERT_NE(nullptr, GetPaper(1));
    EXPECT_EQ(100, GetPaper(1)->GetBodyWidth());
    EXPECT_EQ(60, GetPaper(1)->GetBodyHeight());
}

// "終了" while a note's save-as dialog is open closes the dialogs, waits for
// the note's own code to return, then writes every note.
TEST_F(ShellTest, ExitWhileANoteAsksWhereToSaveClosesTheDialogsAndSavesEveryNote) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    DialogScript steps;
    steps.Until([] { return FindDialog("ファイル出力先指定") != nullptr; }).Then([&] {
        PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    });
    steps.Start();
    SendMessageA(GetPaper(0)->GetWindow(), WM_COMMAND, IDM_SAVE_AS, 0);
    EXPECT_TRUE(steps.Stop()) << "steps done: " << steps.StepsDone();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(mainWindow); }, 3000));
    mainWindow = nullptr;
    EXPECT_FALSE(PapersExist());
    EXPECT_EQ((std::vector<std::string>{"0.bmp", "0.dat", "1.bmp", "1.dat"}),
              FilesIn(DataFolder()));
}

}  // namespace
}  // namespace app_test
