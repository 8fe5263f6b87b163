// The resource script as the program sees it: menus, dialogs, accelerators,
// icons and the version block, read back through the ANSI API of this test
// program (which links the same script), so every Japanese text arrives as
// code page 932 bytes.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// ----------------------------------------------------------------- literals

TEST(ResourceTexts, SourceLiteralsAreCompiledToCp932) {
    // "表" and "示": the trail byte of 表 is 0x5C, the code of a backslash.
    EXPECT_EQ(std::string("\x95\x5C\x8E\xA6"), std::string("表示"));
    EXPECT_EQ(std::string("\x8D\xC5\x91\x4F\x96\xCA\x95\x5C\x8E\xA6"), std::string("最前面表示"));
    // A 0x5C trail byte must not swallow the next character as an escape.
    EXPECT_EQ(std::string("\x83\x5C\x6E"), std::string("ソn"));
    EXPECT_EQ(3u, std::strlen("ソn"));
    // Message box texts: the escape is handled before the conversion.
    const std::string question = "サイズが画面に対して大きいかもしれません。\n続行しますか？";
    EXPECT_EQ(std::string("\x83\x54\x83\x43\x83\x59"), question.substr(0, 6));
    EXPECT_EQ(std::string("\x81\x42\n\x91\xB1"), question.substr(40, 5));
    EXPECT_EQ(std::string("HK_HIDE\x82\xCC\x93\x6F\x98\x5E\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC"
                          "\x82\xB5\x82\xBD\x81\x42"),
              std::string("HK_HIDEの登録に失敗しました。"));
}

// -------------------------------------------------------------------- menus

struct ExpectedMenuItem {
    UINT id;           // 0 for a separator
    const char* text;  // CP932 after compilation
};

class MenuHolder {
public:
    explicit MenuHolder(HMENU menu) : menu(menu) {}
    ~MenuHolder() {
        if (menu) DestroyMenu(menu);
    }
    MenuHolder(const MenuHolder&) = delete;
    MenuHolder& operator=(const MenuHolder&) = delete;
    HMENU Get() const { return menu; }

private:
    HMENU menu;
};

void ExpectPopupItems(int menuId, const std::vector<ExpectedMenuItem>& items) {
    MenuHolder menu(LoadMenuA(Instance(), MAKEINTRESOURCEA(menuId)));
    ASSERT_NE(nullptr, menu.Get());
    ASSERT_EQ(1, GetMenuItemCount(menu.Get()));
    HMENU popup = GetSubMenu(menu.Get(), 0);
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(static_cast<int>(items.size()), GetMenuItemCount(popup));
    for (UINT position = 0; position < items.size(); ++position) {
        SCOPED_TRACE("menu " + std::to_string(menuId) + " position " + std::to_string(position));
        const ExpectedMenuItem& expected = items[position];
        UINT state = GetMenuState(popup, position, MF_BYPOSITION);
        if (expected.id == 0) {
            // The system reports separators as greyed; only their kind matters.
            EXPECT_NE(0u, state & MF_SEPARATOR);
            continue;
        }
        EXPECT_EQ(0u, state & (MF_SEPARATOR | MF_CHECKED | MF_GRAYED | MF_DISABLED));
        EXPECT_EQ(expected.id, GetMenuItemID(popup, position));
        char text[128] = {};
        GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(std::string(expected.text), std::string(text));
    }
}

TEST(ResourceMenus, TrayMenuHoldsItsItemsInOrderWithoutMarks) {
    ExpectPopupItems(IDR_TRAY_MENU, {
                                        {IDM_NEW_PAPER, "新規作成"},
                                        {IDM_NEW_FROM_BMP, "BMPから新規作成"},
                                        {0, nullptr},
                                        {IDM_TOPMOST, "最前面表示"},
                                        {IDM_HIDE_ALL, "付箋紙をすべて隠す"},
                                        {0, nullptr},
                                        {IDM_SHOW_TOOL_PALETTE, "描画ツール"},
                                        {IDM_OPTIONS, "オプション"},
                                        {0, nullptr},
                                        {IDM_VERSION, "バージョン情報"},
                                        {IDM_EXIT, "終了"},
                                    });
}

