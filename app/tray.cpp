#include "app/tray.h"

#include "app/paper_registry.h"
#include "app/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>

namespace {

// Registered before the entry runs: the shell broadcasts it when the taskbar
// is re-created, and the icon has to be added again then.
const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

// The record as last filled; removal uses it.
NOTIFYICONDATAA trayIcon;

// The oldest layout ends with the 64-character tip; on 32 bits that is 88 bytes.
static_assert(NOTIFYICONDATAA_V1_SIZE == offsetof(NOTIFYICONDATAA, szTip) + 64,
              "the first layout ends with the tip");
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "the 32-bit first layout");

}  // namespace

UINT TaskbarCreatedMessage() {
    return taskbarCreated;
}

void AddTrayIcon(HWND mainWindow) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    std::memset(&trayIcon, 0, sizeof trayIcon);
    // The oldest layout: every shell takes it, and it holds all we need.
    trayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIcon.hWnd = mainWindow;
    trayIcon.uID = 1;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = WM_TRAY_NOTIFY;
    trayIcon.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, 16, 16, LR_SHARED));
    std::strcpy(trayIcon.szTip, TEXT_CAPTION);
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

void RemoveTrayIcon() {
    Shell_NotifyIconA(NIM_DELETE, &trayIcon);
}

void ShowTrayMenu(HWND mainWindow) {
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(mainWindow);
    HMENU popup = g_shell.trayMenu ? GetSubMenu(g_shell.trayMenu, 0) : nullptr;
    if (popup) {
        SetMenuDefaultItem(popup, 0, TRUE);
        POINT cursor{};
        GetCursorPos(&cursor);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, mainWindow, nullptr);
    }
    // Lets the menu go away properly after a choice or a cancel.
    PostMessageA(mainWindow, WM_NULL, 0, 0);
}

void OnTrayNotify(HWND mainWindow, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            BringNotesToFront(mainWindow);
            break;
        case WM_LBUTTONDBLCLK:
            NewPaper(mainWindow, true);
            break;
        case WM_RBUTTONUP:
            ShowTrayMenu(mainWindow);
            break;
        default:
            break;
    }
}
