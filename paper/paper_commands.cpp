// The commands of a note's popup menu: lock, peel off, resize, save as.
#include "paper/paper.h"

#include "paper/paper_record.h"
#include "paper/size_dialog.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <commdlg.h>

#include <cstddef>
#include <new>

// The save dialog gets the structure without the places-bar fields (the 4.0
// layout), which every version of the dialog takes: 76 bytes on 32 bits.
constexpr DWORD SAVE_DIALOG_STRUCT_SIZE = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || SAVE_DIALOG_STRUCT_SIZE == 76, "the 32-bit 4.0 dialog layout");

LRESULT Paper::OnCommand(HWND, int command) {
    switch (command) {
        case IDM_PEEL_OFF:
            PeelOff();
            break;
        case IDM_LOCK:
            ToggleLock();
            break;
        case IDM_SAVE_AS:
            OnSaveAs();
            break;
        case IDM_RESIZE:
            OnResize();
            break;
        default:
            break;
    }
    return 1;
}

void Paper::ToggleLock() {
    locked = locked ? 0 : 1;
    ApplyLockMenuStates();
    // Only the tab interior changes: the padlock appears or goes.
    RECT tabInterior{1, 1, tabWidth + 1, tabHeight + 1};
    InvalidateRect(window, &tabInterior, FALSE);
}

bool Paper::PeelOff() {
    if (g_settings.IsDelWarning && MessageBoxA(window, "この付箋紙をはがしてもよろしいですか？",
                                               "Inkslip", MB_YESNO) != IDYES) {
        return false;
    }
    // The data file this note came from would bring it back at the next start.
    if (!sourceDataPath.empty()) {
        DeleteFileA(sourceDataPath.c_str());
        sourceDataPath.clear();
    }
    Destroy();  // the note may be gone after this
    return true;
}

LRESULT Paper::OnResize() {
    int32_t pair[2] = {bodyWidth, bodyHeight};
    if (ShowSizeDialog(window, pair) != IDOK) return 1;
    Resize(pair[0], pair[1]);
    return 1;
}

void Paper::Resize(int newWidth, int newHeight) {
    const Rgb background = Background();
    const int oldWidth = bodyWidth + 2;
    const int oldHeight = tabHeight + bodyHeight + 3;
    if (picture) {
        // The old frame and everything above the drawing area take the
        // background, so no old outline stays inside an enlarged picture.
        picture->FillBox(0, 0, drawArea.left, oldHeight, background);
        picture->FillBox(drawArea.left, 0, drawArea.right, drawArea.top - 1, background);
        picture->FillBox(drawArea.right, 0, oldWidth, oldHeight, background);
        picture->FillBox(0, tabHeight + bodyHeight + 2, oldWidth, oldHeight, background);
    }
    bodyWidth = newWidth;
    bodyHeight = newHeight;
    const int width = bodyWidth + 2;
    const int height = tabHeight + bodyHeight + 3;

    RECT rect;
    GetWindowRect(window, &rect);
    x = rect.left;
    y = rect.top;
    MoveWindow(window, x, y, width, height, TRUE);

    // A missing or refused region is reported, and the resize goes on.
    ReplaceRegion(true);
    drawArea = ComputePaperGeometry(tabWidth, tabHeight, bodyWidth, bodyHeight).drawArea;

    // The drawing keeps its place relative to the top-left corner.
    std::unique_ptr<DdbCanvas> carried(new (std::nothrow) DdbCanvas(1, 1));
    if (carried && picture) {
        carried->Create(oldWidth, oldHeight, background);
        picture->DrawTo(static_cast<Canvas*>(carried.get()), 0, 0);
    }
    picture.reset();
    picture.reset(new (std::nothrow) DdbCanvas(1, 1));
    if (picture) {
        picture->Create(width, height, background);
        if (carried) carried->DrawTo(static_cast<Canvas*>(picture.get()), 0, 0);
    }
    carried.reset();

    // After a resize, undo changes nothing visible.
    ForgetUndoAndOverlay();
    InvalidateRect(window, nullptr, FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
}

LRESULT Paper::OnSaveAs() {
    char fileName[MAX_PATH + 1] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = SAVE_DIALOG_STRUCT_SIZE;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = "BMPファイル(*.bmp)\0*.bmp\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = "ファイル出力先指定";
    dialog.lpstrInitialDir = g_settings.OutputFolderPath[0] ? g_settings.OutputFolderPath : nullptr;
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (GetSaveFileNameA(&dialog) != TRUE) {
        MessageBoxA(window, "ファイルの保存に失敗しました。", "Inkslip", MB_OK);
        return 1;
    }
    SaveAsFile(fileName);
    return 1;
}

bool Paper::SaveAsFile(const char* chosenName) {
    const std::string path = SaveAsFileName(chosenName ? chosenName : "");
    if (!WriteDrawingArea(path.c_str())) {
        MessageBoxA(window, "BMPファイルの出力に失敗しました。", "Inkslip", MB_OK);
        return false;
    }
    return true;
}
