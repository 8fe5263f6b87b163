#include "canvas/gdi_handles.h"
#include "paper_fixture.h"

namespace paper_test {
namespace {

constexpr Rgb WHITE = 0xFFFFFF;
constexpr Rgb BLUE = 0x0000FF;  // the pen colour of the fixture
constexpr Rgb RED = 0xFF0000;
constexpr Rgb GREEN = 0x00FF00;

using InputTest = PaperTest;

TEST_F(InputTest, PenDragLeavesExactlyTheStroke) {
    Paper* paper = NewPaper(0);
    Mouse(paper, WM_LBUTTONDOWN, 10, 30);
    Mouse(paper, WM_MOUSEMOVE, 30, 30);
    Mouse(paper, WM_MOUSEMOVE, 50, 30);
    Mouse(paper, WM_LBUTTONUP, 50, 30);  // draws the end point
    EXPECT_EQ(nullptr, GetCapture());
    for (int x = 0; x < 202; ++x) {
        const Rgb expected = x >= 10 && x <= 50 ? BLUE : (x == 0 || x == 201 ? 0 : WHITE);
        EXPECT_EQ(expected, paper->picture->GetRgb(x, 30)) << "x " << x;
    }
    for (int x = 5; x < 60; ++x) {
        EXPECT_EQ(WHITE, paper->picture->GetRgb(x, 29)) << "x " << x;
        EXPECT_EQ(WHITE, paper->picture->GetRgb(x, 31)) << "x " << x;
    }
}

TEST_F(InputTest, DragLeavingTheWindowContinuesToMinusOneAndAClickDrawsADot) {
    Paper* paper = NewPaper(0);
    Mouse(paper, WM_LBUTTONDOWN, 20, 50);
    Mouse(paper, WM_MOUSEMOVE, -30, 50);  // arrives as the word 0xFFE2
    EXPECT_EQ(-1, Paper::lastX);
    EXPECT_EQ(BLUE, paper->picture->GetRgb(0, 50));
    EXPECT_EQ(BLUE, paper->picture->GetRgb(1, 50));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(100, 50));
    Mouse(paper, WM_LBUTTONUP, -30, 50);

    // Moves without a press draw nothing; a click draws one dot.
    Mouse(paper, WM_MOUSEMOVE, 60, 60);  // no press: ignored
    Mouse(paper, WM_LBUTTONUP, 60, 60);
    EXPECT_EQ(WHITE, paper->picture->GetRgb(60, 60));
    Mouse(paper, WM_LBUTTONDOWN, 70, 80);
    Mouse(paper, WM_LBUTTONUP, 70, 80);
    EXPECT_EQ(BLUE, paper->picture->GetRgb(70, 80));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(71, 80));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(70, 81));
}

TEST_F(InputTest, FillHappensAtReleaseFromThePressPoint) {
    Paper* paper = NewPaper(0);
    // A wall splits the drawing area into a left and a right part.
    paper->picture->FillBox(100, 0, 102, 223, 0);
    g_settings.Tool.DrawMode = DRAW_FILL;
    Mouse(paper, WM_LBUTTONDOWN, 50, 100);
    Mouse(paper, WM_MOUSEMOVE, 150, 100);
    EXPECT_EQ(WHITE, paper->picture->GetRgb(50, 100));  // nothing before the release
    Mouse(paper, WM_LBUTTONUP, 150, 100);
    EXPECT_EQ(BLUE, paper->picture->GetRgb(50, 100));
    EXPECT_EQ(BLUE, paper->picture->GetRgb(10, 200));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(150, 100));
}

TEST_F(InputTest, BoxShowsAPreviewWhileDraggedAndNoTraceAfter) {
    Paper* paper = NewPaper(0);
    g_settings.Tool.DrawMode = DRAW_BOX;
    Mouse(paper, WM_LBUTTONDOWN, 150, 150);
    Mouse(paper, WM_MOUSEMOVE, 20, 40);
    EXPECT_EQ(0u, paper->overlay->GetRgb(80, 80));
    EXPECT_EQ(WHITE, paper->overlay->GetRgb(10, 80));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(80, 80));  // not drawn yet
    // The preview reaches the window while the drag runs.
    UpdateWindow(paper->GetWindow());
    {
        gdi_handles::WindowDC dc(paper->GetWindow());
        EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc.Get(), 80, 80));
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc.Get(), 10, 80));
    }
    Mouse(paper, WM_LBUTTONUP, 20, 40);
    EXPECT_EQ(BLUE, paper->picture->GetRgb(80, 80));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(160, 160));
    EXPECT_EQ(WHITE, paper->overlay->GetRgb(80, 80));
    UpdateWindow(paper->GetWindow());
    gdi_handles::WindowDC dc(paper->GetWindow());
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc.Get(), 80, 80));
}

TEST_F(InputTest, BeforeTheFirstPreviewStepNothingCoversThePicture) {
    // Until the drag moves, a paint shows the picture as it is, whatever the
    // background colour.
    g_settings.BgColor = ColorQuad{0xFF, 0x00, 0xFF, 0x00};
    Paper* paper = NewPaper(0);
    paper->picture->FillBox(1, 22, 201, 222, RED);
    g_settings.Tool.DrawMode = DRAW_CIRCLE;
    Mouse(paper, WM_LBUTTONDOWN, 100, 100);
    InvalidateRect(paper->GetWindow(), nullptr, FALSE);
    UpdateWindow(paper->GetWindow());
    {
        gdi_handles::WindowDC dc(paper->GetWindow());
        EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.Get(), 100, 100));
    }
    Mouse(paper, WM_LBUTTONUP, 100, 100);
}

