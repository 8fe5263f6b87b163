// The hidden main window with an INI file and a data folder of its own: the
// notes it restores, makes and writes, its hot keys, Ctrl+Z, dialogs at once.
#include "app/entry.h"
#include "app/paper_registry.h"
#include "app/shell.h"
#include "paper/size_dialog.h"
#include "resources/resource.h"
#include "settings/hotkey_flags.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace test_support;

namespace {

class ShellTest : public ::testing::Test {
protected:
    // Notes of 40 x 30, made the hot key way, come without the size dialog.
    void SetUp() override {
        Ini("paper", "DataFolderPath", dataFolder);
        Ini("paper", "DefaultSizeX", "40");
        Ini("paper", "DefaultSizeY", "30");
        Ini("paper", "IsNoSizing", "1");
    }
    void TearDown() override { Stop(); }

    std::string DataFile(int number, const char* extension = "dat") const {
        return dataFolder + std::to_string(number) + "." + extension;
    }
    void Ini(const char* section, const char* key, const std::string& value) {
        WritePrivateProfileStringA(section, key, value.c_str(), iniPath.c_str());
    }
    // A stored note: N.dat and a blue 30 x 20 N.bmp.
    void StoreNote(int number) {
        CreateDirectoryA(dataFolder.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(DataFile(number), RecordBytes(100, 50, number, 0)));
        ASSERT_TRUE(WriteBmp(DataFile(number, "bmp"), 30, 20, 0x0000FF));
    }
    // Creates the main window, which runs the whole start-up.
    HWND Start() {
        RegisterMainWindowClass(GetModuleHandleA(nullptr));  // fails harmlessly after the first
        mainWindow = CreateMainWindow(GetModuleHandleA(nullptr), ShellPaths{iniPath});
        PumpMessages();
        return mainWindow;
    }
    // Destroys it (the exit sequence); the quit message it posts is taken out.
    void Stop() {
        if (IsWindow(mainWindow)) DestroyWindow(mainWindow);
        PumpMessages();
    }
    // A new note the way a tray double click makes one; its slot or -1.
    int NewNoteByDoubleClick() {
        int slot = FindFreeSlot();
        SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
        PumpMessages();
        return GetPaper(slot) && GetPaper(slot)->GetWindow() ? slot : -1;
    }

