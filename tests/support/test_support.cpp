#include "test_support.h"

#include "canvas/ddb_canvas.h"
#include "paper/paper_record.h"

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

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM joined) {
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    std::string text = WindowText(child);
    std::string& all = *reinterpret_cast<std::string*>(joined);
    if (lstrcmpiA(className, "Static") == 0 && !text.empty()) {
        all += (all.empty() ? "" : "|") + text;
    }
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

void PressButton(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

DialogAnswerer::DialogAnswerer(Action action) : action(std::move(action)) {
    // Dialogs already there (a modeless palette, shown or not) are not the
    // ones waited on.
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&existing));
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
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs) {
        if (!IsWindowVisible(dialog) ||
            std::find(existing.begin(), existing.end(), dialog) != existing.end()) {
            continue;
        }
        if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) {
            // Still open long after its answer: end it so the test goes on.
            if (ticks > 200) EndDialog(dialog, IDCANCEL);
            continue;
        }
        SeenDialog entry{WindowText(dialog), ""};
        EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&entry.text));
        seen.push_back(entry);
        answered.push_back(dialog);
        if (action) action(dialog);
    }
}

}  // namespace test_support
