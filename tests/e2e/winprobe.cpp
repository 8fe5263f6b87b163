// winprobe: a small console program that the end-to-end scenarios run next to
// the real inkslip.exe, in the same Wine prefix, to look at its windows the way
// another program would. Commands:
//   list [class] [title] [ms] [--visible] [--gone]
//        the matching top-level windows in z-order, one a line: hwnd pid visible
//        left top right bottom class title. With ms, waits up to that long for a
//        match (with --gone, for none); exit 1 if the wait fails or nothing matches.
//   post-command <class> <id>            PostMessage WM_COMMAND id to the first match
//   move <class> <x> <y>                 moves the first match's top-left corner there
//   controls <dialog title>              a visible dialog's controls, one a line: id
//        visible checked left top right bottom class text
//   set-text <dialog title> <id> <text>  WM_SETTEXT on a control of the dialog
//   pixels <x> <y> <w> <h> [rrggbb[,rrggbb...]]  of the screen rectangle: its first
//        pixel, a checksum, the number of pixels of those colours and their bounding
//        box (left top right bottom, inclusive); exit 1 if there are none
//   sys-color <index>                    GetSysColor as rrggbb
//   screen                               width height
//   serve <folder>                       answer requests through files (see Serve)
//
// Arguments and printed texts are UTF-8 (the wide Win32 forms are used inside,
// so Japanese titles survive whatever the ANSI code page is). A class or title
// argument of "-" matches any; a trailing "*" makes it a prefix match.
// Exit codes: 0 done / found, 1 not found or time limit reached, 2 bad usage.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int EXIT_FOUND = 0;
constexpr int EXIT_NOT_FOUND = 1;
constexpr int EXIT_USAGE = 2;

std::string ToUtf8(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], length,
                            nullptr, nullptr);
    return result;
}

