// Notes in the program's registry under a hidden main window that purges
// torn-down notes as the real one does; and the size dialog.
#include "app/paper_registry.h"
#include "paper/paper.h"
#include "paper/size_dialog.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>

namespace {

using namespace test_support;

constexpr Rgb WHITE = 0xFFFFFF;
constexpr Rgb BLUE = 0x0000FF;  // the pen colour of the tests
constexpr Rgb RED = 0xFF0000;
constexpr Rgb GREEN = 0x00FF00;

std::map<UINT, int> mainWindowMessages;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++mainWindowMessages[message];
    if (message == WM_PAPER_TORN_DOWN) PurgePapers();
    return DefWindowProcA(window, message, wParam, lParam);
}

class PaperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings(g_settings);
        g_settings.Tool.PenColor = ColorQuad{0xFF, 0x00, 0x00, 0xFF};  // blue
        g_settings.Tool.EraseSize = 1;
        lstrcpynA(g_settings.DataFolderPath, folder.Path().c_str(),
                  sizeof g_settings.DataFolderPath);
        Paper::SetToolState(&g_settings.Tool);
        ASSERT_TRUE(AllocatePapers());
        mainWindowMessages.clear();
        mainWindow = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainProc));
    }
    void TearDown() override {
        FreePapers();
        DestroyWindow(mainWindow);
        PumpMessages();
    }

    // A new note with a 20 × 20 tab in slot `number`, shown.
    Paper* NewPaper(int number, int width = 200, int height = 200) {
        Paper* paper = AddPaper(number, std::make_unique<Paper>());
        EXPECT_TRUE(paper->Create(mainWindow, PaperWindowProc, 20, 20, width, height, number));
        return Show(paper);
    }
    // A note from CreateFromFile in slot `number`, shown; on failure null, and no window.
    Paper* PaperFromFile(const std::string& path, int number) {
        Paper* paper = AddPaper(number, std::make_unique<Paper>());
        if (paper->CreateFromFile(mainWindow, PaperWindowProc, 20, 20, path.c_str(), number)) {
            return Show(paper);
        }
        EXPECT_EQ(nullptr, paper->GetWindow()) << path;
        RemovePaper(number);
        return nullptr;
    }
    static Paper* Show(Paper* paper) {
        ShowWindow(paper->GetWindow(), SW_SHOWNOACTIVATE);
        UpdateWindow(paper->GetWindow());
        return paper;
    }
    // A mouse message with a point in window coordinates, sent as words.
    static void Mouse(Paper* paper, UINT message, int x, int y) {
        SendMessageA(paper->GetWindow(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
    }
    // A press at the first point, moves to the others, a release at the last.
    static void Drag(Paper* paper, std::initializer_list<POINT> points) {
        for (const POINT& point : points) {
            Mouse(paper, &point == points.begin() ? WM_LBUTTONDOWN : WM_MOUSEMOVE, point.x,
                  point.y);
        }
        Mouse(paper, WM_LBUTTONUP, (points.end() - 1)->x, (points.end() - 1)->y);
    }
    // Files of the folder dropped on the note, as the shell hands them over.
    LRESULT Drop(Paper* paper, std::initializer_list<const char*> names) {
        std::string list;
        for (const char* name : names) list += folder.File(name) + '\0';
        // Zeroed, so the list ends with an empty name; ANSI, right after the header.
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() + 1);
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        std::memcpy(drop + 1, list.data(), list.size());
        GlobalUnlock(memory);
        return SendMessageA(paper->GetWindow(), WM_DROPFILES, WPARAM(memory), 0);
    }
    static void MoveTo(Paper* paper, int x, int y) {
        SetWindowPos(paper->GetWindow(), nullptr, x, y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND mainWindow = nullptr;
    TemporaryFolder folder;
};

TEST_F(PaperTest, TheTabMovesTheNoteTheRestTakesTheToolsAndAResizeKeepsThePicture) {
    Paper* paper = NewPaper(0);
    const POINT at = paper->GetPosition();
    const auto hit = [&](int x, int y) {
        return SendMessageA(paper->GetWindow(), WM_NCHITTEST, 0, MAKELPARAM(at.x + x, at.y + y));
    };
    EXPECT_EQ(HTCAPTION, hit(21, 20));  // the 22 × 21 tab
    EXPECT_EQ(HTCLIENT, hit(5, 21));
    EXPECT_NE(HTCAPTION, hit(100, 5));  // right of the tab: no part of the note

    Drag(paper, {{10, 30}, {30, 30}, {50, 30}});  // the release draws the end point
    for (int x = 5; x < 60; ++x) {
        EXPECT_EQ(x >= 10 && x <= 50 ? BLUE : WHITE, paper->GetPicture()->GetRgb(x, 30)) << x;
    }
    Drag(paper, {{20, 50}, {-30, 50}});  // -30 arrives as the word 0xFFE2: the edge
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(0, 50));

    // The fill starts where the button went down: a wall splits the note in two.
    paper->GetPicture()->FillBox(100, 0, 102, 223, 0);
    g_settings.Tool.DrawMode = DRAW_FILL;
    Drag(paper, {{150, 100}, {50, 100}});
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(150, 150));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(50, 150));
    // The eraser paints the background of now.
    g_settings.BgColor = ColorQuad{0xFF, 0x00, 0xFF, 0x00};  // green
    g_settings.Tool.DrawMode = DRAW_ERASE;
    Drag(paper, {{140, 100}, {160, 100}});
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(150, 100));
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(150, 101));

    // A resize keeps the top left and fills the rest with the background of now.
    ASSERT_TRUE(paper->Resize(300, 300));
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(150, 150));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(50, 150));   // the old background stays
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(201, 100));  // no old frame lines
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(50, 222));
    // A size whose picture cannot be had leaves the note as it was.
    EXPECT_FALSE(paper->Resize(200000, 200000));
    EXPECT_EQ(300, paper->GetBodyWidth());
    // A note whose picture cannot be had is no note.
    Paper tooLarge;
    EXPECT_FALSE(tooLarge.Create(mainWindow, PaperWindowProc, 20, 20, 100000, 100000, 7));
    EXPECT_EQ(nullptr, tooLarge.GetWindow());
    WNDCLASSA unregistered;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Inkslip7", &unregistered));
}

