// A note's record, window class, window, shape, creation and teardown.
#include "paper/paper.h"

#include "canvas/gdi_handles.h"
#include "paper/paper_record.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <cstdio>
#include <new>

ToolState* Paper::toolState = nullptr;
int32_t Paper::lastX = -1;
int32_t Paper::lastY = -1;
HWND Paper::paletteWindow = nullptr;

namespace {

HINSTANCE InstanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

// The tab-and-body shape of a note; null when the platform refuses it.
HRGN CreatePaperRegion(int tabWidth, int tabHeight, int bodyWidth, int bodyHeight) {
    const PaperGeometry geometry = ComputePaperGeometry(tabWidth, tabHeight, bodyWidth, bodyHeight);
    gdi_handles::RegionHandle tab(CreateRectRgnIndirect(&geometry.tab));
    gdi_handles::RegionHandle body(CreateRectRgnIndirect(&geometry.body));
    if (!tab || !body) return nullptr;
    CombineRgn(tab.Get(), tab.Get(), body.Get(), RGN_OR);
    return tab.Release();
}

}  // namespace

Paper::Paper() {
    lastX = -1;
    lastY = -1;
}

Paper::~Paper() {
    if (picture) number = -1;
    ReleaseResources();
    mainWindow = nullptr;
}

void Paper::SetToolState(ToolState* state) {
    toolState = state;
}

void Paper::SetPaletteWindow(HWND palette) {
    paletteWindow = palette;
}

ToolState& Paper::Tools() const {
    return toolState ? *toolState : g_settings.Tool;
}

Rgb Paper::Background() const {
    return ColorQuadToRgb(g_settings.BgColor);
}

bool Paper::Create(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight, int bodyWidth,
                   int bodyHeight, int number) {
    return Create(mainWindow, windowProc, tabWidth, tabHeight, bodyWidth, bodyHeight, number,
                  nullptr);
}

bool Paper::Create(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight, int bodyWidth,
                   int bodyHeight, int number, const POINT* position) {
    if (!mainWindow) return false;
    this->mainWindow = mainWindow;
    this->tabWidth = tabWidth;
    this->tabHeight = tabHeight;
    this->bodyWidth = bodyWidth;
    this->bodyHeight = bodyHeight;
    this->number = number;

    char name[32];
    std::snprintf(name, sizeof name, "Inkslip%d", number);
    const HINSTANCE instance = InstanceOf(mainWindow);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = 0;  // no double clicks: a double click is two presses
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = name;
    classAtom = RegisterClassExA(&windowClass);
    if (classAtom == 0 && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        // A note destroyed from outside (its window gone before the note could
        // unregister) leaves its class behind; without windows it can go.
        if (UnregisterClassA(name, instance)) classAtom = RegisterClassExA(&windowClass);
    }
    if (classAtom == 0) return false;

    const PaperGeometry geometry = ComputePaperGeometry(tabWidth, tabHeight, bodyWidth, bodyHeight);
    // Made where it belongs: moving a window once made costs as much again.
    const POINT origin =
        position ? *position
                 : CenteredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    geometry.windowWidth, geometry.windowHeight);
    window = CreateWindowExA(WS_EX_TOOLWINDOW, name, nullptr, WS_POPUP, origin.x, origin.y,
                             geometry.windowWidth, geometry.windowHeight, nullptr, nullptr,
                             instance, nullptr);
    if (!window) return false;

    RECT rect;
    GetWindowRect(window, &rect);
    x = rect.left;
    y = rect.top;
    DragAcceptFiles(window, TRUE);
    className = name;

    // From SetWindowRgn on the region belongs to the system; the property only
    // records which region is current.
    HRGN region = CreatePaperRegion(tabWidth, tabHeight, bodyWidth, bodyHeight);
    if (region) {
        if (SetWindowRgn(window, region, TRUE)) {
            SetPropA(mainWindow, className.c_str(), region);
        } else {
            DeleteObject(region);
        }
    }
    drawArea = geometry.drawArea;

    const Rgb background = Background();
    picture.reset(new (std::nothrow) DdbCanvas(1, 1));
    if (picture) picture->Create(geometry.windowWidth, geometry.windowHeight, background);
    // The undo copy and the overlay wait for the first press and the first
    // preview: until then the copy would only repeat the picture, and most
    // notes never show a preview. 255 restored notes would otherwise hold
    // 90 MiB more and take longer to come back.
    undoCanvas.reset();
    overlay.reset();
    menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_PAPER_MENU));
    return true;
}