std::wstring FromUtf8(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

// In serve mode the output of a request is collected here instead of stdout.
std::string* g_collected = nullptr;

void PrintLine(const std::string& text) {
    if (g_collected) {
        g_collected->append(text + "\n");
        return;
    }
    fwrite(text.data(), 1, text.size(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

// A pattern from the command line: "-" for any, "abc*" for a prefix, else exact.
bool Matches(const std::wstring& pattern, const std::wstring& value) {
    if (pattern == L"-") return true;
    if (!pattern.empty() && pattern.back() == L'*')
        return value.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return pattern == value;
}

std::wstring TextOf(HWND window, int(WINAPI* get)(HWND, LPWSTR, int)) {
    wchar_t buffer[1024] = {};
    get(window, buffer, 1024);
    return buffer;
}
std::wstring ClassOf(HWND window) { return TextOf(window, GetClassNameW); }
std::wstring TitleOf(HWND window) { return TextOf(window, GetWindowTextW); }

// A control's text as the control itself holds it: across processes
// GetWindowText gives only the text the window was created with, so ask the
// control (with a time limit, in case its program hangs).
std::wstring ControlText(HWND control) {
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return TitleOf(control);
    return buffer;
}

std::string RectText(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return Format("%ld\t%ld\t%ld\t%ld", rect.left, rect.top, rect.right, rect.bottom);
}

std::string Describe(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return Format("%p\t%lu\t%d\t", static_cast<void*>(window), static_cast<unsigned long>(process),
                  IsWindowVisible(window) ? 1 : 0) +
           RectText(window) + "\t" + ToUtf8(ClassOf(window)) + "\t" + ToUtf8(TitleOf(window));
}

struct Filter {
    std::wstring className = L"-";
    std::wstring title = L"-";
    bool visibleOnly = false;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    Filter& filter = *reinterpret_cast<Filter*>(parameter);
    if ((!filter.visibleOnly || IsWindowVisible(window)) && Matches(filter.className, ClassOf(window)) &&
        Matches(filter.title, TitleOf(window)))
        filter.found.push_back(window);
    return TRUE;
}

// Top-level windows of every process, in z-order (topmost first).
std::vector<HWND>& FindTopLevel(Filter& filter) {
    filter.found.clear();
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&filter));
    return filter.found;
}

HWND FindDialog(const std::wstring& title) {
    Filter filter{L"#32770", title, true, {}};
    return FindTopLevel(filter).empty() ? nullptr : filter.found.front();
}

BOOL CALLBACK PrintControl(HWND child, LPARAM) {
    bool button = ClassOf(child) == L"Button";
    PrintLine(Format("%d\t%d\t%d\t", GetDlgCtrlID(child), IsWindowVisible(child) ? 1 : 0,
                     button && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0) +
              RectText(child) + "\t" + ToUtf8(ClassOf(child)) + "\t" + ToUtf8(ControlText(child)));
    return TRUE;
}

// The screen's pixels in a rectangle, read through a DIB section (exact).
bool ReadScreen(int left, int top, int width, int height, std::vector<unsigned>& pixels) {
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool done = false;
    if (section && bits) {
        HGDIOBJ previous = SelectObject(memory, section);
        done = BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY) != FALSE;
        GdiFlush();
        const unsigned* source = static_cast<const unsigned*>(bits);
        pixels.assign(source, source + static_cast<size_t>(width) * height);
        for (unsigned& pixel : pixels) pixel &= 0xFFFFFF;
        SelectObject(memory, previous);
    }
    if (section) DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
}

int ToInt(const std::wstring& text) { return static_cast<int>(wcstol(text.c_str(), nullptr, 0)); }

// "rrggbb" or several of them separated by commas.
std::vector<unsigned> ToColors(const std::wstring& text) {
    std::vector<unsigned> colors;
    const wchar_t* cursor = text.c_str();
    while (*cursor) {
        wchar_t* end = nullptr;
        colors.push_back(static_cast<unsigned>(wcstoul(cursor, &end, 16)) & 0xFFFFFF);
        if (end == cursor) break;
        cursor = *end == L',' ? end + 1 : end;
    }
    return colors;
}

bool TakeFlag(std::vector<std::wstring>& arguments, const wchar_t* flag) {
    auto found = std::find(arguments.begin(), arguments.end(), flag);
    if (found == arguments.end()) return false;
    arguments.erase(found);
    return true;
}

int Run(std::vector<std::wstring> arguments) {
    const std::wstring command = arguments.empty() ? L"" : arguments.front();
    if (!arguments.empty()) arguments.erase(arguments.begin());
    Filter filter;
    filter.visibleOnly = TakeFlag(arguments, L"--visible");
    const bool gone = TakeFlag(arguments, L"--gone");
    const size_t count = arguments.size();
    if (count > 0) filter.className = arguments[0];
    if (count > 1) filter.title = arguments[1];

    if (command == L"list" && count <= 3) {
        // Polls until the wait is over or the time limit has passed; looks at least once.
        const DWORD start = GetTickCount();
        const long timeoutMs = count > 2 ? ToInt(arguments[2]) : 0;
        while (FindTopLevel(filter).empty() != gone &&
               static_cast<long>(GetTickCount() - start) < timeoutMs)
            Sleep(50);
        for (HWND window : filter.found) PrintLine(Describe(window));
        return filter.found.empty() == gone ? EXIT_FOUND : EXIT_NOT_FOUND;
    }
    if (command == L"post-command" && count == 2) {
        filter.title = L"-";
        if (FindTopLevel(filter).empty()) return EXIT_NOT_FOUND;
        return PostMessageW(filter.found.front(), WM_COMMAND, static_cast<WPARAM>(ToInt(arguments[1])), 0)
                   ? EXIT_FOUND
                   : EXIT_NOT_FOUND;
    }
    if (command == L"move" && count == 3) {
        filter.title = L"-";
        if (FindTopLevel(filter).empty()) return EXIT_NOT_FOUND;
        return SetWindowPos(filter.found.front(), nullptr, ToInt(arguments[1]), ToInt(arguments[2]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? EXIT_FOUND
                   : EXIT_NOT_FOUND;
    }
    if (command == L"controls" && count == 1) {
        HWND dialog = FindDialog(arguments[0]);
        if (!dialog) return EXIT_NOT_FOUND;
        EnumChildWindows(dialog, PrintControl, 0);
        return EXIT_FOUND;
    }
    if (command == L"set-text" && count == 3) {
        HWND dialog = FindDialog(arguments[0]);
        HWND control = dialog ? GetDlgItem(dialog, ToInt(arguments[1])) : nullptr;
        if (!control) return EXIT_NOT_FOUND;
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arguments[2].c_str()));
        return EXIT_FOUND;
    }
    if (command == L"pixels" && (count == 4 || count == 5)) {
        const int left = ToInt(arguments[0]), top = ToInt(arguments[1]);
        const int width = ToInt(arguments[2]), height = ToInt(arguments[3]);
        std::vector<unsigned> pixels;
        if (!ReadScreen(left, top, width, height, pixels)) return EXIT_USAGE;
        const std::vector<unsigned> colors = count == 5 ? ToColors(arguments[4]) : std::vector<unsigned>();
        // FNV-1a over the pixels: enough to tell whether a region still changes.
        unsigned long long hash = 1469598103934665603ULL;
        long matches = 0;
        int minX = width, minY = height, maxX = -1, maxY = -1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned pixel = pixels[static_cast<size_t>(y) * width + x];
                hash = (hash ^ pixel) * 1099511628211ULL;
                bool wanted = false;
                for (unsigned color : colors) wanted = wanted || pixel == color;
                if (!wanted) continue;
                ++matches;
                minX = std::min(minX, x), minY = std::min(minY, y);
                maxX = std::max(maxX, x), maxY = std::max(maxY, y);
            }
        }
        PrintLine(Format("%06x %016llx %ld %d %d %d %d", pixels.front(), hash, matches, left + minX,
                         top + minY, left + maxX, top + maxY));
        return matches > 0 || colors.empty() ? EXIT_FOUND : EXIT_NOT_FOUND;
    }
    if (command == L"sys-color" && count == 1) {
        COLORREF color = GetSysColor(ToInt(arguments[0]));
        PrintLine(Format("%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color)));
        return EXIT_FOUND;
    }
    if (command == L"screen") {
        PrintLine(Format("%d %d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
        return EXIT_FOUND;
    }
    PrintLine("usage: see the comment at the top of winprobe.cpp");
    return EXIT_USAGE;
}

bool ReadWholeFile(const std::wstring& path, std::string& content) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, file)) > 0;) content.append(buffer, got);
    fclose(file);
    return true;
}