TEST_F(PaperTest, UndoSwapsWithThePictureOfTheLastPressAlsoAfterAnAltPress) {
    // Alt picks the colour at the press; let go, the drag draws. On a fresh
    // note that Alt press was its first, and undo still takes the stroke away.
    Paper* paper = NewPaper(0);
    EXPECT_TRUE(paper->Undo());  // nothing to undo yet: nothing changes
    paper->GetPicture()->SetRgb(10, 100, RED);
    SetKeyDown(VK_MENU, true);
    Mouse(paper, WM_LBUTTONDOWN, 10, 100);
    SetKeyDown(VK_MENU, false);
    EXPECT_EQ(RED, ColorQuadToRgb(g_settings.Tool.PenColor));
    EXPECT_EQ(1, mainWindowMessages[WM_PEN_COLOR_PICKED]);  // for the tool palette
    Mouse(paper, WM_MOUSEMOVE, 60, 100);
    Mouse(paper, WM_LBUTTONUP, 60, 100);
    ASSERT_EQ(RED, paper->GetPicture()->GetRgb(30, 100));
    // A later pick draws nothing and keeps what undo brings back.
    SetKeyDown(VK_MENU, true);
    Drag(paper, {{80, 80}});
    SetKeyDown(VK_MENU, false);
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(80, 80));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(30, 100));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(30, 100));

    paper->ToggleLock();
    UpdateWindow(paper->GetWindow());
    EXPECT_EQ(0u, paper->GetPicture()->GetRgb(7, 3));  // the padlock in the tab
    EXPECT_FALSE(paper->Undo());
    // Locked, a drag draws nothing, but its press still refreshes the undo copy.
    Drag(paper, {{90, 90}});
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(90, 90));
    paper->ToggleLock();
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(30, 100));
}

TEST_F(PaperTest, SaveAsAppendsBmpUnlessPresentAndReportsWhatFails) {
    Paper* paper = NewPaper(0);
    EXPECT_TRUE(paper->SaveAsFile(folder.File("memo").c_str()));
    EXPECT_TRUE(paper->SaveAsFile(folder.File("copy.BMP").c_str()));
    EXPECT_EQ((std::vector<std::string>{"copy.BMP", "memo.bmp"}), FilesIn(folder.Path()));
    DialogAnswerer answerer(IDCANCEL);
    paper->OnCommand(paper->GetWindow(), IDM_SAVE_AS);  // the save dialog, cancelled
    std::string tooLong = folder.Path();
    tooLong.append(MAX_PATH - 1 - tooLong.size(), 'a');  // too long once ".bmp" is added
    EXPECT_FALSE(paper->SaveAsFile(tooLong.c_str()));
    ASSERT_EQ(3u, answerer.Seen().size());
    EXPECT_EQ("ファイル出力先指定", answerer.Seen()[0].caption);
    EXPECT_EQ("ファイルの保存に失敗しました。", answerer.Seen()[1].text);
    EXPECT_EQ("BMPファイルの出力に失敗しました。", answerer.Seen()[2].text);
}

