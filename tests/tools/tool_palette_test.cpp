// The tool palette on a hidden main window, editing g_settings.Tool in place.
#include "tools/tool_palette.h"

#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        g_settings.Tool.PenSize = 7;
        g_settings.Tool.PenColor = ColorQuad{0xFF, 10, 20, 30};
        g_settings.Tool.DrawMode = DRAW_BOX;
        mainWindow = CreateWindowA("STATIC", "main", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        palette = CreateToolPalette(mainWindow);
        ASSERT_NE(nullptr, palette);
        ShowWindow(palette, SW_SHOW);
    }
    void TearDown() override { DestroyWindow(mainWindow); }

    std::string Text(int id) const { return ItemText(palette, id); }
    void SetText(int id, const char* text) const { SetDlgItemTextA(palette, id, text); }
    bool Checked(int id) const { return IsDlgButtonChecked(palette, id) == BST_CHECKED; }
    // The swatch's colour as it shows on the screen, after pending paints.
    COLORREF SwatchColour() const {
        UpdateWindow(palette);
        return ClientPixel(GetDlgItem(palette, IDC_PALETTE_SWATCH), 3, 3);
    }

    HWND mainWindow = nullptr;
    HWND palette = nullptr;
};

// The palette shows the tool state; each tool button selects its tool and
// clears the one checked before, across the two rows.
TEST_F(PaletteTest, ShowsTheToolStateAndEachButtonSelectsItsTool) {
    EXPECT_EQ("7", Text(IDC_PALETTE_PEN_SIZE));
    EXPECT_EQ("20", Text(IDC_PALETTE_GREEN));
    EXPECT_EQ(RGB(10, 20, 30), SwatchColour());
    const struct {
        int button;
        DrawMode mode;
    } tools[] = {{IDC_PALETTE_PEN, DRAW_PEN},
                 {IDC_PALETTE_ERASER, DRAW_ERASE},
                 {IDC_PALETTE_FILL, DRAW_FILL},
                 {IDC_PALETTE_BOX, DRAW_BOX},
                 {IDC_PALETTE_ELLIPSE, DRAW_CIRCLE}};
    int before = IDC_PALETTE_BOX;
    for (const auto& tool : tools) {
        EXPECT_TRUE(Checked(before));
        SendDlgItemMessageA(palette, tool.button, BM_CLICK, 0, 0);
        EXPECT_EQ(tool.mode, g_settings.Tool.DrawMode) << tool.button;
        EXPECT_EQ(tool.button == before, Checked(before)) << tool.button;
        before = tool.button;
    }
}

// A width applies when its field loses the focus, kept within 1 to 255; a
// component applies at once, capped at 255.
TEST_F(PaletteTest, WidthsApplyOnLeavingTheFieldAndComponentsAtOnce) {
    for (const char* typed : {"256", "0"}) {
        SetFocus(GetDlgItem(palette, IDC_PALETTE_PEN_SIZE));
        SetText(IDC_PALETTE_PEN_SIZE, typed);
        EXPECT_EQ(7, g_settings.Tool.PenSize) << "still typing " << typed;
        SetFocus(GetDlgItem(palette, IDC_PALETTE_ERASE_SIZE));
        EXPECT_EQ(typed[0] == '0' ? "1" : "255", Text(IDC_PALETTE_PEN_SIZE));
        g_settings.Tool.PenSize = 7;
    }
    SetText(IDC_PALETTE_GREEN, "128");
    SetText(IDC_PALETTE_RED, "300");
    EXPECT_EQ("255", Text(IDC_PALETTE_RED));
    EXPECT_EQ(0xFFFF801Eu, ColorQuadToValue(g_settings.Tool.PenColor));
    EXPECT_EQ(RGB(255, 128, 30), SwatchColour());
}

// Closing only hides the palette; a colour picked on a note meanwhile is
// shown when the palette is shown again.
TEST_F(PaletteTest, AColourPickedWhileClosedShowsWhenShownAgain) {
    SendMessageA(palette, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(palette));
    EXPECT_EQ(1, g_settings.ToolIsHide);
    g_settings.Tool.PenColor = ColorQuad{0xFF, 99, 50, 60};
    SendMessageA(palette, WM_PEN_COLOR_PICKED, 0, 0);
    ShowWindow(palette, SW_SHOW);
    EXPECT_EQ("99", Text(IDC_PALETTE_RED));
    EXPECT_EQ("50", Text(IDC_PALETTE_GREEN));
    EXPECT_EQ(RGB(99, 50, 60), SwatchColour());
}

}  // namespace
