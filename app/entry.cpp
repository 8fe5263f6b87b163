#include "app/entry.h"

#include "app/shell.h"
#include "resources/resource.h"

SingleInstance::SingleInstance(const char* name) {
    mutex = CreateMutexA(nullptr, FALSE, name);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        anotherIsRunning = true;
        Close();
    }
}

SingleInstance::~SingleInstance() {
    Close();
}

void SingleInstance::Close() {
    if (mutex) {
        CloseHandle(mutex);
        mutex = nullptr;
    }
}

void DispatchWithAccelerator(HWND mainWindow, HACCEL accelerators, MSG& message) {
    if (accelerators && TranslateAcceleratorA(mainWindow, accelerators, &message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int RunMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchWithAccelerator(mainWindow, accelerators, message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

int RunInkslip(HINSTANCE instance) {
    SingleInstance singleInstance;
    // Another copy runs: leave before touching any window or file.
    if (singleInstance.AnotherIsRunning()) return 0;

    if (!RegisterMainWindowClass(instance)) return 0;
    HWND mainWindow = CreateMainWindow(instance, ShellPathsFromCommandLine());
    if (!mainWindow) return 0;
    ShowWindow(mainWindow, SW_HIDE);
    UpdateWindow(mainWindow);

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    int exitCode = RunMessageLoop(mainWindow, accelerators);
    singleInstance.Close();
    return exitCode;
}
