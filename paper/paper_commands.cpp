// The commands of a note's popup menu: lock, peel off, resize, save as.
#include "paper/paper.h"

#include "paper/paper_record.h"
#include "paper/size_dialog.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/settings.h"

#include <commdlg.h>

#include <cstddef>

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
    MarkChanged();
}

bool Paper::PeelOff() {
    if (g_settings.IsDelWarning &&
        MessageBoxA(window, TEXT_PEEL_OFF_QUESTION, TEXT_CAPTION, MB_YESNO) != IDYES) {
        return false;
    }
    // The data file this note came from would bring it back at the next start.
    if (!sourceDataPath.empty()) {
        DeleteFileA(sourceDataPath.c_str());
        sourceDataPath.clear();
    }
    Destroy();
    return true;
}

LRESULT Paper::OnResize() {
    int32_t pair[2] = {bodyWidth, bodyHeight};
    if (ShowSizeDialog(window, pair) != IDOK) return 1;
    Resize(pair[0], pair[1]);
    return 1;
}

bool Paper::Resize(int newWidth, int newHeight) {
    if (!picture) return false;
    std::unique_ptr<DdbCanvas> resized = MakePicture(newWidth, newHeight);
    if (!resized) return false;
    // The old frame and everything above the drawing area take the
    // background, so no old outline stays inside an enlarged picture; the
    // drawing keeps its place relative to the top-left corner.
    const Rgb background = Background();
    const PaperGeometry old = Geometry();
    picture->FillBox(0, 0, drawArea.left, old.windowHeight, background);
    picture->FillBox(drawArea.left, 0, drawArea.right, drawArea.top - 1, background);
    picture->FillBox(drawArea.right, 0, old.windowWidth, old.windowHeight, background);
    picture->FillBox(0, drawArea.bottom, old.windowWidth, old.windowHeight, background);
    picture->DrawTo(static_cast<Canvas*>(resized.get()), 0, 0);
    // The region messages of a resize do not stop it.
    return ChangeBody(newWidth, newHeight, std::move(resized), true);
}

LRESULT Paper::OnSaveAs() {
    char fileName[MAX_PATH + 1] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = SAVE_DIALOG_STRUCT_SIZE;
    // Owned by the note: the note cannot be used (or peeled off) meanwhile.
    dialog.hwndOwner = window;
    dialog.lpstrFilter = TEXT_SAVE_AS_FILTER;
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = TEXT_SAVE_AS_TITLE;
    dialog.lpstrInitialDir = g_settings.OutputFolderPath[0] ? g_settings.OutputFolderPath : nullptr;
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (GetSaveFileNameA(&dialog) != TRUE) {
        MessageBoxA(window, TEXT_SAVE_AS_FAILED, TEXT_CAPTION, MB_OK);
        return 1;
    }
    SaveAsFile(fileName);
    return 1;
}

bool Paper::SaveAsFile(const char* chosenName) {
    const std::string path = SaveAsFileName(chosenName ? chosenName : "");
    if (!WriteDrawingArea(path)) {
        MessageBoxA(window, TEXT_BMP_WRITE_FAILED, TEXT_CAPTION, MB_OK);
        return false;
    }
    return true;
}
