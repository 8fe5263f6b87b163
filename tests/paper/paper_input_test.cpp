#include "canvas/gdi_handles.h"
#include "paper_fixture.h"

namespace paper_test {
namespace {

using InputTest = PaperTest;

COLORREF ScreenPixel(Paper* paper, int x, int y) {
    UpdateWindow(paper->GetWindow());
    gdi_handles::WindowDC dc(paper->GetWindow());
    return GetPixel(dc.Get(), x, y);
}

TEST_F(InputTest, PenDragClickAndDragOutOfTheWindow) {
    Paper* paper = NewPaper(0);
    Drag(paper, {{10, 30}, {30, 30}, {50, 30}});  // the release draws the end point
    EXPECT_EQ(nullptr, GetCapture());
    for (int x = 0; x < 202; ++x) {
        const Rgb expected = x >= 10 && x <= 50 ? BLUE : (x == 0 || x == 201 ? 0 : WHITE);
        EXPECT_EQ(expected, paper->GetPicture()->GetRgb(x, 30)) << "x " << x;
        if (x >= 5 && x < 60) {
            EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(x, 29)) << "x " << x;
            EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(x, 31)) << "x " << x;
        }
    }

    Drag(paper, {{20, 50}, {-30, 50}});  // -30 arrives as the word 0xFFE2
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(0, 50));
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(1, 50));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(100, 50));

    // Moves without a press draw nothing; a click draws one dot.
    Mouse(paper, WM_MOUSEMOVE, 60, 60);
    Mouse(paper, WM_LBUTTONUP, 60, 60);
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(60, 60));
    Drag(paper, {{70, 80}});
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(70, 80));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(71, 80));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(70, 81));
}

TEST_F(InputTest, FillAtReleaseFromThePressPointAndEraserInTheCurrentBackground) {
    Paper* paper = NewPaper(0);
    // A wall splits the drawing area into a left and a right part.
    paper->GetPicture()->FillBox(100, 0, 102, 223, 0);
    g_settings.Tool.DrawMode = DRAW_FILL;
    Mouse(paper, WM_LBUTTONDOWN, 50, 100);
    Mouse(paper, WM_MOUSEMOVE, 150, 100);
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(50, 100));  // nothing before the release
    Mouse(paper, WM_LBUTTONUP, 150, 100);
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(50, 100));
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(10, 200));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(150, 100));

    paper->GetPicture()->FillBox(1, 22, 201, 222, RED);
    g_settings.BgColor = ColorQuad{0xFF, 0x00, 0xFF, 0x00};
    g_settings.Tool.DrawMode = DRAW_ERASE;
    Drag(paper, {{40, 100}, {60, 100}});
    EXPECT_EQ(GREEN, paper->GetPicture()->GetRgb(50, 100));
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(50, 101));
}

TEST_F(InputTest, BoxShowsAPreviewWhileDraggedAndNoTraceAfter) {
    Paper* paper = NewPaper(0);
    g_settings.Tool.DrawMode = DRAW_BOX;
    Mouse(paper, WM_LBUTTONDOWN, 150, 150);
    Mouse(paper, WM_MOUSEMOVE, 20, 40);
    EXPECT_EQ(0u, paper->GetOverlay()->GetRgb(80, 80));
    EXPECT_EQ(WHITE, paper->GetOverlay()->GetRgb(10, 80));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(80, 80));  // not drawn yet
    // The preview reaches the window while the drag runs.
    EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(paper, 80, 80));
    EXPECT_EQ(RGB(255, 255, 255), ScreenPixel(paper, 10, 80));
    Mouse(paper, WM_LBUTTONUP, 20, 40);
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(80, 80));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(160, 160));
    EXPECT_EQ(WHITE, paper->GetOverlay()->GetRgb(80, 80));
    EXPECT_EQ(RGB(0, 0, 255), ScreenPixel(paper, 80, 80));
}

TEST_F(InputTest, BeforeTheFirstPreviewStepNothingCoversThePicture) {
    // Until the drag moves, a paint shows the picture as it is, whatever the
    // background colour.
    g_settings.BgColor = ColorQuad{0xFF, 0x00, 0xFF, 0x00};
    Paper* paper = NewPaper(0);
    paper->GetPicture()->FillBox(1, 22, 201, 222, RED);
    g_settings.Tool.DrawMode = DRAW_CIRCLE;
    Mouse(paper, WM_LBUTTONDOWN, 100, 100);
    InvalidateRect(paper->GetWindow(), nullptr, FALSE);
    EXPECT_EQ(RGB(255, 0, 0), ScreenPixel(paper, 100, 100));
    Mouse(paper, WM_LBUTTONUP, 100, 100);
}

TEST_F(InputTest, UndoSwapsAndLockedUndoDoesNothing) {
    Paper* paper = NewPaper(0);
    EXPECT_TRUE(paper->Undo());  // nothing pressed yet: no change
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(30, 60));
    Drag(paper, {{30, 60}});
    ASSERT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(30, 60));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));

    paper->OnCommand(paper->GetWindow(), IDM_LOCK);
    EXPECT_FALSE(paper->Undo());
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));
    // Locked: a drag draws nothing, but the press still refreshes the undo copy.
    Drag(paper, {{90, 90}});
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(90, 90));
    paper->OnCommand(paper->GetWindow(), IDM_LOCK);
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));  // a visible no-op
}

TEST_F(InputTest, AStrokeBegunWithAltOnAFreshNoteIsUndone) {
    // Alt picks at the press; let go, the drag draws. The first press of the
    // note was that Alt press, and undo still takes the stroke away.
    Paper* paper = NewPaper(0);
    paper->GetPicture()->SetRgb(10, 100, RED);
    SetAltDown(true);
    Mouse(paper, WM_LBUTTONDOWN, 10, 100);
    SetAltDown(false);
    Mouse(paper, WM_MOUSEMOVE, 60, 100);
    Mouse(paper, WM_LBUTTONUP, 60, 100);
    ASSERT_EQ(RED, paper->GetPicture()->GetRgb(30, 100));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(30, 100));
}

TEST_F(InputTest, AltPressPicksTheColourWithoutTouchingThePicture) {
    Paper* paper = NewPaper(0);
    SetAltDown(true);
    Drag(paper, {{10, 10}});
    paper->GetPicture()->SetRgb(50, 50, RED);
    Drag(paper, {{50, 50}});
    SetAltDown(false);
    EXPECT_EQ(0xFF, g_settings.Tool.PenColor.red);
    EXPECT_EQ(0x00, g_settings.Tool.PenColor.blue);
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(50, 50));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(51, 50));
    EXPECT_EQ(WHITE, paper->GetUndoCanvas()->GetRgb(50, 50));  // undo copy not refreshed
    // The main window hears of each pick (press and release of each drag),
    // and a pick is no change of the note.
    EXPECT_EQ(4, MainWindowMessages(WM_PEN_COLOR_PICKED));
    EXPECT_EQ(0, MainWindowMessages(WM_PAPER_CHANGED));

    paper->GetPicture()->SetRgb(60, 60, GREEN);
    SetAltDown(true);
    Drag(paper, {{60, 60}});
    SetAltDown(false);
    EXPECT_EQ(0xFF, g_settings.Tool.PenColor.green);
    EXPECT_EQ(0x00, g_settings.Tool.PenColor.red);
}

}  // namespace
}  // namespace paper_test