TEST_F(PaperTest, TeardownSavesLeavesNothingBehindAndFreesTheSlotOnceTheNoteReturns) {
    // The session's end saves a note and keeps it.
    Paper* paper = NewPaper(6);
    EXPECT_EQ(1, SendMessageA(paper->GetWindow(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"6.bmp", "6.dat"}), FilesIn(folder.Path()));
    EXPECT_TRUE(paper->Destroy());
    EXPECT_EQ(nullptr, GetPropA(mainWindow, "Inkslip6"));
    WNDCLASSA unregistered;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Inkslip6", &unregistered));
    PumpMessages();  // the purge
    EXPECT_EQ(nullptr, GetPaper(6));

    // A note torn down inside its own question is deleted only after it returns.
    g_settings.IsDelWarning = 1;
    paper = NewPaper(4);
    Paper* other = NewPaper(5);
    bool keptWhileAsking = false;
    DialogScript steps;
    steps.Until([] { return !ThreadDialogs().empty(); }).Then([&] {
        // Destroyed from outside while it asks, and another, purged in the question's loop.
        DestroyWindow(paper->GetWindow());
        DestroyWindow(other->GetWindow());
        PumpMessages();
        keptWhileAsking = GetPaper(4) == paper && GetPaper(5) == nullptr;
    });
    steps.Start();
    SendMessageA(paper->GetWindow(), WM_COMMAND, IDM_PEEL_OFF, 0);
    EXPECT_TRUE(steps.Stop());
    EXPECT_TRUE(keptWhileAsking);
    PumpMessages();
    EXPECT_EQ(nullptr, GetPaper(4));
    // Saved before it went, and its number can be had again.
    EXPECT_TRUE(FileExists(folder.File("5.dat")));
    EXPECT_NE(nullptr, NewPaper(5)->GetWindow());
}

