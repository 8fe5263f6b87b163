#include "settings/options_dialog.h"

#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/hotkey_flags.h"
#include "settings/ini_values.h"
#include "settings/settings.h"
#include "settings/swatch.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>

static_assert(sizeof(void*) != 4 || sizeof(BROWSEINFOA) == 32, "the 32-bit browser layout");

COLORREF OptionsCustomColors[16] = {};

namespace {

// The main window's property that holds its open options dialog.
const char OPEN_OPTIONS_DIALOG[] = "Inkslip.OptionsDialog";

// The main window whose hot keys the dialog registers: the dialog's owner.
HWND MainWindowOf(HWND dialog) {
    return GetWindow(dialog, GW_OWNER);
}

void PaintBackgroundSwatch(HWND dialog) {
    PaintSwatch(dialog, IDC_OPTIONS_BG_SWATCH, ColorQuadToColorRef(g_settings.BgColor));
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

int32_t ReadNumber(HWND dialog, int id) {
    char text[OPTIONS_TEXT_LENGTH + 1] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

void WriteNumber(HWND dialog, int id, int32_t value) {
    SetDlgItemInt(dialog, id, static_cast<UINT>(value), TRUE);
}

void SetHotkeyControl(HWND dialog, int id, int index) {
    UINT flags = ModifiersToHotkeyFlags(g_settings.HotkeyModifiers[index]);
    WPARAM value = MAKEWORD(g_settings.HotkeyVirtualKeys[index] & 0xFF, flags);
    SendDlgItemMessageA(dialog, id, HKM_SETHOTKEY, value, 0);
}

struct HotkeyPair {
    UINT modifiers;
    UINT virtualKey;
};

HotkeyPair ReadHotkeyControl(HWND dialog, int id) {
    LRESULT value = SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0);
    return {HotkeyFlagsToModifiers(HIBYTE(LOWORD(value))), LOBYTE(LOWORD(value))};
}

HotkeyPair StoredPair(int index) {
    return {g_settings.HotkeyModifiers[index], g_settings.HotkeyVirtualKeys[index]};
}

void ShowFailure(HWND dialog, const char* text) {
    MessageBoxA(dialog, text, TEXT_CAPTION, MB_OK);
}

// Registers the pairs of HK_NEW and HK_HIDE, in that order, for the main
// window and stores each one registered in the settings. At the first failure
// it says which hot key failed, gives back HK_NEW when HK_HIDE failed and
// returns false; a stored HK_NEW pair stays stored. Two empty pairs would
// clash with each other and leave a dialog that can be neither confirmed nor
// cancelled; RegisterHotkeyPair registers no empty pair.
bool RegisterPairs(HWND dialog, const HotkeyPair (&pairs)[2]) {
    static const char* const failures[2] = {TEXT_HK_NEW_FAILED, TEXT_HK_HIDE_FAILED};
    HWND mainWindow = MainWindowOf(dialog);
    for (int index = 0; index < 2; ++index) {
        const HotkeyPair& pair = pairs[index];
        if (!RegisterHotkeyPair(mainWindow, HK_NEW + index, pair.modifiers, pair.virtualKey)) {
            ShowFailure(dialog, failures[index]);
            if (index > 0) UnregisterHotKey(mainWindow, HK_NEW);
            return false;
        }
        g_settings.HotkeyModifiers[index] = pair.modifiers;
        g_settings.HotkeyVirtualKeys[index] = pair.virtualKey;
    }
    return true;
}

void EnableHotkeyControls(HWND dialog, bool enable) {
    EnableWindow(GetDlgItem(dialog, IDC_OPTIONS_HOTKEY_NEW), enable);
    EnableWindow(GetDlgItem(dialog, IDC_OPTIONS_HOTKEY_HIDE), enable);
}

void FocusControl(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

// True when the CP932 text's last character is "\" (a trail byte 0x5C of a
// double-byte character such as "表" does not count).
bool EndsWithBackslash(const char* text) {
    const std::string folder = text;
    size_t last = std::string::npos;
    ForEachCharacterStart(folder, [&last](size_t index) { last = index; });
    return last != std::string::npos && folder[last] == '\\';
}

// Appends "\" to a non-empty folder text that does not end in one, when the
// buffer of `bufferSize` bytes has room for it.
void AppendFolderSeparator(char* text, size_t bufferSize) {
    size_t length = std::strlen(text);
    if (length == 0 || EndsWithBackslash(text) || length + 2 > bufferSize) return;
    text[length] = '\\';
    text[length + 1] = '\0';
}

void ReadFolder(HWND dialog, int id, char (&folder)[SETTINGS_PATH_LENGTH + 1]) {
    char text[OPTIONS_TEXT_LENGTH + 1] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    std::memcpy(folder, text, sizeof text);
    AppendFolderSeparator(folder, sizeof folder);
}

INT_PTR OnInitDialog(HWND dialog) {
    HWND mainWindow = MainWindowOf(dialog);
    SetPropA(mainWindow, OPEN_OPTIONS_DIALOG, dialog);
    WriteNumber(dialog, IDC_OPTIONS_DEFAULT_SIZE_X, g_settings.DefaultSizeX);
    WriteNumber(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y, g_settings.DefaultSizeY);
    if (g_settings.DataFolderPath[0])
        SetDlgItemTextA(dialog, IDC_OPTIONS_DATA_FOLDER, g_settings.DataFolderPath);
    if (g_settings.OutputFolderPath[0])
        SetDlgItemTextA(dialog, IDC_OPTIONS_OUTPUT_FOLDER, g_settings.OutputFolderPath);

    if (g_settings.IsDelWarning == 1) CheckDlgButton(dialog, IDC_OPTIONS_DEL_WARNING, BST_CHECKED);
    if (g_settings.IsNoSizing == 1) CheckDlgButton(dialog, IDC_OPTIONS_NO_SIZING, BST_CHECKED);
    if (g_settings.IsUseHotkey == 1)
        CheckDlgButton(dialog, IDC_OPTIONS_USE_HOTKEY, BST_CHECKED);
    else
        EnableHotkeyControls(dialog, false);

    SetHotkeyControl(dialog, IDC_OPTIONS_HOTKEY_NEW, 0);
    SetHotkeyControl(dialog, IDC_OPTIONS_HOTKEY_HIDE, 1);

    // While the dialog is open the hot key controls record the combinations
    // instead of the combinations acting.
    UnregisterHotKey(mainWindow, HK_NEW);
    UnregisterHotKey(mainWindow, HK_HIDE);

    PaintBackgroundSwatch(dialog);
    InvalidateRect(dialog, nullptr, TRUE);
    UpdateWindow(dialog);
    return TRUE;
}

INT_PTR OnPaint(HWND dialog) {
    PaintBackgroundSwatch(dialog);
    return FALSE;
}

void OnOk(HWND dialog) {
    int32_t width = ReadNumber(dialog, IDC_OPTIONS_DEFAULT_SIZE_X);
    int32_t height = ReadNumber(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y);
    if (width < MinDefaultSize) {
        WriteNumber(dialog, IDC_OPTIONS_DEFAULT_SIZE_X, MinDefaultSize);
        FocusControl(dialog, IDC_OPTIONS_DEFAULT_SIZE_X);
        return;
    }
    if (height < MinDefaultSize) {
        WriteNumber(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y, MinDefaultSize);
        FocusControl(dialog, IDC_OPTIONS_DEFAULT_SIZE_Y);
        return;
    }

    if (IsChecked(dialog, IDC_OPTIONS_USE_HOTKEY) &&
        !RegisterPairs(dialog, {ReadHotkeyControl(dialog, IDC_OPTIONS_HOTKEY_NEW),
                                ReadHotkeyControl(dialog, IDC_OPTIONS_HOTKEY_HIDE)})) {
        return;
    }

    g_settings.DefaultSizeX = width;
    g_settings.DefaultSizeY = height;
    g_settings.IsDelWarning = IsChecked(dialog, IDC_OPTIONS_DEL_WARNING) ? 1 : 0;
    g_settings.IsNoSizing = IsChecked(dialog, IDC_OPTIONS_NO_SIZING) ? 1 : 0;
    ReadFolder(dialog, IDC_OPTIONS_DATA_FOLDER, g_settings.DataFolderPath);
    ReadFolder(dialog, IDC_OPTIONS_OUTPUT_FOLDER, g_settings.OutputFolderPath);
    // Unchecked: the hot keys stay unregistered and their pairs are kept.
    g_settings.IsUseHotkey = IsChecked(dialog, IDC_OPTIONS_USE_HOTKEY) ? 1 : 0;
    SaveSettings();
    EndDialog(dialog, IDOK);
}

// Cancel puts the stored hot keys back, as they were before the dialog.
void OnCancel(HWND dialog) {
    if (g_settings.IsUseHotkey == 1 && !RegisterPairs(dialog, {StoredPair(0), StoredPair(1)})) {
        return;
    }
    EndDialog(dialog, IDCANCEL);
}

void OnBrowse(HWND dialog, int fieldId, const char* title) {
    char folder[MAX_PATH] = "";
    if (BrowseFolder(dialog, title, folder, sizeof folder))
        SetDlgItemTextA(dialog, fieldId, folder);
}

// A colour taken here stays even when the dialog is cancelled afterwards.
void OnBackgroundSwatch(HWND dialog) {
    ChooseSwatchColor(dialog, g_settings.BgColor, OptionsCustomColors);
    PaintBackgroundSwatch(dialog);
    InvalidateRect(dialog, nullptr, FALSE);
}

// The main window no longer has an open options dialog.
void OnDestroy(HWND dialog) {
    HWND mainWindow = MainWindowOf(dialog);
    if (GetPropA(mainWindow, OPEN_OPTIONS_DIALOG) == dialog)
        RemovePropA(mainWindow, OPEN_OPTIONS_DIALOG);
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
        case IDOK:
            OnOk(dialog);
            break;
        case IDCANCEL:
            OnCancel(dialog);
            break;
        case IDC_OPTIONS_BROWSE_DATA_FOLDER:
            OnBrowse(dialog, IDC_OPTIONS_DATA_FOLDER, TEXT_DATA_FOLDER_TITLE);
            break;
        case IDC_OPTIONS_BROWSE_OUTPUT_FOLDER:
            OnBrowse(dialog, IDC_OPTIONS_OUTPUT_FOLDER, TEXT_OUTPUT_FOLDER_TITLE);
            break;
        case IDC_OPTIONS_USE_HOTKEY:
            if (notification == BN_CLICKED)
                EnableHotkeyControls(dialog, IsChecked(dialog, IDC_OPTIONS_USE_HOTKEY));
            break;
        case IDC_OPTIONS_BG_SWATCH:
            OnBackgroundSwatch(dialog);
            break;
        default:
            break;
    }
    return TRUE;
}

}  // namespace

bool BrowseFolder(HWND owner, const char* title, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return false;
    // The folder browser is a COM component: the thread must be in an apartment
    // while it runs. A thread already initialised another way still works.
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) {
        if (SUCCEEDED(apartment)) CoUninitialize();
        return false;
    }

    char displayName[MAX_PATH] = "";
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the whole name space
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = 0;
    info.lpfn = nullptr;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);

    buffer[0] = '\0';
    if (chosen) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(chosen, path) && path[0] &&
            std::strlen(path) < static_cast<size_t>(bufferSize)) {
            std::strcpy(buffer, path);
        }
        allocator->Free(chosen);
    }
    allocator->Release();
    if (SUCCEEDED(apartment)) CoUninitialize();
    return true;
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog);
        case WM_PAINT:
            return OnPaint(dialog);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_DESTROY:
            OnDestroy(dialog);
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR ShowOptionsDialog(HWND mainWindow) {
    // The tray menu still works while the dialog is open. Two dialogs would
    // take the same hot keys away from each other, so a second request only
    // brings the open one to the front.
    if (HWND open = static_cast<HWND>(GetPropA(mainWindow, OPEN_OPTIONS_DIALOG))) {
        SetForegroundWindow(open);
        return IDCANCEL;
    }
    // The hot key controls need their window class before the dialog exists.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_HOTKEY_CLASS;
    InitCommonControlsEx(&controls);
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPTIONS),
                                     mainWindow, OptionsProc, 0);
    return result == IDOK ? IDOK : IDCANCEL;
}
