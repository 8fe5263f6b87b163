// The resource script as the program sees it: menus, dialogs, icons and
// texts, read back through the ANSI API of this test program (which links
// the same script), so every Japanese text arrives as code page 932 bytes.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// 最前面表示: the trail byte of 表 is 0x5C, the code of a backslash.
const std::string TOPMOST_CP932("\x8D\xC5\x91\x4F\x96\xCA\x95\x5C\x8E\xA6");

TEST(ResourceTexts, SourceLiteralsAreCompiledToCp932) {
    EXPECT_EQ(TOPMOST_CP932, std::string("最前面表示"));
    // A 0x5C trail byte must not swallow the next character as an escape.
    EXPECT_EQ(std::string("\x83\x5C\x6E"), std::string("ソn"));
    // Message box texts: the escape is handled before the conversion.
    EXPECT_EQ(
        std::string("\x81\x42\n\x91\xB1"),
        std::string("サイズが画面に対して大きいかもしれません。\n続行しますか？").substr(40, 5));
    EXPECT_EQ(std::string("HK_HIDE\x82\xCC\x93\x6F\x98\x5E\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC"
                          "\x82\xB5\x82\xBD\x81\x42"),
              std::string("HK_HIDEの登録に失敗しました。"));
}

// Items of a menu's only popup in order; id 0 stands for a separator. No item
// starts checked or greyed.
void ExpectPopupItems(int menuId, const std::vector<std::pair<UINT, const char*>>& items) {
    HMENU menu = LoadMenuA(Instance(), MAKEINTRESOURCEA(menuId));
    ASSERT_NE(nullptr, menu);
    HMENU popup = GetSubMenu(menu, 0);
    EXPECT_EQ(1, GetMenuItemCount(menu));
    EXPECT_EQ(static_cast<int>(items.size()), GetMenuItemCount(popup));
    for (UINT position = 0; position < items.size() && popup; ++position) {
        SCOPED_TRACE("menu " + std::to_string(menuId) + " position " + std::to_string(position));
        UINT state = GetMenuState(popup, position, MF_BYPOSITION);
        if (items[position].first == 0) {
            EXPECT_NE(0u, state & MF_SEPARATOR);  // reported greyed too
            continue;
        }
        EXPECT_EQ(0u, state & (MF_SEPARATOR | MF_CHECKED | MF_GRAYED | MF_DISABLED));
        EXPECT_EQ(items[position].first, GetMenuItemID(popup, position));
        char text[128] = {};
        GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(std::string(items[position].second), std::string(text));
    }
    DestroyMenu(menu);
}

TEST(ResourceMenus, TrayAndPaperMenusHoldTheirItemsInOrder) {
    // clang-format off
    ExpectPopupItems(IDR_TRAY_MENU, {
        {IDM_NEW_PAPER, "新規作成"}, {IDM_NEW_FROM_BMP, "BMPから新規作成"}, {0, ""},
        {IDM_TOPMOST, "最前面表示"}, {IDM_HIDE_ALL, "付箋紙をすべて隠す"}, {0, ""},
        {IDM_SHOW_TOOL_PALETTE, "描画ツール"}, {IDM_OPTIONS, "オプション"}, {0, ""},
        {IDM_VERSION, "バージョン情報"}, {IDM_EXIT, "終了"}});
    ExpectPopupItems(IDR_PAPER_MENU, {
        {IDM_LOCK, "メモをロック"}, {IDM_PEEL_OFF, "はがす"}, {IDM_RESIZE, "サイズ変更"},
        {IDM_SAVE_AS, "名前をつけて保存"}});
    // clang-format on

    HMENU menu = LoadMenuA(Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    char text[64] = {};
    EXPECT_EQ(10, GetMenuStringA(menu, IDM_TOPMOST, text, sizeof text, MF_BYCOMMAND));
    EXPECT_EQ(TOPMOST_CP932, std::string(text));
    DestroyMenu(menu);
}

// The icon drawn over a background no icon uses, pixel by pixel.
std::vector<COLORREF> RenderIcon(HICON icon) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < 16 * 16; ++i) pixels.push_back(GetPixel(dc, i % 16, i / 16));
    SelectObject(dc, old);
    DeleteObject(magenta);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(ResourceIcons, EveryIconLoadsAndShowsItsOwnPicture) {
    std::set<std::vector<COLORREF>> pictures;
    for (int id : {IDI_TRAY, IDI_PEN, IDI_ERASER, IDI_FILL, IDI_BOX, IDI_ELLIPSE, IDI_TEXT}) {
        SCOPED_TRACE("icon " + std::to_string(id));
        // As the tray and the palette load them: 16 x 16, shared.
        HICON icon = static_cast<HICON>(
            LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_SHARED));
        ASSERT_NE(nullptr, icon);
        std::vector<COLORREF> picture = RenderIcon(icon);
        EXPECT_GE(std::set<COLORREF>(picture.begin(), picture.end()).size(), 3u) << "blank icon";
        pictures.insert(picture);
    }
    EXPECT_EQ(7u, pictures.size()) << "two ids share one picture";
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