TEST_F(PaperTest, ANoteComesBackAsSavedLockedAndWhereItWasOrOnScreen) {
    // Locked, and partly left of the screen (touching it, so it stays there).
    Paper* paper = NewPaper(3);
    Drag(paper, {{10, 30}, {50, 30}});
    paper->ToggleLock();
    MoveTo(paper, -20, 10);
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    EXPECT_EQ(std::string("\xEC\xFF\x0A\x00\x03\x00\x01\x00", 8),
              ReadFileBytes(folder.File("3.dat")));
    // N.bmp holds the drawing area alone: no frame, no tab.
    DdbCanvas image(1, 1);
    ASSERT_TRUE(image.LoadBmp(folder.File("3.bmp").c_str()));
    EXPECT_EQ(WHITE, image.GetRgb(0, 0));
    EXPECT_EQ(BLUE, image.GetRgb(9, 8));
    RemovePaper(3);
    Paper* restored = PaperFromFile(folder.File("3.dat"), 3);
    ASSERT_NE(nullptr, restored);
    RECT rect;
    GetWindowRect(restored->GetWindow(), &rect);
    EXPECT_EQ(-20, rect.left);
    EXPECT_EQ(10, rect.top);
    EXPECT_FALSE(restored->IsDirty());
    EXPECT_TRUE(restored->IsLocked());
    EXPECT_TRUE(GetMenuState(restored->GetMenu(), IDM_LOCK, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(restored->GetMenu(), IDM_PEEL_OFF, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(BLUE, restored->GetPicture()->GetRgb(50, 30));
    EXPECT_EQ(WHITE, restored->GetPicture()->GetRgb(51, 30));

    // Stored off every monitor: back just inside the nearest one, to be written.
    ASSERT_TRUE(WriteBmp(folder.File("2.bmp"), 100, 100, WHITE));
    ASSERT_TRUE(WriteFileBytes(folder.File("2.dat"), RecordBytes(-5000, 30, 2, 0)));
    Paper* moved = PaperFromFile(folder.File("2.dat"), 2);
    ASSERT_NE(nullptr, moved);
    GetWindowRect(moved->GetWindow(), &rect);
    EXPECT_NE(nullptr, MonitorFromRect(&rect, MONITOR_DEFAULTTONULL));
    EXPECT_EQ(30, rect.top);
    EXPECT_TRUE(moved->IsDirty());
}

TEST_F(PaperTest, RefusedRecordsMakeNoNoteAndKeepTheirFiles) {
    ASSERT_TRUE(WriteBmp(folder.File("3.bmp"), 50, 50, WHITE));
    ASSERT_TRUE(WriteFileBytes(folder.File("3.dat"), RecordBytes(10, 10, 4, 0)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("3.dat"), 3));  // another number
    ASSERT_TRUE(WriteFileBytes(folder.File("3.dat"), RecordBytes(10, 10, 3, 0).substr(0, 7)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("3.dat"), 3));  // short
    ASSERT_TRUE(WriteFileBytes(folder.File("3.Dat"), RecordBytes(10, 10, 3, 0)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("3.Dat"), 3));  // no data file name
    ASSERT_TRUE(WriteFileBytes(folder.File("5.dat"), RecordBytes(10, 10, 5, 0)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("5.dat"), 5));  // no 5.bmp
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat", "5.dat"}), FilesIn(folder.Path()));
}

TEST_F(PaperTest, EveryKindOfChangeMarksTheNoteAndASaveClearsIt) {
    Paper* paper = NewPaper(0);
    EXPECT_TRUE(paper->IsDirty());  // a new note has no files yet
    ASSERT_TRUE(WriteBmp(folder.File("drop.bmp"), 30, 20, RED));
    const auto tool = [&](DrawMode mode) {
        return [this, paper, mode] {
            g_settings.Tool.DrawMode = mode;
            Drag(paper, {{20, 40}, {40, 60}});
        };
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"pen", tool(DRAW_PEN)},
        {"eraser", tool(DRAW_ERASE)},
        {"box", tool(DRAW_BOX)},
        {"ellipse", tool(DRAW_CIRCLE)},
        {"fill", tool(DRAW_FILL)},
        {"undo", [paper] { paper->Undo(); }},
        {"lock", [paper] { paper->ToggleLock(); }},
        {"unlock", [paper] { paper->ToggleLock(); }},
        {"move", [paper] { MoveTo(paper, 30, 40); }},
        {"resize", [paper] { paper->Resize(120, 90); }},
        {"drop", [&] { Drop(paper, {"drop.bmp"}); }},
    };
    for (const auto& [name, change] : changes) {
        ASSERT_TRUE(paper->Save(folder.Path().c_str()));
        EXPECT_FALSE(paper->IsDirty());
        const int notices = mainWindowMessages[WM_PAPER_CHANGED];
        change();
        EXPECT_TRUE(paper->IsDirty()) << name;
        EXPECT_GT(mainWindowMessages[WM_PAPER_CHANGED], notices) << name;  // to be written
    }
}

TEST_F(PaperTest, SavesGoThroughTemporaryFilesIntoFoldersMadeAsNeeded) {
    // A longer old N.dat and a temporary file left by a crash are written over.
    Paper* paper = NewPaper(3);
    ASSERT_TRUE(WriteFileBytes(folder.File("3.dat"), "old content"));
    ASSERT_TRUE(WriteFileBytes(folder.File("3.da~"), "left by a crash"));
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat"}), FilesIn(folder.Path()));
    EXPECT_EQ(8u, ReadFileBytes(folder.File("3.dat")).size());

    // N.bmp blocked by a folder: still to be written, N.dat kept, no leftovers.
    ASSERT_TRUE(DeleteFileA(folder.File("3.bmp").c_str()));
    ASSERT_TRUE(CreateDirectoryA(folder.File("3.bmp").c_str(), nullptr));
    paper->ToggleLock();
    EXPECT_FALSE(paper->Save(folder.Path().c_str()));
    EXPECT_TRUE(paper->IsDirty());
    EXPECT_EQ(std::vector<std::string>{"3.dat"}, FilesIn(folder.Path()));
    ASSERT_TRUE(RemoveDirectoryA(folder.File("3.bmp").c_str()));

    // Missing levels made, so deep that N.dat just fits the path limit; the old pair goes.
    std::string deep = folder.Path();
    while (deep.size() < 253) {
        const size_t room = 253 - deep.size();
        deep += std::string(room > 80 ? 40 : room - 1, 'd') + "\\";
    }
    ASSERT_EQ(258u, (deep + "3.dat").size());
    EXPECT_TRUE(paper->Save(deep.c_str()));
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat"}), FilesIn(deep));
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

TEST_F(PaperTest, ABmpFileMakesANoteOrReplacesAPictureOrLeavesTheNoteAsItWas) {
    ASSERT_TRUE(WriteBmp(folder.File("tall.bmp"), 50, 300, RED));
    ASSERT_TRUE(WriteBmp(folder.File("small.bmp"), 10, 10, RED));
    ASSERT_TRUE(WriteFileBytes(folder.File("broken.bmp"), "BM not really"));
    ASSERT_TRUE(WriteBmp(folder.File("large.bmp"), ScreenLimit(GetSystemMetrics(SM_CXSCREEN)) + 1,
                         ScreenLimit(GetSystemMetrics(SM_CYSCREEN)) + 1, WHITE));
    DialogAnswerer answerer(IDNO);
    // A new note from a file takes the picture's size; a large one asks, once.
    EXPECT_EQ(10, PaperFromFile(folder.File("small.bmp"), 1)->GetBodyHeight());
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("large.bmp"), 2));

    Paper* paper = NewPaper(0);
    paper->GetPicture()->SetRgb(30, 60, BLUE);
    EXPECT_EQ(1, Drop(paper, {"small.Bmp"}));  // a mixed-case extension is no BMP name: ignored
    EXPECT_EQ(0, Drop(paper, {"broken.bmp"}));
    EXPECT_EQ(200, paper->GetBodyWidth());
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));
    // Only the first file counts; the note takes the picture's size and shape.
    EXPECT_EQ(1, Drop(paper, {"tall.bmp", "broken.bmp"}));
    EXPECT_EQ(50, paper->GetBodyWidth());
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(50, 321));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(paper->GetWindow(), region);
    EXPECT_TRUE(PtInRegion(region, 51, 322));
    DeleteObject(region);
    // Without its region record the drop stops, with the note as it was.
    ASSERT_TRUE(RemovePropA(mainWindow, "Inkslip0"));
    EXPECT_EQ(0, Drop(paper, {"small.bmp"}));
    EXPECT_EQ(50, paper->GetBodyWidth());
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(50, 321));
    ASSERT_EQ(3u, answerer.Seen().size());
    EXPECT_EQ("ドロップファイルの読込みに失敗しました。", answerer.Seen()[1].text);
    EXPECT_EQ("リージョンの再取得に失敗しました。", answerer.Seen()[2].text);
}

