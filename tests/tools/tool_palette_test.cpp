#include "tools/tool_palette.h"

#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/swatch.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {

// A palette on a hidden main window, with a tray menu whose "描画ツール"
// item is greyed as while the palette is shown.
class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        mainWindow = CreateWindowA("STATIC", "main", WS_POPUP, 100, 100, 50, 50, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        trayMenu = CreatePopupMenu();
        AppendMenuA(trayMenu, MF_STRING | MF_GRAYED, IDM_SHOW_TOOL_PALETTE, "描画ツール");
        g_settings.Tool.TrayMenu = trayMenu;
    }
    void TearDown() override {
        if (palette) DestroyWindow(palette);
        DestroyMenu(trayMenu);
        DestroyWindow(mainWindow);
    }

    void Open() {
        palette = CreateToolPalette(mainWindow);
        ASSERT_NE(nullptr, palette);
        EXPECT_FALSE(IsWindowVisible(palette));  // created hidden
        ShowWindow(palette, SW_SHOW);
        UpdateWindow(palette);
    }

    HWND Item(int id) const { return GetDlgItem(palette, id); }
    std::string Text(int id) const { return ItemText(palette, id); }
    void SetText(int id, const char* text) const { SetDlgItemTextA(palette, id, text); }
    void Focus(int id) const { SetFocus(Item(id)); }
    bool Checked(int id) const { return IsDlgButtonChecked(palette, id) == BST_CHECKED; }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // The swatch's colour as it shows on the screen, after pending paints.
    COLORREF SwatchColour() const {
        UpdateWindow(palette);
        return ClientPixel(Item(IDC_PALETTE_SWATCH), 3, 3);
    }

    // Clicks the swatch and lets `answer` drive the colour chooser it opens.
    template <typename Answer>
    void RunChooser(Answer answer) {
        DialogScript script;
        HWND chooser = nullptr;
        script.Until([&] { return (chooser = FindOtherDialog({palette})) != nullptr; }).Then([&] {
            answer(chooser);
        });
        script.Start();
        SendMessageA(palette, WM_COMMAND, MAKEWPARAM(IDC_PALETTE_SWATCH, STN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(IDC_PALETTE_SWATCH)));
        EXPECT_TRUE(script.Stop());
    }

    HWND mainWindow = nullptr;
    HMENU trayMenu = nullptr;
    HWND palette = nullptr;
};

const int TOOL_BUTTONS[] = {IDC_PALETTE_PEN, IDC_PALETTE_ERASER, IDC_PALETTE_FILL, IDC_PALETTE_BOX,
                            IDC_PALETTE_ELLIPSE};

}  // namespace

TEST_F(PaletteTest, ShowsTheToolStateWhenCreated) {
    g_settings.Tool.PenSize = 7;
    g_settings.Tool.EraseSize = 12;
    g_settings.Tool.PenColor = ColorQuad{0xFF, 10, 20, 30};
    g_settings.Tool.DrawMode = DRAW_BOX;
    PaletteCustomColors[3] = RGB(1, 2, 3);
    Open();
    EXPECT_EQ("7", Text(IDC_PALETTE_PEN_SIZE));
    EXPECT_EQ("12", Text(IDC_PALETTE_ERASE_SIZE));
    EXPECT_EQ("10", Text(IDC_PALETTE_RED));
    EXPECT_EQ("20", Text(IDC_PALETTE_GREEN));
    EXPECT_EQ("30", Text(IDC_PALETTE_BLUE));
    EXPECT_TRUE(Checked(IDC_PALETTE_BOX));
    EXPECT_FALSE(Checked(IDC_PALETTE_PEN));
    EXPECT_EQ(0u, PaletteCustomColors[3]);
    EXPECT_EQ(RGB(10, 20, 30), SwatchColour());
}

TEST_F(PaletteTest, AWidthTakesEffectOnlyWhenItsFieldLosesTheFocus) {
    g_settings.Tool.PenSize = 7;
    Open();
    const struct {
        const char* typed;
        int stored;
    } widths[] = {{"0", 1}, {"999", 255}, {"", 1}};
    for (const auto& width : widths) {
        Focus(IDC_PALETTE_PEN_SIZE);
        int before = g_settings.Tool.PenSize;
        SetText(IDC_PALETTE_PEN_SIZE, width.typed);
        EXPECT_EQ(before, g_settings.Tool.PenSize) << "still typing " << width.typed;
        Focus(IDC_PALETTE_RED);
        EXPECT_EQ(width.stored, g_settings.Tool.PenSize) << width.typed;
        EXPECT_EQ(std::to_string(width.stored), Text(IDC_PALETTE_PEN_SIZE));
    }
    Focus(IDC_PALETTE_ERASE_SIZE);
    SetText(IDC_PALETTE_ERASE_SIZE, "40");
    Focus(IDC_PALETTE_PEN_SIZE);
    EXPECT_EQ(40, g_settings.Tool.EraseSize);
}

TEST_F(PaletteTest, AComponentTakesEffectAtOnceAndIsCappedAt255) {
    Open();
    SetText(IDC_PALETTE_RED, "300");
    EXPECT_EQ("255", Text(IDC_PALETTE_RED));
    EXPECT_EQ(255, g_settings.Tool.PenColor.red);
    SetText(IDC_PALETTE_GREEN, "128");
    EXPECT_EQ(RGB(255, 128, 0), SwatchColour());

    SetText(IDC_PALETTE_RED, "");
    EXPECT_EQ(0, g_settings.Tool.PenColor.red);
    EXPECT_EQ("", Text(IDC_PALETTE_RED));  // left empty for typing on
    EXPECT_EQ(RGB(0, 128, 0), SwatchColour());
    SetText(IDC_PALETTE_BLUE, "-1");  // a pasted sign
    EXPECT_EQ(255, g_settings.Tool.PenColor.blue);
    EXPECT_EQ(0xFF, g_settings.Tool.PenColor.alpha);
}

