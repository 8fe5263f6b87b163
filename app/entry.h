// The process entry: single instance, main window and the message loop.
#pragma once

#include <windows.h>

constexpr char SINGLE_INSTANCE_MUTEX[] = "QZTKpe381wudH";

// The single-instance marker: a named mutex that exists while the first copy
// holds its handle. It is never waited on.
class SingleInstance {
public:
    explicit SingleInstance(const char* name = SINGLE_INSTANCE_MUTEX);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy already held the name.
    bool AnotherIsRunning() const { return anotherIsRunning; }
    void Close();

private:
    HANDLE mutex = nullptr;
    bool anotherIsRunning = false;
};

// One step of the loop: the accelerator first (its commands go to the main
// window whichever window of the thread the key reached), else translate and
// dispatch.
void DispatchWithAccelerator(HWND mainWindow, HACCEL accelerators, MSG& message);
// Runs until WM_QUIT; returns its wParam.
int RunMessageLoop(HWND mainWindow, HACCEL accelerators);

// Everything WinMain does; the exit code (always 0).
int RunInkslip(HINSTANCE instance);