constexpr int NO_ID = 0xFFFF;
constexpr DWORD TOOL = WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_ICON;
constexpr DWORD LABEL = WS_VISIBLE | SS_LEFT;
constexpr DWORD NUMBER = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL;
constexpr DWORD TEXT = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD SWATCH = WS_VISIBLE | WS_BORDER | SS_NOTIFY;
constexpr DWORD PUSH = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD DEFAULT = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD CHECK = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD GROUP = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD HOT_KEY = WS_VISIBLE | WS_BORDER | WS_TABSTOP;

struct Control {
    int id;
    const char* text;  // CP932 after compilation
    DWORD style;       // the control-specific low word plus WS_ bits
};

// Opens a dialog template without running it and checks its caption, its
// nine-point "ＭＳ Ｐゴシック" font and its controls in order: id, text and
// the style bits the template decides. The caller destroys it.
HWND ExpectDialog(int dialogId, const char* caption, const std::vector<Control>& controls) {
    SCOPED_TRACE(caption);
    HWND dialog =
        CreateDialogParamA(Instance(), MAKEINTRESOURCEA(dialogId), nullptr, InertDialogProc, 0);
    EXPECT_NE(nullptr, dialog);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(std::string(caption), WindowText(dialog));
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(std::string("\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"),
              std::string(font.lfFaceName));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
    ReleaseDC(nullptr, screen);

    // WS_BORDER is left out: the dialog manager may turn it into a client edge.
    const DWORD windowStyles = WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP;
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    EXPECT_EQ(controls.size(), children.size());
    for (size_t i = 0; i < controls.size() && i < children.size(); ++i) {
        const Control& expected = controls[i];
        HWND child = children[i];
        SCOPED_TRACE("control " + std::to_string(expected.id) + " " + expected.text);
        EXPECT_EQ(expected.id, GetDlgCtrlID(child) & 0xFFFF);
        EXPECT_EQ(std::string(expected.text), WindowText(child));
        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(expected.style & windowStyles, style & windowStyles);
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        // A button's kind is a number in the low bits, not a set of flags.
        DWORD mask = lstrcmpiA(className, "Button") == 0 ? 0xFFFF : expected.style & 0xFFFF;
        EXPECT_EQ(expected.style & 0xFFFF, style & mask) << className;
    }
    return dialog;
}

