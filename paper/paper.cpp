// A note's window class, window, shape, creation, teardown and size changes.
#include "paper/paper.h"

#include "canvas/gdi_handles.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/settings.h"

#include <cstdio>
#include <new>

ToolState* Paper::toolState = nullptr;

namespace {

// The preview overlay's background, which its transfers leave out.
constexpr Rgb PREVIEW_TRANSPARENT = 0xFFFFFF;

HINSTANCE InstanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

// The tab-and-body shape of a note; null when the platform refuses it.
HRGN CreatePaperRegion(const PaperGeometry& geometry) {
    gdi_handles::RegionHandle tab(CreateRectRgnIndirect(&geometry.tab));
    gdi_handles::RegionHandle body(CreateRectRgnIndirect(&geometry.body));
    if (!tab || !body) return nullptr;
    CombineRgn(tab.Get(), tab.Get(), body.Get(), RGN_OR);
    return tab.Release();
}

}  // namespace

Paper::ActiveCall::ActiveCall(Paper& paper) : paper(paper) {
    ++paper.activeCalls;
}

Paper::ActiveCall::~ActiveCall() {
    if (--paper.activeCalls == 0 && paper.purgeWindow) paper.RequestPurge();
}

Paper::Paper() = default;

Paper::~Paper() {
    if (picture) number = -1;
    ReleaseResources();
    mainWindow = nullptr;
}

void Paper::SetToolState(ToolState* state) {
    toolState = state;
}

ToolState& Paper::Tools() const {
    return toolState ? *toolState : g_settings.Tool;
}

Rgb Paper::Background() const {
    return ColorQuadToRgb(g_settings.BgColor);
}

PaperGeometry Paper::Geometry() const {
    return ComputePaperGeometry(tabWidth, tabHeight, bodyWidth, bodyHeight);
}

std::unique_ptr<DdbCanvas> Paper::MakePicture(int newBodyWidth, int newBodyHeight) const {
    const PaperGeometry geometry =
        ComputePaperGeometry(tabWidth, tabHeight, newBodyWidth, newBodyHeight);
    std::unique_ptr<DdbCanvas> made(new (std::nothrow) DdbCanvas(1, 1));
    if (!made || !made->Create(geometry.windowWidth, geometry.windowHeight, Background())) {
        return nullptr;
    }
    return made;
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

    // A note without its picture would show nothing and save a black one over
    // its files, so the picture comes first and its absence is a failure.
    picture = MakePicture(bodyWidth, bodyHeight);
    if (!picture || !RegisterWindowClass(windowProc) || !CreateWindowAt(position)) {
        ReleaseResources();
        number = -1;
        return false;
    }
    ApplyInitialRegion();
    drawArea = Geometry().drawArea;
    // The undo copy and the overlay wait for the first press and the first
    // preview: until then the copy would only repeat the picture, and most
    // notes never show a preview.
    undoCanvas.reset();
    overlay.reset();
    menu = LoadMenuA(InstanceOf(mainWindow), MAKEINTRESOURCEA(IDR_PAPER_MENU));
    // A note just made has no files yet; from now on its moves are changes.
    dirty = true;
    return true;
}

bool Paper::RegisterWindowClass(WNDPROC windowProc) {
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
    className = name;
    return true;
}

bool Paper::CreateWindowAt(const POINT* position) {
    const PaperGeometry geometry = Geometry();
    // Made where it belongs: moving a window once made costs as much again.
    const POINT origin =
        position ? *position
                 : CenteredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    geometry.windowWidth, geometry.windowHeight);
    window = CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), nullptr, WS_POPUP, origin.x,
                             origin.y, geometry.windowWidth, geometry.windowHeight, nullptr,
                             nullptr, InstanceOf(mainWindow), nullptr);
    if (!window) return false;
    ReadPosition();
    DragAcceptFiles(window, TRUE);
    return true;
}

void Paper::ApplyInitialRegion() {
    // From SetWindowRgn on the region belongs to the system; the property only
    // records which region is current.
    HRGN region = CreatePaperRegion(Geometry());
    if (!region) return;
    if (SetWindowRgn(window, region, TRUE)) {
        SetPropA(mainWindow, className.c_str(), region);
    } else {
        DeleteObject(region);
    }
}

