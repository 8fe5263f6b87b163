#include "canvas/ddb_canvas.h"
#include "paper_fixture.h"

#include <dlgs.h>

namespace paper_test {
namespace {

using CommandTest = PaperTest;

bool MenuHas(HMENU menu, int command, UINT mark) {
    return (GetMenuState(menu, command, MF_BYCOMMAND) & mark) != 0;
}

TEST_F(CommandTest, LockGreysPeelAndResizeAndDrawsThePadlock) {
    Paper* paper = NewPaper(0);
    EXPECT_EQ(CYAN, paper->GetPicture()->GetRgb(8, 3));
    for (int locked : {1, 0}) {
        paper->OnCommand(paper->GetWindow(), IDM_LOCK);
        UpdateWindow(paper->GetWindow());
        EXPECT_EQ(locked != 0, paper->IsLocked());
        EXPECT_EQ(locked == 1, MenuHas(paper->GetMenu(), IDM_LOCK, MF_CHECKED));
        EXPECT_EQ(locked == 1, MenuHas(paper->GetMenu(), IDM_PEEL_OFF, MF_GRAYED));
        EXPECT_EQ(locked == 1, MenuHas(paper->GetMenu(), IDM_RESIZE, MF_GRAYED));
        EXPECT_FALSE(MenuHas(paper->GetMenu(), IDM_SAVE_AS, MF_GRAYED));
        // Padlock line 1 runs from (4, 0) to (11, 0) of the lock at (3, 3);
        // unlocked, the tab is plain again.
        EXPECT_EQ(locked ? 0u : CYAN, paper->GetPicture()->GetRgb(7, 3));
        EXPECT_EQ(locked ? 0u : CYAN, paper->GetPicture()->GetRgb(13, 3));
        EXPECT_EQ(CYAN, paper->GetPicture()->GetRgb(14, 3));
        EXPECT_EQ(locked ? 0u : CYAN, paper->GetPicture()->GetRgb(10, 17));  // line 7, the bottom
    }
}

TEST_F(CommandTest, PeelOffAsksWhenWarnedAndForgetsTheNote) {
    StoreNote(1, 10, 10, 40, 40);
    Paper* paper = PaperFromFile(folder.File("1.dat"), 1);
    ASSERT_NE(nullptr, paper);
    g_settings.IsDelWarning = 1;
    {
        DialogAnswerer answerer(IDNO);
        paper->OnCommand(paper->GetWindow(), IDM_PEEL_OFF);
        ASSERT_EQ(1u, answerer.Seen().size());
        EXPECT_EQ("この付箋紙をはがしてもよろしいですか？", answerer.Seen()[0].text);
        EXPECT_EQ("Inkslip", answerer.Seen()[0].caption);
    }
    EXPECT_EQ(paper, GetPaper(1));
    EXPECT_TRUE(IsWindow(paper->GetWindow()));
    EXPECT_TRUE(FileExists(folder.File("1.dat")));
    {
        DialogAnswerer answerer(IDYES);
        paper->OnCommand(paper->GetWindow(), IDM_PEEL_OFF);
        EXPECT_EQ(1u, answerer.Seen().size());
    }
    PumpMessages();  // the purge waits for the command to return
    EXPECT_EQ(nullptr, GetPaper(1));
    // The peeled note does not come back at the next start.
    EXPECT_FALSE(FileExists(folder.File("1.dat")));
}

TEST_F(CommandTest, ResizeKeepsTheTopLeftAndFillsTheRestWithBackground) {
    Paper* paper = NewPaper(0);
    paper->GetPicture()->SetRgb(50, 100, BLUE);   // kept
    paper->GetPicture()->SetRgb(150, 100, BLUE);  // cut off
    g_settings.BgColor = ColorQuad{0xFF, 0x00, 0xFF, 0x00};
    {
        // The real size dialog, answered as a user would.
        DialogAnswerer answerer([](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_SIZE_WIDTH, "100");
            SetDlgItemTextA(dialog, IDC_SIZE_HEIGHT, "300");
            PressButton(dialog, IDOK);
        });
        paper->OnCommand(paper->GetWindow(), IDM_RESIZE);
        ASSERT_EQ(1u, answerer.Seen().size());
    }
    RECT rect = WindowRect(paper);
    EXPECT_EQ(102, rect.right - rect.left);
    EXPECT_EQ(323, rect.bottom - rect.top);
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(50, 100));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(99, 100));  // the old background stays
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(50, 222));  // no old bottom frame line
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(50, 300));  // added rows
    EXPECT_EQ(0u, paper->GetPicture()->GetRgb(101, 100));    // the new frame, once painted
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(50, 100));
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(50, 300));
    // The box preview reaches the added rows.
    g_settings.Tool.DrawMode = DRAW_BOX;
    Mouse(paper, WM_LBUTTONDOWN, 50, 300);
    Mouse(paper, WM_MOUSEMOVE, 60, 310);
    EXPECT_EQ(0u, paper->GetOverlay()->GetRgb(55, 305));
    EXPECT_EQ(0xFFFFFFu, paper->GetOverlay()->GetRgb(55, 315));
    Mouse(paper, WM_LBUTTONUP, 60, 310);

    // A cancelled dialog changes nothing.
    {
        DialogAnswerer answerer(IDCANCEL);
        paper->OnCommand(paper->GetWindow(), IDM_RESIZE);
    }
    EXPECT_EQ(100, paper->GetBodyWidth());
}

