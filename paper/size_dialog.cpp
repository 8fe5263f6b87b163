#include "paper/size_dialog.h"

#include "paper/paper_record.h"
#include "resources/resource.h"
#include "resources/texts.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The caller's pair {width, height}, kept with the dialog: several size
// dialogs may be open at once (a note's resize and a new note's size).
int32_t* SizePairOf(HWND dialog) {
    return reinterpret_cast<int32_t*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

int32_t ReadSizeBox(HWND dialog, int id) {
    char text[SIZE_TEXT_LENGTH + 1] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return ParseSizeText(text);
}

void WriteSizeBox(HWND dialog, int id, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    SetDlgItemTextA(dialog, id, text);
}

// Asks whether a size beyond the screen is meant; true for Yes.
bool ConfirmLargeSize(HWND dialog) {
    return MessageBoxA(dialog, TEXT_TOO_LARGE_QUESTION, TEXT_CAPTION, MB_YESNO | MB_ICONWARNING) ==
           IDYES;
}

INT_PTR OnInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    if (int32_t* pair = SizePairOf(dialog)) {
        WriteSizeBox(dialog, IDC_SIZE_WIDTH, pair[0]);
        WriteSizeBox(dialog, IDC_SIZE_HEIGHT, pair[1]);
    }
    return TRUE;  // the system places the initial focus
}

// Leaving a box raises a size below the minimum at once.
void OnSizeBoxKillFocus(HWND dialog, int id) {
    if (IsBelowMinimumSize(ReadSizeBox(dialog, id))) WriteSizeBox(dialog, id, MIN_PAPER_SIZE);
}

// Each correction or a No leaves the dialog open; the user presses OK again.
void OnOk(HWND dialog) {
    int32_t width = ReadSizeBox(dialog, IDC_SIZE_WIDTH);
    int32_t height = ReadSizeBox(dialog, IDC_SIZE_HEIGHT);
    if (IsBelowMinimumSize(width)) {
        WriteSizeBox(dialog, IDC_SIZE_WIDTH, MIN_PAPER_SIZE);
        return;
    }
    if (IsBelowMinimumSize(height)) {
        WriteSizeBox(dialog, IDC_SIZE_HEIGHT, MIN_PAPER_SIZE);
        return;
    }
    if (ExceedsScreenLimit(width, GetSystemMetrics(SM_CXSCREEN)) && !ConfirmLargeSize(dialog))
        return;
    if (ExceedsScreenLimit(height, GetSystemMetrics(SM_CYSCREEN)) && !ConfirmLargeSize(dialog))
        return;
    if (int32_t* pair = SizePairOf(dialog)) {
        pair[0] = width;
        pair[1] = height;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
        case IDOK:
            OnOk(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_SIZE_WIDTH:
        case IDC_SIZE_HEIGHT:
            if (notification == EN_KILLFOCUS) OnSizeBoxKillFocus(dialog, id);
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

int32_t ParseSizeText(const char* text) {
    // Six characters at most reach here, so the value always fits.
    return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

INT_PTR CALLBACK SizeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, lParam);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        default:
            return FALSE;
    }
}

INT_PTR ShowSizeDialog(HWND owner, int32_t pair[2]) {
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SIZE), owner,
                                     SizeDialog, reinterpret_cast<LPARAM>(pair));
    // A dialog that could not be created counts as cancelled.
    return result == IDOK ? IDOK : IDCANCEL;
}
