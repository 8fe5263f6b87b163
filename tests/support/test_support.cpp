#include "test_support.h"

#include "canvas/ddb_canvas.h"
#include "paper/paper_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

namespace test_support {

namespace {

// Calls visit(name, isFolder) for each entry of a folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") {
            visit(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

void RemoveTree(const std::string& folder) {
    ForEachEntry(folder, [&folder](const std::string& name, bool isFolder) {
        const std::string path = folder + name;
        if (isFolder) return RemoveTree(path + "\\");
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    });
    RemoveDirectoryA(folder.c_str());
}

// The scripts running, by their thread timers.
std::map<UINT_PTR, DialogScript*> g_scripts;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    const auto found = g_scripts.find(timer);
    if (found != g_scripts.end()) found->second->Tick();
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool HasClass(HWND window, const char* name) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

template <typename Windows>
bool Contains(const Windows& windows, HWND window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// Enumeration callbacks are stdcall on 32-bit Windows, which lambdas are not.
BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    if (HasClass(window, "#32770")) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> AllThreadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM joined) {
    const std::string text = WindowText(child);
    std::string& all = *reinterpret_cast<std::string*>(joined);
    if (HasClass(child, "Static") && !text.empty()) all += (all.empty() ? "" : "|") + text;
    return TRUE;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    do {
        path = base + ("inkslip-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(++counter) + "\\");
    } while (!CreateDirectoryA(path.c_str(), nullptr));
}

TemporaryFolder::~TemporaryFolder() {
    RemoveTree(path);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), bytes.size());
    file.close();
    return !file.fail();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    ForEachEntry(folder, [&names](const std::string& name, bool isFolder) {
        if (!isFolder) names.push_back(name);
    });
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteBmp(const std::string& path, int width, int height, uint32_t color) {
    DdbCanvas canvas(1, 1);
    return canvas.Create(width, height, color) && canvas.SaveBmp(path.c_str());
}

std::string RecordBytes(int x, int y, int number, int locked) {
    const PaperRecordBytes bytes = EncodePaperRecord(MakePaperRecord(x, y, number, locked));
    return std::string(bytes.begin(), bytes.end());
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> visible;
    for (HWND dialog : AllThreadDialogs()) {
        if (IsWindowVisible(dialog)) visible.push_back(dialog);
    }
    return visible;
}

HWND FindDialog(const std::string& caption) {
    for (HWND dialog : ThreadDialogs()) {
        if (WindowText(dialog) == caption) return dialog;
    }
    return nullptr;
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::string DialogText(HWND dialog) {
    std::string text;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

void PressButton(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

bool IsHotkeyFree(UINT modifiers, UINT virtualKey) {
    const bool free = RegisterHotKey(nullptr, 0x3F00, modifiers, virtualKey) != FALSE;
    if (free) UnregisterHotKey(nullptr, 0x3F00);
    return free;
}

void SetKeyDown(int virtualKey, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[virtualKey] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

DialogAnswerer::DialogAnswerer(int button) {
    const std::vector<HWND> existing = AllThreadDialogs();  // not answered
    const DWORD patience = GetTickCount() + 10000;
    script.Until([this, button, existing, patience, answered = std::vector<HWND>()]() mutable {
        for (HWND dialog : ThreadDialogs()) {
            if (Contains(existing, dialog)) continue;
            if (Contains(answered, dialog)) {
                // Still open long after its answer: ended so that the test goes on.
                if (static_cast<LONG>(GetTickCount() - patience) > 0) EndDialog(dialog, IDCANCEL);
                continue;
            }
            seen.push_back(SeenDialog{WindowText(dialog), DialogText(dialog)});
            answered.push_back(dialog);
            PressButton(dialog, button);
        }
        return false;  // answers for as long as it lives
    });
    script.Start(24 * 60 * 60 * 1000);  // no time limit of its own
}

DialogScript& DialogScript::Until(Step step) {
    steps.push_back(std::move(step));
    return *this;
}

DialogScript& DialogScript::Then(std::function<void()> action) {
    return Until([action]() {
        action();
        return true;
    });
}

DialogScript& DialogScript::WaitFor(const std::string& caption, HWND& found) {
    return Until([caption, &found]() { return (found = FindDialog(caption)) != nullptr; });
}

void DialogScript::Start(DWORD timeoutMilliseconds) {
    deadline = GetTickCount() + timeoutMilliseconds;
    timer = SetTimer(nullptr, 0, 20, OnTimer);
    g_scripts[timer] = this;
}

bool DialogScript::Stop() {
    if (timer) KillTimer(nullptr, timer);
    g_scripts.erase(timer);
    timer = 0;
    return next == steps.size() && !timedOut;
}

void DialogScript::Tick() {
    // A step may run a modal loop of its own, in which the timer fires again.
    if (inStep) return;
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
    if (next == steps.size()) return;
    inStep = true;
    const bool done = steps[next]();
    inStep = false;
    if (done) ++next;
}

}  // namespace test_support
