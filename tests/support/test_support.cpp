#include "test_support.h"

#include "canvas/ddb_canvas.h"
#include "paper/paper_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace test_support {

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

DialogAnswerer* g_answerer = nullptr;
DialogScript* g_script = nullptr;

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
    std::string text = WindowText(child);
    std::string& all = *reinterpret_cast<std::string*>(joined);
    if (HasClass(child, "Static") && !text.empty()) all += (all.empty() ? "" : "|") + text;
    return TRUE;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH + 64];
        std::snprintf(name, sizeof name, "%sinkslip-test-%lu-%u\\", base, GetCurrentProcessId(),
                      ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path = name;
            return;
        }
    }
}

TemporaryFolder::~TemporaryFolder() {
    RemoveTree(path);
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);
    std::fclose(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
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
    std::vector<HWND> dialogs = AllThreadDialogs();
    dialogs.erase(std::remove_if(dialogs.begin(), dialogs.end(),
                                 [](HWND dialog) { return !IsWindowVisible(dialog); }),
                  dialogs.end());
    return dialogs;
}

HWND FindDialog(const std::string& caption) {
    for (HWND dialog : ThreadDialogs())
        if (WindowText(dialog) == caption) return dialog;
    return nullptr;
}

HWND FindOtherDialog(std::initializer_list<HWND> known) {
    for (HWND dialog : ThreadDialogs())
        if (std::find(known.begin(), known.end(), dialog) == known.end()) return dialog;
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

void SetChooserColour(HWND chooser, int red, int green, int blue) {
    SetDlgItemInt(chooser, CHOOSER_RED, red, FALSE);
    SetDlgItemInt(chooser, CHOOSER_GREEN, green, FALSE);
    SetDlgItemInt(chooser, CHOOSER_BLUE, blue, FALSE);
}

bool IsHotkeyFree(UINT modifiers, UINT virtualKey) {
    HWND probe = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    bool free = RegisterHotKey(probe, 0x3F00, modifiers, virtualKey) != FALSE;
    if (free) UnregisterHotKey(probe, 0x3F00);
    DestroyWindow(probe);
    return free;
}

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

DialogAnswerer::DialogAnswerer(Action action) : action(std::move(action)) {
    // Dialogs already there (a modeless palette, shown or not) are not the
    // ones waited on.
    existing = AllThreadDialogs();
    g_answerer = this;
    timer = SetTimer(nullptr, 0, 50, &DialogAnswerer::OnTimer);
}

DialogAnswerer::DialogAnswerer(int button)
    : DialogAnswerer([button](HWND dialog) { PressButton(dialog, button); }) {}

DialogAnswerer::~DialogAnswerer() {
    KillTimer(nullptr, timer);
    g_answerer = nullptr;
}

void CALLBACK DialogAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answerer) g_answerer->Tick();
}

void DialogAnswerer::Tick() {
    ++ticks;
    for (HWND dialog : ThreadDialogs()) {
        if (std::find(existing.begin(), existing.end(), dialog) != existing.end()) continue;
        if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) {
            // Still open long after its answer: end it so the test goes on.
            if (ticks > 200) EndDialog(dialog, IDCANCEL);
            continue;
        }
        seen.push_back(SeenDialog{WindowText(dialog), DialogText(dialog)});
        answered.push_back(dialog);
        if (action) action(dialog);
    }
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
    g_script = this;
    timer = SetTimer(nullptr, 0, 20, &DialogScript::OnTimer);
}

bool DialogScript::Stop() {
    if (timer) KillTimer(nullptr, timer);
    timer = 0;
    if (g_script == this) g_script = nullptr;
    return next == steps.size() && !timedOut;
}

void CALLBACK DialogScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    // A step may run a modal loop of its own, in which this timer fires again.
    DialogScript* script = g_script;
    if (!script || script->inStep) return;
    script->inStep = true;
    script->Tick();
    script->inStep = false;
}

void DialogScript::Tick() {
    if (!timedOut && static_cast<LONG>(GetTickCount() - deadline) > 0) {
        timedOut = true;
        ADD_FAILURE() << "dialog script timed out after step " << next;
    }
    if (timedOut) {
        // Close whatever still blocks the test, the innermost first.
        for (HWND dialog : ThreadDialogs())
            if (IsWindowEnabled(dialog)) EndDialog(dialog, IDCANCEL);
        return;
    }
    if (next < steps.size() && steps[next]()) ++next;
}

}  // namespace test_support
