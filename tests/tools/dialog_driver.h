// Drives real dialogs from inside their own modal loops: a thread timer runs
// one scripted step per tick, so the test keeps calling the blocking
// DialogBox/MessageBox/ChooseColor functions as the program does. Steps
// press buttons with PostMessage, so a message box opened by the press runs
// its loop after the step has returned and the next step can answer it.
// Shared by the tools, settings and paper test programs.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dialog_driver {

inline std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

// Enumeration callbacks are stdcall on 32-bit Windows, which lambdas are not.
inline BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && ClassName(window) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

inline BOOL CALLBACK CollectStaticText(HWND child, LPARAM out) {
    if (ClassName(child) == "Static") *reinterpret_cast<std::string*>(out) += WindowText(child);
    return TRUE;
}

// Visible dialog windows (class "#32770") of this thread, most recent first.
inline std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

// The visible dialog of this thread with this caption, or null.
inline HWND FindDialog(const std::string& caption) {
    for (HWND dialog : ThreadDialogs())
        if (WindowText(dialog) == caption) return dialog;
    return nullptr;
}

// A visible dialog of this thread that is none of `known` (a common dialog
// whose caption depends on the system's language), or null.
inline HWND FindOtherDialog(std::initializer_list<HWND> known) {
    for (HWND dialog : ThreadDialogs())
        if (std::find(known.begin(), known.end(), dialog) == known.end()) return dialog;
    return nullptr;
}

// The message of a message box: the texts of its static controls that are
// not empty (the icon static has none).
inline std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

inline void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class DialogScript {
public:
    using Step = std::function<bool()>;

    DialogScript() = default;
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    ~DialogScript() { Stop(); }

    // A step that is repeated at every tick until it returns true.
    DialogScript& Until(Step step) {
        steps.push_back(std::move(step));
        return *this;
    }
    // A step that runs once.
    DialogScript& Then(std::function<void()> action) {
        steps.push_back([action]() {
            action();
            return true;
        });
        return *this;
    }
    // Waits for a visible dialog with this caption and stores it.
    DialogScript& WaitFor(const std::string& caption, HWND& found) {
        return Until([caption, &found]() { return (found = FindDialog(caption)) != nullptr; });
    }

    void Start(DWORD timeoutMilliseconds = 15000) {
        deadline = GetTickCount() + timeoutMilliseconds;
        current = this;
        timer = SetTimer(nullptr, 0, 20, &DialogScript::OnTimer);
    }
    // Stops the timer; true when every step ran and nothing timed out.
    bool Stop() {
        if (timer) KillTimer(nullptr, timer);
        timer = 0;
        if (current == this) current = nullptr;
        return next == steps.size() && !timedOut;
    }
    size_t StepsDone() const { return next; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* script = current;
        if (!script || script->inStep) return;
        script->inStep = true;
        script->Tick();
        script->inStep = false;
    }

    void Tick() {
        if (!timedOut && static_cast<LONG>(GetTickCount() - deadline) > 0) {
            timedOut = true;
            ADD_FAILURE() << "dialog script timed out after step " << next;
        }
        if (timedOut) {
            // Close whatever still blocks the test, the innermost first.
            for (HWND dialog : ThreadDialogs()) {
                if (IsWindowEnabled(dialog)) EndDialog(dialog, IDCANCEL);
            }
            return;
        }
        if (next < steps.size() && steps[next]()) ++next;
    }

    static inline DialogScript* current = nullptr;
    std::vector<Step> steps;
    size_t next = 0;
    UINT_PTR timer = 0;
    DWORD deadline = 0;
    bool timedOut = false;
    bool inStep = false;
};

// Handles messages until `done` or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMilliseconds) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    return true;
}

// True when nobody holds this hot key combination: a probe window can take
// it (and gives it back at once).
inline bool IsHotkeyFree(UINT modifiers, UINT virtualKey) {
    HWND probe = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    bool free = RegisterHotKey(probe, 0x3F00, modifiers, virtualKey) != FALSE;
    if (free) UnregisterHotKey(probe, 0x3F00);
    DestroyWindow(probe);
    return free;
}

// The colour of a client pixel of a window, read back from the screen
// surface.
inline COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

}  // namespace dialog_driver
