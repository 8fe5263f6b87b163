// Notes written while the program runs, and notes that outlive their own
// dialogs: the save timer of the main window, two size dialogs at once, and
// an exit while a note's dialog is open.
#include "shell_fixture.h"

#include "paper/size_dialog.h"

namespace app_test {
namespace {

constexpr char SIZE_CAPTION[] = "サイズ設定";

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
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(30, y));
}

TEST_F(ShellTest, ChangedNotesAreWrittenOnceAfterEachBurstAndIdleNotesNever) {
    SmallNotesWithoutDialog(40, 30);
    StoreNote(5, 100, 50);
    ASSERT_TRUE(Start());
    const ULONGLONG stored = WriteTime(DataFile(5));
    ASSERT_EQ(0, NewNoteByDoubleClick());
    // A new note gets its files soon after it is made.
    ASSERT_TRUE(PumpUntil([&] { return FileExists(DataFolder() + "0.bmp"); }, 2500));
    const ULONGLONG made = WriteTime(DataFolder() + "0.bmp");

    // A burst of strokes: nothing is written while it lasts...
    for (int y = 25; y < 40; y += 5) {
        Stroke(GetPaper(0), y);
        PumpFor(300);
    }
    EXPECT_EQ(made, WriteTime(DataFolder() + "0.bmp"));
    // ...and once after it, with every stroke.
    ASSERT_TRUE(PumpUntil([&] { return WriteTime(DataFolder() + "0.bmp") != made; }, 2500));
    const ULONGLONG written = WriteTime(DataFolder() + "0.bmp");
    DdbCanvas image(1, 1);
    ASSERT_TRUE(image.LoadBmp((DataFolder() + "0.bmp").c_str()));
    EXPECT_EQ(0u, image.GetRgb(10, 35 - 22));

    // Nothing more while idle, and never a note that did not change.
    PumpFor(1500);
    EXPECT_EQ(written, WriteTime(DataFolder() + "0.bmp"));
    EXPECT_EQ(stored, WriteTime(DataFile(5)));

    // Not while a button is held (a drag under way).
    Stroke(GetPaper(0), 45);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = 0x80;
    SetKeyboardState(keys);
    PumpFor(1500);
    EXPECT_EQ(written, WriteTime(DataFolder() + "0.bmp"));
    keys[VK_LBUTTON] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(PumpUntil([&] { return WriteTime(DataFolder() + "0.bmp") != written; }, 1500));
    EXPECT_FALSE(GetPaper(0)->IsDirty());
    EXPECT_EQ(stored, WriteTime(DataFile(5)));
    // Only N.dat and N.bmp stay in the data folder.
    EXPECT_EQ((std::vector<std::string>{"0.bmp", "0.dat", "5.bmp", "5.dat"}),
              FilesIn(DataFolder()));
}

TEST_F(ShellTest, TwoSizeDialogsAtOnceEachSizeTheirOwnNote) {
    SmallNotesWithoutDialog(200, 200);
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    Paper* first = GetPaper(0);
    HWND resize = nullptr;
    HWND size = nullptr;
    DialogScript steps;
    steps.WaitFor(SIZE_CAPTION, resize)
        .Then([&] { PostMessageA(mainWindow, WM_COMMAND, IDM_NEW_PAPER, 0); })
        .Until([&] {
            for (HWND dialog : ThreadDialogs()) {
                char caption[32] = "";
                GetWindowTextA(dialog, caption, sizeof caption);
                if (dialog != resize && lstrcmpA(caption, SIZE_CAPTION) == 0) size = dialog;
            }
            return size != nullptr;
        })
        .Then([&] {
            SetDlgItemTextA(size, IDC_SIZE_WIDTH, "100");
            SetDlgItemTextA(size, IDC_SIZE_HEIGHT, "60");
            PressButton(size, IDOK);
        })
        .Until([] { return GetPaper(1) && GetPaper(1)->GetWindow(); })
        .Then([&] {
            SetDlgItemTextA(resize, IDC_SIZE_WIDTH, "300");
            SetDlgItemTextA(resize, IDC_SIZE_HEIGHT, "250");
            PressButton(resize, IDOK);
        });
    steps.Start();
    first->OnCommand(first->GetWindow(), IDM_RESIZE);
    EXPECT_TRUE(steps.Stop()) << "steps done: " << steps.StepsDone();
    EXPECT_EQ(300, first->GetBodyWidth());
    EXPECT_EQ(250, first->GetBodyHeight());
    ASSERT_NE(nullptr, GetPaper(1));
    EXPECT_EQ(100, GetPaper(1)->GetBodyWidth());
    EXPECT_EQ(60, GetPaper(1)->GetBodyHeight());
}

TEST_F(ShellTest, ExitWhileANoteAsksWhereToSaveClosesTheDialogsAndSavesEveryNote) {
    SmallNotesWithoutDialog();
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    HWND note = GetPaper(0)->GetWindow();
    DialogScript steps;
    steps.Until([] { return FindDialog("ファイル出力先指定") != nullptr; }).Then([&] {
        // The note is in its own dialog: it must outlive the exit's start.
        PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    });
    steps.Start();
    SendMessageA(note, WM_COMMAND, IDM_SAVE_AS, 0);
    EXPECT_TRUE(steps.Stop()) << "steps done: " << steps.StepsDone();
    // The exit goes on once the note's own code has returned.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(mainWindow); }, 3000));
    mainWindow = nullptr;
    EXPECT_FALSE(PapersExist());
    EXPECT_EQ((std::vector<std::string>{"0.bmp", "0.dat", "1.bmp", "1.dat"}),
              FilesIn(DataFolder()));
}

}  // namespace
}  // namespace app_test
