#include "shell_fixture.h"

namespace app_test {

HWND ShellTest::Start() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterMainWindowClass(instance);  // fails harmlessly after the first test
    // The notes' folder is the test's own (the default one is beside the
    // test program).
    if (IniValue("paper", "DataFolderPath") == "?") Ini("paper", "DataFolderPath", DataFolder());
    ShellPaths paths;
    paths.iniPath = IniPath();
    mainWindow = CreateMainWindow(instance, paths);
    PumpMessages();
    return mainWindow;
}

void ShellTest::Stop() {
    if (mainWindow && IsWindow(mainWindow)) DestroyWindow(mainWindow);
    mainWindow = nullptr;
    PumpMessages();
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

int ShellTest::NewNoteByDoubleClick() {
    int slot = FindFreeSlot();
    SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    PumpMessages();
    return GetPaper(slot) && GetPaper(slot)->GetWindow() ? slot : -1;
}

}  // namespace app_test