    TemporaryFolder folder;
    const std::string iniPath = folder.File("inkslip.ini");
    const std::string dataFolder = folder.File("data\\");
    HWND mainWindow = nullptr;
};

// Handles messages (timers included) until the condition, if any, holds or
// the time is up; whether it holds.
bool Pump(DWORD milliseconds, const std::function<bool()>& until = nullptr) {
    const DWORD start = GetTickCount();
    while (!(until && until())) {
        if (GetTickCount() - start > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// A pen stroke across a note's drawing area, as the mouse makes it.
void Stroke(Paper* paper, int y) {
    SendMessageA(paper->GetWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y));
    SendMessageA(paper->GetWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, y));
    SendMessageA(paper->GetWindow(), WM_LBUTTONUP, 0, MAKELPARAM(25, y));
}

// Restored notes come hidden as stored, their files kept against a kill. A
// hot key held elsewhere is forgotten, written as 0 at exit. With IsNoSizing,
// the new-note hot key takes the lowest free slot without asking, even from a
// default size of 0, shown and on top; the hide hot key toggles.
TEST_F(ShellTest, StartUpRestoresNotesRegistersHotkeysAndNewNotesJoinThem) {
    const UINT ctrlAlt = MOD_CONTROL | MOD_ALT;
    StoreNote(3);
    Ini("paper", "IsHide", "1");
    Ini("paper", "IsTopmost", "1");
    Ini("hotkey", "IsUseHotkey", "1");
    Ini("hotkey", "modifiers 0", std::to_string(ctrlAlt));
    Ini("hotkey", "virtual 0", std::to_string('N'));
    Ini("hotkey", "modifiers 1", std::to_string(ctrlAlt));
    Ini("hotkey", "virtual 1", std::to_string('J'));
    ASSERT_TRUE(RegisterHotKey(nullptr, 5, ctrlAlt, 'N'));  // held by the thread
    ASSERT_TRUE(Start());
    UnregisterHotKey(nullptr, 5);
    EXPECT_EQ(0u, g_settings.HotkeyVirtualKeys[0]);
    EXPECT_FALSE(IsHotkeyFree(ctrlAlt, 'J'));  // HK_HIDE is ours
    EXPECT_TRUE(GetMenuState(g_shell.trayMenu, IDM_HIDE_ALL, MF_BYCOMMAND) & MF_CHECKED);
    ASSERT_NE(nullptr, GetPaper(3));
    HWND restored = GetPaper(3)->GetWindow();
    EXPECT_FALSE(IsWindowVisible(restored));
    EXPECT_TRUE(FileExists(DataFile(3)));

    {
        DialogAnswerer answerer(IDCANCEL);
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        g_settings.DefaultSizeX = 0;
        SendMessageA(mainWindow, WM_HOTKEY, HK_NEW, 0);
        EXPECT_TRUE(answerer.Seen().empty());
    }
    ASSERT_TRUE(GetPaper(0) && GetPaper(1));
    EXPECT_EQ(40, GetPaper(0)->GetBodyWidth());
    EXPECT_EQ(MIN_PAPER_SIZE, GetPaper(1)->GetBodyWidth());
    HWND made = GetPaper(0)->GetWindow();
    EXPECT_TRUE(IsWindowVisible(made));
    EXPECT_TRUE(GetWindowLongPtrA(made, GWL_EXSTYLE) & WS_EX_TOPMOST);

    SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
    EXPECT_TRUE(IsWindowVisible(restored));
    SendMessageA(mainWindow, WM_HOTKEY, HK_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(made));
    Stop();
    EXPECT_EQ(0u, GetPrivateProfileIntA("hotkey", "virtual 0", -1, iniPath.c_str()));
    EXPECT_EQ(UINT('J'), GetPrivateProfileIntA("hotkey", "virtual 1", -1, iniPath.c_str()));
}

// Ctrl+Z, whichever window it reaches, undoes the active note only; Z alone, nothing.
TEST_F(ShellTest, CtrlZUndoesTheActiveNoteOnly) {
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_EQ(1, NewNoteByDoubleClick());
    Paper* drawn = GetPaper(0);
    HWND other = GetPaper(1)->GetWindow();
    HACCEL accelerators =
        LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    auto pressZ = [&](HWND active, bool control) {
        SetActiveWindow(active);
        ASSERT_EQ(active, GetActiveWindow());
        SetKeyDown(VK_CONTROL, control);
        MSG z{other, WM_KEYDOWN, 'Z', 0x002C0001, 0, {0, 0}};
        DispatchWithAccelerator(mainWindow, accelerators, z);
        SetKeyDown(VK_CONTROL, false);
    };
    Stroke(drawn, 26);
    const Rgb ink = drawn->GetPicture()->GetRgb(6, 26);
    const Rgb paper = drawn->GetPicture()->GetRgb(30, 40);
    ASSERT_NE(paper, ink);
    pressZ(other, true);
    EXPECT_EQ(ink, drawn->GetPicture()->GetRgb(6, 26));
    pressZ(drawn->GetWindow(), false);
    EXPECT_EQ(ink, drawn->GetPicture()->GetRgb(6, 26));
    pressZ(drawn->GetWindow(), true);
    EXPECT_EQ(paper, drawn->GetPicture()->GetRgb(6, 26));
}

// A deleted N.bmp shows whether a note was written again: a new note soon; a
// burst once, after it; nothing while a button is held; an unchanged note not.
TEST_F(ShellTest, TheSaveTimerWritesAChangedNoteOnceAfterEachBurst) {
    StoreNote(5);
    ASSERT_TRUE(Start());
    const std::string made = DataFile(0, "bmp"), restored = DataFile(5, "bmp");
    ASSERT_EQ(0, NewNoteByDoubleClick());
    ASSERT_TRUE(Pump(2500, [&] { return FileExists(made); }));
    DeleteFileA(made.c_str());
    DeleteFileA(restored.c_str());
    for (int y = 25; y < 40; y += 5) {
        Stroke(GetPaper(0), y);
        Pump(300);
    }
    EXPECT_FALSE(FileExists(made));
    ASSERT_TRUE(Pump(2500, [&] { return FileExists(made); }));
    DeleteFileA(made.c_str());
    Pump(1500);
    EXPECT_FALSE(FileExists(made));
    EXPECT_FALSE(FileExists(restored));

    Stroke(GetPaper(5), 30);
    SetKeyDown(VK_LBUTTON, true);
    Pump(1500);
    EXPECT_FALSE(FileExists(restored));
    SetKeyDown(VK_LBUTTON, false);
    EXPECT_TRUE(Pump(1500, [&] { return FileExists(restored); }));
    EXPECT_FALSE(FileExists(made));
}

// Each size dialog's answer goes to its own note. A note peeled off while a
// wide BMP's note asks is deleted, not the one being made. "終了" during a
// save-as dialog closes it, waits for the note's code, then writes every note.
TEST_F(ShellTest, NotesOutliveTheDialogsOpenAtOnce) {
    Ini("paper", "DefaultSizeX", "200");
    ASSERT_TRUE(Start());
    ASSERT_EQ(0, NewNoteByDoubleClick());
    Paper* first = GetPaper(0);
    HWND resize = nullptr, size = nullptr;
    auto answer = [](HWND dialog, const char* width, const char* height) {
        SetDlgItemTextA(dialog, IDC_SIZE_WIDTH, width);
        SetDlgItemTextA(dialog, IDC_SIZE_HEIGHT, height);
        PressButton(dialog, IDOK);
    };
    DialogScript sizes;
    sizes.WaitFor("サイズ設定", resize)
        .Then([&] { PostMessageA(mainWindow, WM_COMMAND, IDM_NEW_PAPER, 0); })
        .Until([&] {
            // The new note's dialog (the palette is a dialog too).
            for (HWND dialog : ThreadDialogs()) {
                if (dialog != resize && dialog != g_shell.toolPalette) size = dialog;
            }
            return size != nullptr;
        })
        .Then([&] { answer(size, "100", "60"); })
        .Until([] { return GetPaper(1) && GetPaper(1)->GetWindow(); })
        .Then([&] { answer(resize, "300", "250"); });
    sizes.Start();
    SendMessageA(first->GetWindow(), WM_COMMAND, IDM_RESIZE, 0);
    EXPECT_TRUE(sizes.Stop()) << "steps done: " << sizes.StepsDone();
    EXPECT_EQ(250, first->GetBodyHeight());
    ASSERT_NE(nullptr, GetPaper(1));
    EXPECT_EQ(60, GetPaper(1)->GetBodyHeight());

    const std::string wide = folder.File("wide.bmp");
    ASSERT_TRUE(WriteBmp(wide, GetSystemMetrics(SM_CXSCREEN), 10, 0x00FF00));
    HWND question = nullptr;
    DialogScript purge;
    purge.WaitFor("Inkslip", question)
        .Then([] { GetPaper(1)->PeelOff(); })
        .Until([] { return GetPaper(1) == nullptr; })
        .Then([&] { PressButton(question, IDYES); });
    purge.Start();
    NewPaperFromFile(mainWindow, wide.c_str());
    EXPECT_TRUE(purge.Stop()) << "steps done: " << purge.StepsDone();
    ASSERT_TRUE(GetPaper(2) && IsWindowVisible(GetPaper(2)->GetWindow()));

    // A note made while another's failure is reported keeps its slot.
    const std::string text = folder.File("note.txt"), small = folder.File("small.bmp");
    ASSERT_TRUE(WriteFileBytes(text, "not a picture") && WriteBmp(small, 40, 30, 0xFF0000));
    HWND failure = nullptr;
    DialogScript failed;
    failed.WaitFor("Inkslip", failure)
        .Then([] { GetPaper(2)->PeelOff(); })
        .Until([] { return GetPaper(2) == nullptr; })
        .Then([&] { NewPaperFromFile(mainWindow, small.c_str()); })
        .Then([&] { PressButton(failure, IDOK); });
    failed.Start();
    NewPaperFromFile(mainWindow, text.c_str());
    EXPECT_TRUE(failed.Stop()) << "steps done: " << failed.StepsDone();
    ASSERT_TRUE(GetPaper(1) && GetPaper(1)->GetWindow());

    DialogScript exit;
    exit.Until([] { return FindDialog("ファイル出力先指定") != nullptr; }).Then([&] {
        PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    });
    exit.Start();
    SendMessageA(first->GetWindow(), WM_COMMAND, IDM_SAVE_AS, 0);
    EXPECT_TRUE(exit.Stop()) << "steps done: " << exit.StepsDone();
    EXPECT_TRUE(IsWindow(mainWindow)) << "the exit did not wait for the note";
    EXPECT_TRUE(Pump(3000, [&] { return !IsWindow(mainWindow); }));
    EXPECT_FALSE(PapersExist());
    EXPECT_TRUE(FileExists(DataFile(0)) && FileExists(DataFile(1)));
}

// 最前面表示: the trail byte of 表 is 0x5C, the code of a backslash.
const std::string TOPMOST_CP932("\x8D\xC5\x91\x4F\x96\xCA\x95\x5C\x8E\xA6");

// Japanese texts reach the ANSI API as code page 932 bytes: the compiled
// literals, and the resource script's texts (linked into this program).
TEST(ResourceTexts, LiteralsAndResourceTextsAreCodePage932) {
    EXPECT_EQ(TOPMOST_CP932, std::string("最前面表示"));
    // A 0x5C trail byte must not swallow the next character as an escape.
    EXPECT_EQ(std::string("\x83\x5C\x6E"), std::string("ソn"));
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    char text[64] = "";
    EXPECT_EQ(10, GetMenuStringA(menu, IDM_TOPMOST, text, sizeof text, MF_BYCOMMAND));
    EXPECT_EQ(TOPMOST_CP932, std::string(text));
    DestroyMenu(menu);
}

}  // namespace
