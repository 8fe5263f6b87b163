// The real program timed from outside: started as a person starts it, until
// every stored note has its window and the message loop waits for input; its
// memory then; the files of its data folder written while it stays idle; and
// its exit through the tray menu's exit command.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include <windows.h>

#include <psapi.h>

#include "bench/bench_main.h"
#include "bench/bench_util.h"
#include "resources/resource.h"

namespace bench {

namespace {

struct WindowCount {
    DWORD process;
    int notes;
    HWND mainWindow;
};

// A note's window has the class "Inkslip" followed by its number; the main
// window's class is "Inkslip" alone.
BOOL CALLBACK CountWindow(HWND window, LPARAM parameter) {
    WindowCount* count = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != count->process) return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strncmp(name, "Inkslip", 7) != 0) return TRUE;
    if (name[7] == '\0') {
        count->mainWindow = window;
    } else if (name[7] >= '0' && name[7] <= '9' && IsWindowVisible(window)) {
        ++count->notes;
    }
    return TRUE;
}

WindowCount CountWindows(DWORD process) {
    WindowCount count{process, 0, nullptr};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Each file of a folder (ending in a separator) with its last write time and
// its size.
using FolderState = std::map<std::string, std::pair<ULONGLONG, ULONGLONG>>;

FolderState ReadFolderState(const std::string& folder) {
    FolderState state;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return state;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
            found.ftLastWriteTime.dwLowDateTime;
        const ULONGLONG size =
            (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        state[found.cFileName] = {written, size};
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return state;
}

// Files made, removed, or written (another write time or size) from one state
// to the other.
int FilesWritten(const FolderState& before, const FolderState& after) {
    int written = 0;
    for (const auto& file : after) {
        auto earlier = before.find(file.first);
        if (earlier == before.end() || earlier->second != file.second) ++written;
    }
    for (const auto& file : before) {
        if (after.find(file.first) == after.end()) ++written;
    }
    return written;
}

}  // namespace

int RunProgramTiming(const std::string& program, int expected, int timeoutMs, int idleWatchMs) {
    std::string folder = program.substr(0, program.find_last_of("\\/") + 1);
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    double start = NowMs();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        PrintNote("could not start " + program);
        return 1;
    }
    CloseHandle(started.hThread);

    // Every stored note has a visible window.
    double windowsAt = -1;
    WindowCount count{};
    while (NowMs() - start < timeoutMs) {
        count = CountWindows(started.dwProcessId);
        if (count.mainWindow && count.notes >= expected) {
            windowsAt = NowMs() - start;
            break;
        }
        // Each look asks the window server about every window; looking
        // seldom keeps the measurement from slowing the program down.
        if (WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) break;
    }
    // And the message loop waits for input.
    double idleAt = -1;
    if (windowsAt >= 0) {
        int left = static_cast<int>(timeoutMs - (NowMs() - start));
        if (WaitForInputIdle(started.hProcess, left > 0 ? left : 0) == 0) idleAt = NowMs() - start;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    bool haveMemory = GetProcessMemoryInfo(started.hProcess, &memory, sizeof memory) != 0;

    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "program_%d", expected);
    std::string key = prefix;
    PrintValue((key + "_notes_seen").c_str(), count.notes, "notes");
    PrintValue((key + "_start_to_windows_ms").c_str(), windowsAt, "ms");
    PrintValue((key + "_start_to_idle_ms").c_str(), idleAt, "ms");
    if (haveMemory) {
        const double mib = 1024.0 * 1024.0;
        PrintValue((key + "_peak_working_set").c_str(), memory.PeakWorkingSetSize / mib, "MiB");
        PrintValue((key + "_peak_pagefile").c_str(), memory.PeakPagefileUsage / mib, "MiB");
    }
    // Its default data folder beside it; an idle program writes nothing there.
    if (idleWatchMs > 0 && idleAt >= 0) {
        const std::string data = folder + "data\\";
        const FolderState before = ReadFolderState(data);
        Sleep(static_cast<DWORD>(idleWatchMs));
        PrintValue((key + "_idle_files_written").c_str(),
                   FilesWritten(before, ReadFolderState(data)), "files");
        PrintValue((key + "_idle_files_watched").c_str(), static_cast<double>(before.size()),
                   "files");
    }

    // The tray menu's exit command, as a person would choose it.
    count = CountWindows(started.dwProcessId);
    double exitStart = NowMs();
    if (count.mainWindow) PostMessageA(count.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    DWORD waited = WaitForSingleObject(started.hProcess, static_cast<DWORD>(timeoutMs));
    double exitMs = NowMs() - exitStart;
    DWORD exitCode = 1;
    if (waited != WAIT_OBJECT_0) {
        PrintNote("the program did not exit in time; ended by its process id");
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, 5000);
        exitMs = -1;
    } else {
        GetExitCodeProcess(started.hProcess, &exitCode);
    }
    CloseHandle(started.hProcess);
    PrintValue((key + "_exit_ms").c_str(), exitMs, "ms");
    PrintValue((key + "_exit_code").c_str(), static_cast<double>(exitCode), "");
    return windowsAt >= 0 && waited == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace bench