TEST_F(PaletteTest, EachVisibleButtonSelectsItsToolAndTheTextToolPressesNone) {
    const DrawMode modes[] = {DRAW_PEN, DRAW_ERASE, DRAW_FILL, DRAW_BOX, DRAW_CIRCLE};
    g_settings.Tool.DrawMode = DRAW_TEXT;
    Open();
    EXPECT_FALSE(IsWindowVisible(Item(IDC_PALETTE_TEXT)));
    for (int id : TOOL_BUTTONS) EXPECT_FALSE(Checked(id)) << id;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(IsWindowVisible(Item(TOOL_BUTTONS[i])));
        Click(TOOL_BUTTONS[i]);
        EXPECT_EQ(modes[i], g_settings.Tool.DrawMode) << TOOL_BUTTONS[i];
        EXPECT_TRUE(Checked(TOOL_BUTTONS[i]));
    }
    DestroyWindow(palette);

    g_settings.Tool.DrawMode = static_cast<DrawMode>(9);  // unknown: the pen
    Open();
    EXPECT_TRUE(Checked(IDC_PALETTE_PEN));
}

TEST_F(PaletteTest, TheColourChooserStartsFromThePenColourAndCancelRewritesTheFields) {
    g_settings.Tool.PenColor = ColorQuad{0x80, 10, 20, 30};
    Open();
    // The fields fall behind the record, as after a change they missed.
    g_settings.Tool.PenColor = ColorQuad{0x80, 40, 50, 60};
    RunChooser([&](HWND chooser) {
        EXPECT_EQ(palette, GetWindow(chooser, GW_OWNER));
        EXPECT_EQ("40", ItemText(chooser, CHOOSER_RED));
        EXPECT_EQ("60", ItemText(chooser, CHOOSER_BLUE));
        SetChooserColour(chooser, 200, 0, 0);  // then cancelled
        PressButton(chooser, IDCANCEL);
    });
    EXPECT_EQ(40, g_settings.Tool.PenColor.red);
    EXPECT_EQ("40", Text(IDC_PALETTE_RED));
    EXPECT_EQ("50", Text(IDC_PALETTE_GREEN));
    EXPECT_EQ("60", Text(IDC_PALETTE_BLUE));
    EXPECT_EQ(RGB(40, 50, 60), SwatchColour());

    // Confirmed, the colour becomes the pen colour and keeps its alpha.
    RunChooser([&](HWND chooser) {
        SetChooserColour(chooser, 200, 100, 0);
        PressButton(chooser, IDOK);
    });
    EXPECT_EQ(0x80C86400u, ColorQuadToValue(g_settings.Tool.PenColor));
    EXPECT_EQ("200", Text(IDC_PALETTE_RED));
}

// A note that picks a colour changes PenColor and tells the palette, shown
// or hidden.
TEST_F(PaletteTest, APickedColourShowsAlsoAfterClosingWhichHidesThePalette) {
    Open();
    g_settings.Tool.PenColor = ColorQuad{0xFF, 1, 2, 3};
    SendMessageA(palette, WM_PEN_COLOR_PICKED, 0, 0);
    EXPECT_EQ("1", Text(IDC_PALETTE_RED));
    EXPECT_EQ("3", Text(IDC_PALETTE_BLUE));
    EXPECT_EQ(RGB(1, 2, 3), SwatchColour());

    SendMessageA(palette, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(palette));
    EXPECT_FALSE(IsWindowVisible(palette));
    EXPECT_EQ(1, g_settings.ToolIsHide);
    EXPECT_EQ(0u, GetMenuState(trayMenu, IDM_SHOW_TOOL_PALETTE, MF_BYCOMMAND) & MF_GRAYED);
    g_settings.Tool.PenColor = ColorQuad{0xFF, 99, 50, 60};
    SendMessageA(palette, WM_PEN_COLOR_PICKED, 0, 0);
    // Shown again, as the tray command does, it shows the picked colour.
    ShowWindow(palette, SW_SHOW);
    EXPECT_EQ("99", Text(IDC_PALETTE_RED));
    EXPECT_EQ("50", Text(IDC_PALETTE_GREEN));
    EXPECT_EQ(RGB(99, 50, 60), SwatchColour());
    EXPECT_EQ(0xFF63323Cu, ColorQuadToValue(g_settings.Tool.PenColor));
}

TEST_F(PaletteTest, PaintSwatchFillsTheWholeInsideOfTheControl) {
    Open();
    HWND swatch = Item(IDC_PALETTE_SWATCH);
    RECT client;
    GetClientRect(swatch, &client);
    InvalidateRect(swatch, nullptr, FALSE);
    PaintSwatch(palette, IDC_PALETTE_SWATCH, RGB(200, 10, 10));
    EXPECT_EQ(RGB(200, 10, 10), ClientPixel(swatch, client.right - 1, client.bottom - 1));
    EXPECT_EQ(RGB(200, 10, 10), ClientPixel(swatch, 0, 0));
    // The paint validated the control: it does not paint itself over it.
    RECT update;
    EXPECT_FALSE(GetUpdateRect(swatch, &update, FALSE));
    UpdateWindow(palette);
    EXPECT_EQ(RGB(200, 10, 10), ClientPixel(swatch, 2, 2));
}