void Paper::ReleaseResources() {
    // Each step gives back only what is still held, so a nested run (the
    // window's destroy message arriving while this runs) finds nothing left.
    picture.reset();
    undoCanvas.reset();
    overlay.reset();
    if (menu) {
        HMENU ownedMenu = menu;
        menu = nullptr;
        DestroyMenu(ownedMenu);
    }
    if (!className.empty()) {
        if (mainWindow) RemovePropA(mainWindow, className.c_str());
        className.clear();
    }
    if (window) {
        // Cleared first: the destroy message then finds no note for the window.
        HWND ownedWindow = window;
        window = nullptr;
        DestroyWindow(ownedWindow);
    }
    if (mainWindow && classAtom != 0) {
        // The class is unregistered once its window is gone, so that a later
        // note with the same number can register the same name again.
        if (UnregisterClassA(reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(classAtom)),
                             InstanceOf(mainWindow))) {
            classAtom = 0;
        }
    }
}

bool Paper::Destroy() {
    number = -1;
    ReleaseResources();
    if (!mainWindow) return false;
    HWND notified = mainWindow;
    mainWindow = nullptr;
    // The registry may delete this note while handling the notice.
    SendMessageA(notified, WM_PAPER_TORN_DOWN, 0, 0);
    return true;
}

bool Paper::ReplaceRegion(bool goOnAfterFailure) {
    HANDLE recorded = GetPropA(mainWindow, className.c_str());
    if (!recorded) {
        MessageBoxA(window, "リージョンの再取得に失敗しました。", "Inkslip", MB_OK);
        if (!goOnAfterFailure) return false;
    }
    RemovePropA(mainWindow, className.c_str());
    HRGN region = CreatePaperRegion(tabWidth, tabHeight, bodyWidth, bodyHeight);
    if (!region || !SetWindowRgn(window, region, FALSE)) {
        // Refused: the region is still ours to delete.
        if (region) DeleteObject(region);
        MessageBoxA(window, "リージョンの再設定に失敗しました。", "Inkslip", MB_OK);
        if (!goOnAfterFailure) return false;
        region = nullptr;
    }
    if (region) SetPropA(mainWindow, className.c_str(), region);
    drawArea = ComputePaperGeometry(tabWidth, tabHeight, bodyWidth, bodyHeight).drawArea;
    return region != nullptr;
}

void Paper::ForgetUndoAndOverlay() {
    undoCanvas.reset();
    overlay.reset();
}

void Paper::RefreshUndoCopy() {
    if (!picture) return;
    if (!undoCanvas || undoCanvas->GetWidth() != picture->GetWidth() ||
        undoCanvas->GetHeight() != picture->GetHeight()) {
        std::unique_ptr<DdbCanvas> made(new (std::nothrow) DdbCanvas(1, 1));
        if (!made || !made->Create(picture->GetWidth(), picture->GetHeight(), Background())) {
            undoCanvas.reset();
            return;
        }
        undoCanvas = std::move(made);
    }
    picture->DrawTo(static_cast<GdiSurface*>(undoCanvas.get()), 0, 0);
}

DibSectionCanvas* Paper::PreviewOverlay() {
    if (overlay) return overlay.get();
    std::unique_ptr<DibSectionCanvas> made(new (std::nothrow) DibSectionCanvas(1, 1));
    if (!made || !made->Create(bodyWidth + 2, tabHeight + bodyHeight + 3, 0xFFFFFF)) return nullptr;
    made->SetTransparentColor(0xFFFFFF);
    overlay = std::move(made);
    return overlay.get();
}

void Paper::ApplyLockMenuStates() {
    if (!menu) return;
    if (locked) {
        CheckMenuItem(menu, IDM_LOCK, MF_BYCOMMAND | MF_CHECKED);
        EnableMenuItem(menu, IDM_RESIZE, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(menu, IDM_PEEL_OFF, MF_BYCOMMAND | MF_GRAYED);
    } else {
        CheckMenuItem(menu, IDM_LOCK, MF_BYCOMMAND | MF_UNCHECKED);
        EnableMenuItem(menu, IDM_RESIZE, MF_BYCOMMAND | MF_ENABLED);
        EnableMenuItem(menu, IDM_PEEL_OFF, MF_BYCOMMAND | MF_ENABLED);
    }
}