// serve <folder>: answers requests without a process start each (a Wine start
// costs about half a second). The caller writes the file "request": a sequence
// number, then one argument per line (UTF-8), then a line holding only ".",
// which tells a complete request from one still being written. The answer
// "answer.ready" (written aside and renamed, so never seen half-written) holds
// the sequence number, the exit code, then the output. The request "quit", or
// the folder going away, ends the server.
int Serve(const std::wstring& folder) {
    const std::wstring request = folder + L"\\request";
    const std::wstring answer = folder + L"\\answer.tmp";
    const std::wstring answerReady = folder + L"\\answer.ready";
    const std::string terminator = "\n.\n";
    for (;;) {
        std::string content;
        if (!ReadWholeFile(request, content) || content.size() < terminator.size() ||
            content.compare(content.size() - terminator.size(), terminator.size(), terminator) != 0) {
            if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return EXIT_FOUND;
            Sleep(2);
            continue;
        }
        DeleteFileW(request.c_str());
        content.resize(content.size() - terminator.size() + 1);
        std::vector<std::string> lines;
        for (size_t start = 0, end; start < content.size(); start = end + 1) {
            end = content.find('\n', start);
            lines.push_back(content.substr(start, end - start));
        }
        std::vector<std::wstring> arguments;
        for (size_t i = 1; i < lines.size(); ++i) arguments.push_back(FromUtf8(lines[i]));
        const bool quit = arguments.size() == 1 && arguments[0] == L"quit";
        std::string output;
        int code = EXIT_FOUND;
        if (!quit) {
            g_collected = &output;
            code = Run(arguments);
            g_collected = nullptr;
        }
        const std::string reply = lines.front() + "\n" + Format("%d\n", code) + output;
        if (FILE* file = _wfopen(answer.c_str(), L"wb")) {
            fwrite(reply.data(), 1, reply.size(), file);
            fclose(file);
        }
        MoveFileExW(answer.c_str(), answerReady.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (quit) return EXIT_FOUND;
    }
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int argumentCount = 0;
    LPWSTR* argumentList = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argumentCount; ++i) arguments.push_back(argumentList[i]);
    LocalFree(argumentList);
    if (arguments.size() == 2 && arguments[0] == L"serve") return Serve(arguments[1]);
    return Run(arguments);
}
