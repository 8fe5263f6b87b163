// The tool palette on a hidden main window, editing g_settings.Tool in place.
#include "tools/tool_palette.h"

#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <utility>

using namespace test_support;

namespace {

// Each tool button checks its tool alone, across both rows. A width applies
// when its field loses the focus, a colour component at once, each at most
// 255. Closed, the palette hides and shows a colour picked meanwhile.
TEST(ToolPalette, EditsTheToolStateInPlaceAndFollowsAPickedColour) {
    ResetSettings();
    g_settings.Tool.PenColor = ColorQuad{0xFF, 10, 20, 30};
    g_settings.Tool.DrawMode = DRAW_BOX;
    HWND mainWindow = CreateWindowA("STATIC", "main", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    HWND palette = CreateToolPalette(mainWindow);
    ASSERT_NE(nullptr, palette);
    ShowWindow(palette, SW_SHOW);
    auto checked = [&](int id) { return IsDlgButtonChecked(palette, id) == BST_CHECKED; };
    auto swatchColour = [&] {  // as the screen shows it
        UpdateWindow(palette);
        HDC dc = GetDC(GetDlgItem(palette, IDC_PALETTE_SWATCH));
        const COLORREF colour = GetPixel(dc, 3, 3);
        ReleaseDC(GetDlgItem(palette, IDC_PALETTE_SWATCH), dc);
        return colour;
    };

    const std::pair<int, DrawMode> tools[] = {{IDC_PALETTE_PEN, DRAW_PEN},
                                              {IDC_PALETTE_ERASER, DRAW_ERASE},
                                              {IDC_PALETTE_FILL, DRAW_FILL},
                                              {IDC_PALETTE_BOX, DRAW_BOX},
                                              {IDC_PALETTE_ELLIPSE, DRAW_CIRCLE}};
    int before = IDC_PALETTE_BOX;  // the stored tool
    for (const auto& [button, mode] : tools) {
        EXPECT_TRUE(checked(before));
        SendDlgItemMessageA(palette, button, BM_CLICK, 0, 0);
        EXPECT_EQ(mode, g_settings.Tool.DrawMode) << button;
        EXPECT_EQ(button == before, checked(before)) << button;
        before = button;
    }

    SetFocus(GetDlgItem(palette, IDC_PALETTE_PEN_SIZE));
    SetDlgItemTextA(palette, IDC_PALETTE_PEN_SIZE, "256");
    EXPECT_EQ(1, g_settings.Tool.PenSize);  // not while typing
    SetFocus(GetDlgItem(palette, IDC_PALETTE_ERASE_SIZE));
    EXPECT_EQ(255, g_settings.Tool.PenSize);
    EXPECT_EQ("255", ItemText(palette, IDC_PALETTE_PEN_SIZE));
    SetDlgItemTextA(palette, IDC_PALETTE_GREEN, "128");
    SetDlgItemTextA(palette, IDC_PALETTE_RED, "300");
    EXPECT_EQ("255", ItemText(palette, IDC_PALETTE_RED));
    EXPECT_EQ(0xFFFF801Eu, ColorQuadToValue(g_settings.Tool.PenColor));
    EXPECT_EQ(RGB(255, 128, 30), swatchColour());

    SendMessageA(palette, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(palette));
    EXPECT_EQ(1, g_settings.ToolIsHide);
    g_settings.Tool.PenColor = ColorQuad{0xFF, 99, 50, 60};
    SendMessageA(palette, WM_PEN_COLOR_PICKED, 0, 0);
    ShowWindow(palette, SW_SHOW);
    EXPECT_EQ("50", ItemText(palette, IDC_PALETTE_GREEN));
    EXPECT_EQ(RGB(99, 50, 60), swatchColour());
    DestroyWindow(mainWindow);
}

}  // namespace