TEST(ResourceMenus, TopmostItemReadsBackAsCp932BytesWithBackslashTrailByte) {
    MenuHolder menu(LoadMenuA(Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    char text[64] = {};
    ASSERT_EQ(10, GetMenuStringA(menu.Get(), IDM_TOPMOST, text, sizeof text, MF_BYCOMMAND));
    EXPECT_EQ(std::string("\x8D\xC5\x91\x4F\x96\xCA\x95\x5C\x8E\xA6"), std::string(text));
}

TEST(ResourceMenus, PaperMenuHoldsItsItemsInOrderWithoutMarks) {
    ExpectPopupItems(IDR_PAPER_MENU, {
                                         {IDM_LOCK, "メモをロック"},
                                         {IDM_PEEL_OFF, "はがす"},
                                         {IDM_RESIZE, "サイズ変更"},
                                         {IDM_SAVE_AS, "名前をつけて保存"},
                                     });
}

// ------------------------------------------------------------- accelerators

TEST(ResourceAccelerators, CtrlZIsTheOnlyEntryAndSendsUndo) {
    HACCEL table = LoadAcceleratorsA(Instance(), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(nullptr, table);
    ASSERT_EQ(1, CopyAcceleratorTableA(table, nullptr, 0));
    ACCEL entry = {};
    ASSERT_EQ(1, CopyAcceleratorTableA(table, &entry, 1));
    EXPECT_EQ('Z', entry.key);
    EXPECT_EQ(IDM_UNDO, entry.cmd);
    EXPECT_EQ(FVIRTKEY | FCONTROL | FNOINVERT, entry.fVirt & ~0x80);  // 0x80 ends the table
}

// -------------------------------------------------------------------- icons

// The icon drawn over a background no icon uses, pixel by pixel.
std::vector<DWORD> RenderIcon(HICON icon) {
    std::vector<DWORD> pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc && bitmap) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 16, 16};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
        DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const DWORD* begin = static_cast<const DWORD*>(bits);
        for (int i = 0; i < 16 * 16; ++i) pixels.push_back(begin[i] & 0xFFFFFF);
        SelectObject(dc, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    return pixels;
}

TEST(ResourceIcons, EveryIconLoadsAt16By16AndShowsItsOwnPicture) {
    const int ids[] = {IDI_TRAY, IDI_PEN, IDI_ERASER, IDI_FILL, IDI_BOX, IDI_ELLIPSE, IDI_TEXT};
    std::set<std::vector<DWORD>> pictures;
    for (int id : ids) {
        SCOPED_TRACE("icon " + std::to_string(id));
        // As the tray and the palette load them: 16 x 16, shared.
        HICON icon = static_cast<HICON>(
            LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_SHARED));
        ASSERT_NE(nullptr, icon);
        ICONINFO iconInfo = {};
        ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
        BITMAP colour = {};
        ASSERT_NE(nullptr, iconInfo.hbmColor);
        GetObjectA(iconInfo.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(16, colour.bmWidth);
        EXPECT_EQ(16, colour.bmHeight);
        DeleteObject(iconInfo.hbmColor);
        DeleteObject(iconInfo.hbmMask);

        std::vector<DWORD> picture = RenderIcon(icon);
        ASSERT_EQ(256u, picture.size());
        std::set<DWORD> colours(picture.begin(), picture.end());
        EXPECT_GE(colours.size(), 3u) << "a blank or one-colour icon";
        pictures.insert(picture);
    }
    EXPECT_EQ(7u, pictures.size()) << "two ids share one picture";
}

// ------------------------------------------------------------------ dialogs

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class DialogHolder {
public:
    explicit DialogHolder(int id)
        : window(
              CreateDialogParamA(Instance(), MAKEINTRESOURCEA(id), nullptr, InertDialogProc, 0)) {}
    ~DialogHolder() {
        if (window) DestroyWindow(window);
    }
    DialogHolder(const DialogHolder&) = delete;
    DialogHolder& operator=(const DialogHolder&) = delete;
    HWND Get() const { return window; }

private:
    HWND window;
};

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

constexpr int NO_ID = 0xFFFF;

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    DWORD style;  // the control-specific low word plus the WS_ bits below
};

// The window style bits a template decides for a control. WS_BORDER is left
// out: the dialog manager may turn an edit's border into a client edge.
constexpr DWORD CHECKED_WINDOW_STYLES = WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP;

void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& controls) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(controls.size(), children.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& expected = controls[i];
        HWND control = children[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(expected.id) + " " +
                     expected.className);
        EXPECT_EQ(expected.id, GetDlgCtrlID(control) & 0xFFFF);
        char className[64] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(0, lstrcmpiA(expected.className, className)) << className;
        EXPECT_EQ(std::string(expected.text), WindowText(control));

        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(expected.style & CHECKED_WINDOW_STYLES, style & CHECKED_WINDOW_STYLES);
        if (lstrcmpiA(className, "Button") == 0) {
            EXPECT_EQ(expected.style & 0xFFFF, style & 0xFFFF);
        } else {
            EXPECT_EQ(expected.style & 0xFFFF, style & expected.style & 0xFFFF);
        }
        if (expected.style & WS_BORDER) {
            DWORD extended = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
            EXPECT_TRUE((style & WS_BORDER) || (extended & WS_EX_CLIENTEDGE));
        }
    }
}