void Paper::ReadPosition() {
    RECT rect;
    if (!window || !GetWindowRect(window, &rect)) return;
    x = rect.left;
    y = rect.top;
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
    }
    if (window) {
        // Cleared first: the destroy message then finds the note torn down.
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
    className.clear();
}

bool Paper::Destroy() {
    number = -1;
    ReleaseResources();
    if (!mainWindow) return false;
    purgeWindow = mainWindow;
    mainWindow = nullptr;
    // The purge waits until the note's own code has returned.
    if (!IsInUse()) RequestPurge();
    return true;
}

void Paper::RequestPurge() {
    PostMessageA(purgeWindow, WM_PAPER_TORN_DOWN, 0, 0);
    purgeWindow = nullptr;
}

void Paper::MarkChanged() {
    if (!window || number < 0) return;
    dirty = true;
    SendMessageA(mainWindow, WM_PAPER_CHANGED, reinterpret_cast<WPARAM>(window), 0);
}

bool Paper::ChangeBody(int newWidth, int newHeight, std::unique_ptr<DdbCanvas> newPicture,
                       bool goOnAfterRegionFailure) {
    const PaperGeometry geometry = ComputePaperGeometry(tabWidth, tabHeight, newWidth, newHeight);
    HANDLE recorded = GetPropA(mainWindow, className.c_str());
    if (!recorded) {
        MessageBoxA(window, TEXT_REGION_LOOKUP_FAILED, TEXT_CAPTION, MB_OK);
        if (!goOnAfterRegionFailure) return false;
    }
    // Made before anything changes, so that a drop it fails for changes nothing.
    gdi_handles::RegionHandle region(CreatePaperRegion(geometry));
    if (!region && !goOnAfterRegionFailure) {
        MessageBoxA(window, TEXT_REGION_SET_FAILED, TEXT_CAPTION, MB_OK);
        return false;
    }

    ReadPosition();
    const PaperGeometry oldGeometry = Geometry();
    MoveWindow(window, x, y, geometry.windowWidth, geometry.windowHeight, TRUE);
    if (region && SetWindowRgn(window, region.Get(), FALSE)) {
        // From here on the region belongs to the system; its record replaces
        // the old one.
        SetPropA(mainWindow, className.c_str(), region.Release());
    } else {
        MessageBoxA(window, TEXT_REGION_SET_FAILED, TEXT_CAPTION, MB_OK);
        if (!goOnAfterRegionFailure) {
            // The refused region stays ours; the window keeps its old shape
            // and gets its old size back.
            MoveWindow(window, x, y, oldGeometry.windowWidth, oldGeometry.windowHeight, TRUE);
            return false;
        }
        RemovePropA(mainWindow, className.c_str());
    }

    bodyWidth = newWidth;
    bodyHeight = newHeight;
    drawArea = geometry.drawArea;
    picture = std::move(newPicture);
    // After the picture was replaced, undo changes nothing visible; the
    // overlay is made again at the new size when needed.
    undoCanvas.reset();
    overlay.reset();
    InvalidateRect(window, nullptr, FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MarkChanged();
    return true;
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
    const PaperGeometry geometry = Geometry();
    std::unique_ptr<DibSectionCanvas> made(new (std::nothrow) DibSectionCanvas(1, 1));
    if (!made || !made->Create(geometry.windowWidth, geometry.windowHeight, PREVIEW_TRANSPARENT)) {
        return nullptr;
    }
    made->SetTransparentColor(PREVIEW_TRANSPARENT);
    overlay = std::move(made);
    return overlay.get();
}

void Paper::ClearPreview() {
    if (!overlay) return;
    const PaperGeometry geometry = Geometry();
    overlay->FillBox(0, 0, geometry.windowWidth, geometry.windowHeight, PREVIEW_TRANSPARENT);
}

void Paper::ApplyLockMenuStates() {
    if (!menu) return;
    const UINT enabled = locked ? MF_GRAYED : MF_ENABLED;
    CheckMenuItem(menu, IDM_LOCK, MF_BYCOMMAND | (locked ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(menu, IDM_RESIZE, MF_BYCOMMAND | enabled);
    EnableMenuItem(menu, IDM_PEEL_OFF, MF_BYCOMMAND | enabled);
}