TEST(ResourceDialogs, PaletteSizeAndOptionsDialogsHoldTheirControls) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_HOTKEY_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    // clang-format off
    HWND palette = ExpectDialog(IDD_TOOL_PALETTE, "ツール", {
        {IDC_PALETTE_PEN, "ペン", TOOL}, {IDC_PALETTE_ERASER, "消しゴム", TOOL},
        {IDC_PALETTE_FILL, "塗りつぶし", TOOL}, {IDC_PALETTE_BOX, "四角", TOOL},
        {IDC_PALETTE_ELLIPSE, "楕円", TOOL},
        {IDC_PALETTE_TEXT, "テキスト", TOOL & ~WS_VISIBLE},  // never shown
        {NO_ID, "エンピツ", LABEL}, {IDC_PALETTE_PEN_SIZE, "", NUMBER},
        {NO_ID, "消しゴム", LABEL}, {IDC_PALETTE_ERASE_SIZE, "", NUMBER},
        {NO_ID, "描画色", LABEL}, {IDC_PALETTE_SWATCH, "", SWATCH},
        {NO_ID, "R", LABEL}, {NO_ID, "G", LABEL}, {NO_ID, "B", LABEL},
        {IDC_PALETTE_RED, "", NUMBER}, {IDC_PALETTE_GREEN, "", NUMBER},
        {IDC_PALETTE_BLUE, "", NUMBER}});
    // ｷｬﾝｾﾙ: half-width katakana are single bytes in code page 932.
    DestroyWindow(ExpectDialog(IDD_SIZE, "サイズ設定", {
        {IDOK, "OK", DEFAULT}, {IDCANCEL, "\xB7\xAC\xDD\xBE\xD9", PUSH},
        {IDC_SIZE_WIDTH, "", NUMBER}, {IDC_SIZE_HEIGHT, "", NUMBER},
        {NO_ID, "幅", LABEL}, {NO_ID, "高さ", LABEL},
        {NO_ID, "pixel", LABEL}, {NO_ID, "pixel", LABEL}}));
    HWND options = ExpectDialog(IDD_OPTIONS, "オプション", {
        {NO_ID, "付箋紙のデフォルト設定", GROUP}, {NO_ID, "幅", LABEL},
        {IDC_OPTIONS_DEFAULT_SIZE_X, "", NUMBER}, {NO_ID, "px", LABEL},
        {NO_ID, "高さ", LABEL}, {IDC_OPTIONS_DEFAULT_SIZE_Y, "", NUMBER}, {NO_ID, "px", LABEL},
        {NO_ID, "背景色", LABEL}, {IDC_OPTIONS_BG_SWATCH, "", SWATCH},
        {NO_ID, "パスの設定", GROUP}, {NO_ID, "付箋紙データ保存先", LABEL},
        {IDC_OPTIONS_DATA_FOLDER, "", TEXT}, {IDC_OPTIONS_BROWSE_DATA_FOLDER, "参照", PUSH},
        {NO_ID, "ファイル保存ダイアログのデフォルトフォルダ", LABEL},
        {IDC_OPTIONS_OUTPUT_FOLDER, "", TEXT}, {IDC_OPTIONS_BROWSE_OUTPUT_FOLDER, "参照", PUSH},
        {NO_ID, "ホットキー", GROUP}, {IDC_OPTIONS_USE_HOTKEY, "ホットキーを使用", CHECK},
        {NO_ID, "新規作成", LABEL}, {IDC_OPTIONS_HOTKEY_NEW, "", HOT_KEY},
        {NO_ID, "すべて隠す", LABEL}, {IDC_OPTIONS_HOTKEY_HIDE, "", HOT_KEY},
        {NO_ID, "その他", GROUP},
        {IDC_OPTIONS_DEL_WARNING, "付箋紙をはがす時に警告を出す", CHECK},
        {IDC_OPTIONS_NO_SIZING, "ホットキーで新規作成の場合はサイズ確認をしない", CHECK},
        {IDOK, "OK", DEFAULT}, {IDCANCEL, "ｷｬﾝｾﾙ", PUSH}});
    // clang-format on

    // Clicking another tool clears the checked one, even across the two rows.
    CheckRadioButton(palette, IDC_PALETTE_PEN, IDC_PALETTE_TEXT, IDC_PALETTE_BOX);
    SendDlgItemMessageA(palette, IDC_PALETTE_FILL, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(palette, IDC_PALETTE_FILL));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(palette, IDC_PALETTE_BOX));
    // The hot key controls are live ones: a combination set is read back.
    HWND hotkey = GetDlgItem(options, IDC_OPTIONS_HOTKEY_NEW);
    const WORD combination = MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT);
    SendMessageA(hotkey, HKM_SETHOTKEY, combination, 0);
    EXPECT_EQ(combination, LOWORD(SendMessageA(hotkey, HKM_GETHOTKEY, 0, 0)));
    DestroyWindow(palette);
    DestroyWindow(options);
}

}  // namespace