void ExpectDialogFrame(HWND dialog, const char* caption, DWORD style) {
    EXPECT_EQ(std::string(caption), WindowText(dialog));
    DWORD actual = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    const DWORD checked = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    EXPECT_EQ(style & checked, actual & checked);

    // Nine-point "ＭＳ Ｐゴシック".
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);
    LOGFONTA logFont = {};
    ASSERT_NE(0, GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_EQ(std::string("\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"),
              std::string(logFont.lfFaceName));
    HDC screen = GetDC(nullptr);
    int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(-MulDiv(9, pixelsPerInch, 72), logFont.lfHeight);
}

constexpr DWORD TOOL_BUTTON = WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_ICON;
constexpr DWORD LABEL = WS_VISIBLE | SS_LEFT;
constexpr DWORD NUMBER_EDIT = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL;
constexpr DWORD TEXT_EDIT = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD SWATCH = WS_VISIBLE | WS_BORDER | SS_NOTIFY;
constexpr DWORD PUSH = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD DEFAULT_PUSH = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD CHECK_BOX = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD GROUP_BOX = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD HOT_KEY = WS_VISIBLE | WS_BORDER | WS_TABSTOP;

TEST(ResourceDialogs, ToolPaletteHasItsControlsWhereTheyBelong) {
    DialogHolder palette(IDD_TOOL_PALETTE);
    ASSERT_NE(nullptr, palette.Get());
    EXPECT_FALSE(IsWindowVisible(palette.Get()));
    ExpectDialogFrame(palette.Get(), "ツール", WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ExpectControls(palette.Get(),
                   {
                       {IDC_PALETTE_PEN, "Button", "ペン", TOOL_BUTTON},
                       {IDC_PALETTE_ERASER, "Button", "消しゴム", TOOL_BUTTON},
                       {IDC_PALETTE_FILL, "Button", "塗りつぶし", TOOL_BUTTON},
                       {IDC_PALETTE_BOX, "Button", "四角", TOOL_BUTTON},
                       {IDC_PALETTE_ELLIPSE, "Button", "楕円", TOOL_BUTTON},
                       // The text tool is never shown.
                       {IDC_PALETTE_TEXT, "Button", "テキスト", TOOL_BUTTON & ~WS_VISIBLE},
                       {NO_ID, "Static", "エンピツ", LABEL},
                       {IDC_PALETTE_PEN_SIZE, "Edit", "", NUMBER_EDIT},
                       {NO_ID, "Static", "消しゴム", LABEL},
                       {IDC_PALETTE_ERASE_SIZE, "Edit", "", NUMBER_EDIT},
                       {NO_ID, "Static", "描画色", LABEL},
                       {IDC_PALETTE_SWATCH, "Static", "", SWATCH},
                       {NO_ID, "Static", "R", LABEL},
                       {NO_ID, "Static", "G", LABEL},
                       {NO_ID, "Static", "B", LABEL},
                       {IDC_PALETTE_RED, "Edit", "", NUMBER_EDIT},
                       {IDC_PALETTE_GREEN, "Edit", "", NUMBER_EDIT},
                       {IDC_PALETTE_BLUE, "Edit", "", NUMBER_EDIT},
                   });
}

TEST(ResourceDialogs, ToolButtonsFormOneRadioGroup) {
    DialogHolder palette(IDD_TOOL_PALETTE);
    ASSERT_NE(nullptr, palette.Get());
    CheckRadioButton(palette.Get(), IDC_PALETTE_PEN, IDC_PALETTE_TEXT, IDC_PALETTE_BOX);
    // Clicking another tool clears the checked one, even across the two rows.
    SendDlgItemMessageA(palette.Get(), IDC_PALETTE_FILL, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(palette.Get(), IDC_PALETTE_FILL));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(palette.Get(), IDC_PALETTE_BOX));
}