TEST_F(CommandTest, SaveAsAppendsBmpUnlessPresentAndReportsFailures) {
    Paper* paper = NewPaper(0);
    paper->GetPicture()->SetRgb(1, 22, BLUE);
    // One folder per name: memo.bmp and memo.BMP are one file to the system.
    const char* const chosen[] = {"memo", "memo.BMP", "memo.txt"};
    const char* const written[] = {"memo.bmp", "memo.BMP", "memo.txt.bmp"};
    for (int index = 0; index < 3; ++index) {
        const std::string subfolder = folder.Path() + std::to_string(index) + "\\";
        ASSERT_TRUE(CreateDirectoryA(subfolder.c_str(), nullptr));
        EXPECT_TRUE(paper->SaveAsFile((subfolder + chosen[index]).c_str()));
        EXPECT_EQ(std::vector<std::string>{written[index]}, FilesIn(subfolder));
    }
    DdbCanvas image(1, 1);
    ASSERT_TRUE(image.LoadBmp((folder.Path() + "0\\memo.bmp").c_str()));
    EXPECT_EQ(200, image.GetWidth());
    EXPECT_EQ(BLUE, image.GetRgb(0, 0));

    // Through the real save dialog.
    {
        const std::string name = folder.File("chosen");
        DialogAnswerer answerer([name](HWND dialog) {
            SetDlgItemTextA(dialog, edt1, name.c_str());
            SetDlgItemTextA(dialog, cmb13, name.c_str());
            PressButton(dialog, IDOK);
        });
        paper->OnCommand(paper->GetWindow(), IDM_SAVE_AS);
        ASSERT_GE(answerer.Seen().size(), 1u);
        EXPECT_EQ("ファイル出力先指定", answerer.Seen()[0].caption);
    }
    ASSERT_TRUE(DeleteFileA(folder.File("chosen.bmp").c_str()));

    {
        DialogAnswerer answerer(IDCANCEL);
        paper->OnCommand(paper->GetWindow(), IDM_SAVE_AS);
        ASSERT_EQ(2u, answerer.Seen().size());
        EXPECT_EQ("ファイルの保存に失敗しました。", answerer.Seen()[1].text);
        EXPECT_EQ("Inkslip", answerer.Seen()[1].caption);
    }
    {
        DialogAnswerer answerer(IDOK);
        // A name of the full path length: appending ".bmp" goes past it.
        std::string longName = folder.Path();
        longName.append(MAX_PATH - 1 - longName.size(), 'a');
        EXPECT_FALSE(paper->SaveAsFile(longName.c_str()));
        ASSERT_EQ(1u, answerer.Seen().size());
        EXPECT_EQ("BMPファイルの出力に失敗しました。", answerer.Seen()[0].text);
    }
    // A size whose picture cannot be had leaves the note as it was.
    EXPECT_FALSE(paper->Resize(200000, 200000));
    EXPECT_EQ(200, paper->GetBodyWidth());
    EXPECT_EQ(202, WindowRect(paper).right - WindowRect(paper).left);
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(1, 22));
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

}  // namespace
}  // namespace paper_test