TEST_F(InputTest, EraserPaintsInTheCurrentBackground) {
    Paper* paper = NewPaper(0);
    paper->picture->FillBox(1, 22, 201, 222, RED);
    g_settings.BgColor = ColorQuad{0xFF, 0x00, 0xFF, 0x00};
    g_settings.Tool.DrawMode = DRAW_ERASE;
    g_settings.Tool.EraseSize = 1;
    Mouse(paper, WM_LBUTTONDOWN, 40, 100);
    Mouse(paper, WM_MOUSEMOVE, 60, 100);
    Mouse(paper, WM_LBUTTONUP, 60, 100);
    EXPECT_EQ(GREEN, paper->picture->GetRgb(50, 100));
    EXPECT_EQ(RED, paper->picture->GetRgb(50, 101));
}

TEST_F(InputTest, UndoSwapsAndLockedUndoDoesNothing) {
    Paper* paper = NewPaper(0);
    // Nothing pressed yet: undo changes nothing.
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(WHITE, paper->picture->GetRgb(30, 60));
    Mouse(paper, WM_LBUTTONDOWN, 30, 60);
    Mouse(paper, WM_LBUTTONUP, 30, 60);
    ASSERT_EQ(BLUE, paper->picture->GetRgb(30, 60));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(WHITE, paper->picture->GetRgb(30, 60));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(BLUE, paper->picture->GetRgb(30, 60));

    paper->OnCommand(paper->GetWindow(), IDM_LOCK);
    EXPECT_FALSE(paper->Undo());
    EXPECT_EQ(BLUE, paper->picture->GetRgb(30, 60));
    // Locked: a drag draws nothing, but the press still refreshes the undo copy.
    Mouse(paper, WM_LBUTTONDOWN, 90, 90);
    Mouse(paper, WM_LBUTTONUP, 90, 90);
    EXPECT_EQ(WHITE, paper->picture->GetRgb(90, 90));
    paper->OnCommand(paper->GetWindow(), IDM_LOCK);
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(BLUE, paper->picture->GetRgb(30, 60));  // a visible no-op
}

TEST_F(InputTest, AStrokeBegunWithAltOnAFreshNoteIsUndone) {
    // Alt picks at the press; let go, the drag draws. The first press of the
    // note was that Alt press, and undo still takes the stroke away.
    Paper* paper = NewPaper(0);
    paper->picture->SetRgb(10, 100, RED);
    SetAltDown(true);
    Mouse(paper, WM_LBUTTONDOWN, 10, 100);
    SetAltDown(false);
    Mouse(paper, WM_MOUSEMOVE, 60, 100);
    Mouse(paper, WM_LBUTTONUP, 60, 100);
    ASSERT_EQ(RED, paper->picture->GetRgb(30, 100));
    EXPECT_TRUE(paper->Undo());
    EXPECT_EQ(WHITE, paper->picture->GetRgb(30, 100));
}

TEST_F(InputTest, AltPressPicksTheColourWithoutTouchingThePicture) {
    // A stand-in palette with the controls the eyedropper writes into.
    HWND palette = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    for (int id : {IDC_PALETTE_RED, IDC_PALETTE_GREEN, IDC_PALETTE_BLUE}) {
        CreateWindowExA(0, "Edit", "", WS_CHILD, 0, 0, 30, 10, palette,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    }
    CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 40, 20, 20, palette,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PALETTE_SWATCH)),
                    GetModuleHandleA(nullptr), nullptr);
    Paper::SetPaletteWindow(palette);

    Paper* paper = NewPaper(0);
    SetAltDown(true);
    Mouse(paper, WM_LBUTTONDOWN, 10, 10);
    Mouse(paper, WM_LBUTTONUP, 10, 10);
    paper->picture->SetRgb(50, 50, RED);
    Mouse(paper, WM_LBUTTONDOWN, 50, 50);
    Mouse(paper, WM_LBUTTONUP, 50, 50);
    SetAltDown(false);
    EXPECT_EQ(0xFF, g_settings.Tool.PenColor.red);
    EXPECT_EQ(0x00, g_settings.Tool.PenColor.blue);
    EXPECT_EQ(RED, paper->picture->GetRgb(50, 50));
    EXPECT_EQ(WHITE, paper->picture->GetRgb(51, 50));
    EXPECT_EQ(WHITE, paper->undoCanvas->GetRgb(50, 50));  // undo copy not refreshed
    char text[16];
    GetDlgItemTextA(palette, IDC_PALETTE_RED, text, sizeof text);
    EXPECT_STREQ("255", text);
    GetDlgItemTextA(palette, IDC_PALETTE_BLUE, text, sizeof text);
    EXPECT_STREQ("0", text);

    // Without a palette the pick still works.
    Paper::SetPaletteWindow(nullptr);
    DestroyWindow(palette);
    paper->picture->SetRgb(60, 60, GREEN);
    SetAltDown(true);
    Mouse(paper, WM_LBUTTONDOWN, 60, 60);
    Mouse(paper, WM_LBUTTONUP, 60, 60);
    SetAltDown(false);
    EXPECT_EQ(0xFF, g_settings.Tool.PenColor.green);
    EXPECT_EQ(0x00, g_settings.Tool.PenColor.red);
}

}  // namespace
}  // namespace paper_test