TEST(SizeDialog, RaisesSmallSizesAsksAboutLargeOnesAndStoresTheSizeOnOk) {
    const int wide = ScreenLimit(GetSystemMetrics(SM_CXSCREEN)) + 1;
    int32_t pair[2] = {200, 150};
    HWND dialog = nullptr, question = nullptr;
    DialogScript script;
    script.WaitFor("サイズ設定", dialog)
        .Then([&] {
            EXPECT_EQ("200", ItemText(dialog, IDC_SIZE_WIDTH));
            EXPECT_EQ("150", ItemText(dialog, IDC_SIZE_HEIGHT));
            // Leaving a box raises a size below 20 at once.
            SetFocus(GetDlgItem(dialog, IDC_SIZE_WIDTH));
            SetDlgItemInt(dialog, IDC_SIZE_WIDTH, 5, TRUE);
            SetFocus(GetDlgItem(dialog, IDC_SIZE_HEIGHT));
            EXPECT_EQ("20", ItemText(dialog, IDC_SIZE_WIDTH));
            // Wider than 95 % of the screen: a question; No goes back to the dialog.
            SetDlgItemInt(dialog, IDC_SIZE_WIDTH, wide, TRUE);
            SetDlgItemInt(dialog, IDC_SIZE_HEIGHT, 20, TRUE);
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", question)
        .Then([&] {
            EXPECT_EQ("サイズが画面に対して大きいかもしれません。\n続行しますか？",
                      DialogText(question));
            EXPECT_EQ(dialog, GetWindow(question, GW_OWNER));
            PressButton(question, IDNO);
        })
        .Until([] { return FindDialog("Inkslip") == nullptr; })
        .Then([&] { PressButton(dialog, IDOK); })
        .WaitFor("Inkslip", question)
        .Then([&] { PressButton(question, IDYES); });
    script.Start();
    EXPECT_EQ(IDOK, ShowSizeDialog(nullptr, pair));
    EXPECT_TRUE(script.Stop()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(wide, pair[0]);
    EXPECT_EQ(20, pair[1]);  // the least size is no size below it
    // 95 % of a side, in integers: just inside passes, one more asks.
    EXPECT_TRUE(!ExceedsScreenLimit(1216, 1280) && ExceedsScreenLimit(1217, 1280));
    EXPECT_TRUE(!ExceedsScreenLimit(972, 1024) && ExceedsScreenLimit(973, 1024));
}

}  // namespace
