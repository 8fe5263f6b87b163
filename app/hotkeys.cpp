#include "app/hotkeys.h"

#include "app/paper_registry.h"
#include "app/shell.h"
#include "resources/resource.h"
#include "settings/settings.h"

void RegisterHotkeys(HWND mainWindow) {
    if (g_settings.IsUseHotkey != 1) return;
    for (int id = HK_NEW; id <= HK_HIDE; ++id) {
        int index = id - HK_NEW;
        if (!RegisterHotkeyPair(mainWindow, id, g_settings.HotkeyModifiers[index],
                                g_settings.HotkeyVirtualKeys[index])) {
            // Taken by another program: forget it, so that the options dialog
            // shows no key for it and the next save writes 0.
            g_settings.HotkeyModifiers[index] = 0;
            g_settings.HotkeyVirtualKeys[index] = 0;
        }
    }
}

void OnHotkey(HWND mainWindow, int id) {
    BringNotesToFront(mainWindow);
    if (id == HK_NEW) {
        NewPaper(mainWindow, true);
    } else if (id == HK_HIDE) {
        RunCommand(mainWindow, IDM_HIDE_ALL);
    }
}