TEST(ResourceDialogs, SizeDialogHasItsControlsWhereTheyBelong) {
    DialogHolder size(IDD_SIZE);
    ASSERT_NE(nullptr, size.Get());
    EXPECT_FALSE(IsWindowVisible(size.Get()));
    ExpectDialogFrame(size.Get(), "サイズ設定", DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ExpectControls(size.Get(), {
                                   {IDOK, "Button", "OK", DEFAULT_PUSH},
                                   {IDCANCEL, "Button", "ｷｬﾝｾﾙ", PUSH},
                                   {IDC_SIZE_WIDTH, "Edit", "", NUMBER_EDIT},
                                   {IDC_SIZE_HEIGHT, "Edit", "", NUMBER_EDIT},
                                   {NO_ID, "Static", "幅", LABEL},
                                   {NO_ID, "Static", "高さ", LABEL},
                                   {NO_ID, "Static", "pixel", LABEL},
                                   {NO_ID, "Static", "pixel", LABEL},
                               });
    // Half-width katakana are single bytes in code page 932.
    char cancel[16] = {};
    GetDlgItemTextA(size.Get(), IDCANCEL, cancel, sizeof cancel);
    EXPECT_EQ(std::string("\xB7\xAC\xDD\xBE\xD9"), std::string(cancel));
}

TEST(ResourceDialogs, OptionsDialogHasItsControlsWhereTheyBelong) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_HOTKEY_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    DialogHolder options(IDD_OPTIONS);
    ASSERT_NE(nullptr, options.Get());
    EXPECT_FALSE(IsWindowVisible(options.Get()));
    ExpectDialogFrame(options.Get(), "オプション", WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ExpectControls(
        options.Get(),
        {
            {NO_ID, "Button", "付箋紙のデフォルト設定", GROUP_BOX},
            {NO_ID, "Static", "幅", LABEL},
            {IDC_OPTIONS_DEFAULT_SIZE_X, "Edit", "", NUMBER_EDIT},
            {NO_ID, "Static", "px", LABEL},
            {NO_ID, "Static", "高さ", LABEL},
            {IDC_OPTIONS_DEFAULT_SIZE_Y, "Edit", "", NUMBER_EDIT},
            {NO_ID, "Static", "px", LABEL},
            {NO_ID, "Static", "背景色", LABEL},
            {IDC_OPTIONS_BG_SWATCH, "Static", "", SWATCH},
            {NO_ID, "Button", "パスの設定", GROUP_BOX},
            {NO_ID, "Static", "付箋紙データ保存先", LABEL},
            {IDC_OPTIONS_DATA_FOLDER, "Edit", "", TEXT_EDIT},
            {IDC_OPTIONS_BROWSE_DATA_FOLDER, "Button", "参照", PUSH},
            {NO_ID, "Static", "ファイル保存ダイアログのデフォルトフォルダ", LABEL},
            {IDC_OPTIONS_OUTPUT_FOLDER, "Edit", "", TEXT_EDIT},
            {IDC_OPTIONS_BROWSE_OUTPUT_FOLDER, "Button", "参照", PUSH},
            {NO_ID, "Button", "ホットキー", GROUP_BOX},
            {IDC_OPTIONS_USE_HOTKEY, "Button", "ホットキーを使用", CHECK_BOX},
            {NO_ID, "Static", "新規作成", LABEL},
            {IDC_OPTIONS_HOTKEY_NEW, HOTKEY_CLASSA, "", HOT_KEY},
            {NO_ID, "Static", "すべて隠す", LABEL},
            {IDC_OPTIONS_HOTKEY_HIDE, HOTKEY_CLASSA, "", HOT_KEY},
            {NO_ID, "Button", "その他", GROUP_BOX},
            {IDC_OPTIONS_DEL_WARNING, "Button", "付箋紙をはがす時に警告を出す", CHECK_BOX},
            {IDC_OPTIONS_NO_SIZING, "Button", "ホットキーで新規作成の場合はサイズ確認をしない",
             CHECK_BOX},
            {IDOK, "Button", "OK", DEFAULT_PUSH},
            {IDCANCEL, "Button", "ｷｬﾝｾﾙ", PUSH},
        });
    // The hot key controls are live ones: a combination set is read back.
    HWND hotkey = GetDlgItem(options.Get(), IDC_OPTIONS_HOTKEY_NEW);
    SendMessageA(hotkey, HKM_SETHOTKEY, MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    EXPECT_EQ(MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT),
              LOWORD(SendMessageA(hotkey, HKM_GETHOTKEY, 0, 0)));
}

// ------------------------------------------------------------------ version

TEST(ResourceVersion, ProgramFileCarriesJapaneseUnicodeVersionStrings) {
    char path[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, path, sizeof path));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_NE(0u, size);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, 4u);
    const WORD* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);

    const struct {
        const char* name;
        const char* text;
    } strings[] = {
        {"ProductVersion", "0, 5, 0, 1"},
        {"ProductName", "Inkslip"},
        {"LegalCopyright", "Copyright (C) 2026 Inkslip team"},
    };
    for (const auto& expected : strings) {
        SCOPED_TRACE(expected.name);
        // The sub-block name as the version box builds it, in lower case.
        char query[128];
        wsprintfA(query, "\\stringFileInfo\\%08x\\%s",
                  (static_cast<DWORD>(translation[0]) << 16) | translation[1], expected.name);
        ASSERT_TRUE(VerQueryValueA(block.data(), query, &value, &length));
        EXPECT_EQ(std::string(expected.text), std::string(static_cast<const char*>(value)));
    }
}

}  // namespace
