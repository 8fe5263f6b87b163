// winprobe: a small console program that the end-to-end scenarios run next to
// the real inkslip.exe, in the same Wine prefix, to look at its windows the way
// another program would: find windows by class and title, read their
// rectangles and texts, post commands, fill in and press dialog controls, and
// read screen pixels.
//
// Arguments and printed texts are UTF-8 (the wide Win32 forms are used inside,
// so Japanese titles survive whatever the ANSI code page is). A class or title
// argument of "-" matches any; a trailing "*" makes it a prefix match.
//
// Exit codes: 0 done / found, 1 not found or time limit reached, 2 bad usage.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

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
    if (text.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                     0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], length,
                        nullptr, nullptr);
    return result;
}

// In serve mode the output of a request is collected here instead of stdout.
std::string* g_collected = nullptr;

void Print(const std::string& text) {
    if (g_collected) {
        g_collected->append(text);
        return;
    }
    fwrite(text.data(), 1, text.size(), stdout);
    fflush(stdout);
}

void PrintLine(const std::string& text) { Print(text + "\n"); }

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
    if (!pattern.empty() && pattern.back() == L'*') {
        std::wstring prefix = pattern.substr(0, pattern.size() - 1);
        return value.compare(0, prefix.size(), prefix) == 0;
    }
    return pattern == value;
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

std::wstring TitleOf(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

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

struct Filter {
    std::wstring className = L"-";
    std::wstring title = L"-";
    bool visibleOnly = false;
};

struct Collector {
    const Filter* filter;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    Collector* collector = reinterpret_cast<Collector*>(parameter);
    const Filter& filter = *collector->filter;
    if (filter.visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (!Matches(filter.className, ClassOf(window))) return TRUE;
    if (!Matches(filter.title, TitleOf(window))) return TRUE;
    collector->windows.push_back(window);
    return TRUE;
}

// Top-level windows of every process, in z-order (topmost first).
std::vector<HWND> FindTopLevel(const Filter& filter) {
    Collector collector{&filter, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&collector));
    return collector.windows;
}

std::string Describe(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return Format("%p\t%lu\t%d\t%ld\t%ld\t%ld\t%ld\t", static_cast<void*>(window),
                  static_cast<unsigned long>(process), IsWindowVisible(window) ? 1 : 0, rect.left,
                  rect.top, rect.right, rect.bottom) +
           ToUtf8(ClassOf(window)) + "\t" + ToUtf8(TitleOf(window));
}

std::string RectText(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return Format("%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
}

// Polls until `condition` holds or `timeoutMs` has passed; checks at least once.
template <typename Condition>
bool WaitFor(long timeoutMs, Condition condition) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<long>(GetTickCount() - start) >= timeoutMs) return false;
        Sleep(50);
    }
}

HWND FindDialog(const std::wstring& title) {
    Filter filter;
    filter.className = L"#32770";
    filter.title = title;
    filter.visibleOnly = true;
    std::vector<HWND> found = FindTopLevel(filter);
    return found.empty() ? nullptr : found.front();
}

HWND FindControl(const std::wstring& dialogTitle, int id, HWND* dialogOut = nullptr) {
    HWND dialog = FindDialog(dialogTitle);
    if (dialogOut) *dialogOut = dialog;
    if (!dialog) return nullptr;
    return GetDlgItem(dialog, id);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    PrintLine(Format("%d\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t", GetDlgCtrlID(child),
                     IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0, rect.left,
                     rect.top, rect.right, rect.bottom) +
              ToUtf8(ClassOf(child)) + "\t" + ToUtf8(ControlText(child)));
    return TRUE;
}

// The screen's pixels in a rectangle, read through a DIB section (exact).
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;  // 0x00RRGGBB, top-down

    bool Read(int left, int top, int w, int h) {
        if (w <= 0 || h <= 0) return false;
        width = w;
        height = h;
        HDC screen = GetDC(nullptr);
        if (!screen) return false;
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bool done = false;
        if (section && bits) {
            HGDIOBJ previous = SelectObject(memory, section);
            done = BitBlt(memory, 0, 0, w, h, screen, left, top, SRCCOPY) != FALSE;
            GdiFlush();
            const unsigned* source = static_cast<const unsigned*>(bits);
            pixels.assign(source, source + static_cast<size_t>(w) * h);
            for (unsigned& pixel : pixels) pixel &= 0xFFFFFF;
            SelectObject(memory, previous);
        }
        if (section) DeleteObject(section);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return done;
    }
    unsigned At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

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

void Usage() {
    PrintLine(
        "usage: winprobe <command> ...\n"
        "  list [class] [title]                     every top-level window: hwnd pid visible "
        "left top right bottom class title\n"
        "  wait-window <class> <title> <ms> [--visible]   first match (as list) or exit 1\n"
        "  wait-gone <class> <title> <ms> [--visible]     until no window matches\n"
        "  count-windows <class> [title] [--visible]      number of matches\n"
        "  wait-count <class> <title> <n> <ms> [--visible] until exactly n windows match\n"
        "  rect <class> [title] [--visible]         left top right bottom of the first match\n"
        "  post-command <class> <id>                PostMessage WM_COMMAND id to the window\n"
        "  post-message <class> <msg> <wparam> <lparam>\n"
        "  find-dialog <title> [ms]                 a visible dialog (#32770) by its title\n"
        "  dialog-texts <title>                     its controls: id visible enabled rect class "
        "text\n"
        "  set-text <title> <id> <text>             WM_SETTEXT on a control of the dialog\n"
        "  get-text <title> <id>                    the control's text (id 0: the dialog's own)\n"
        "  press <title> <id>                       WM_COMMAND BN_CLICKED from the control\n"
        "  control-rect <title> <id>                screen rect of a visible control of the dialog\n"
        "  is-checked <title> <id>                  prints 1 or 0 (BM_GETCHECK)\n"
        "  pixel <x> <y>                            the screen pixel as rrggbb\n"
        "  count-color <x> <y> <w> <h> <rrggbb[,rrggbb...]>  pixels of those colours in the rectangle\n"
        "  bbox-color <x> <y> <w> <h> <rrggbb>      their bounding box: left top right bottom "
        "(inclusive), or exit 1\n"
        "  checksum <x> <y> <w> <h>                 a hash of the pixels in the rectangle\n"
        "  window-at <x> <y>                        the top-level window under the point (as "
        "list)\n"
        "  sys-color <index>                        GetSysColor as rrggbb\n"
        "  screen                                   width height\n"
        "  serve <folder>                           answer requests through files (see Serve)");
}

bool TakeFlag(std::vector<std::wstring>& arguments, const wchar_t* flag) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == flag) {
            arguments.erase(arguments.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

int Run(std::vector<std::wstring> arguments) {
    if (arguments.empty()) {
        Usage();
        return EXIT_USAGE;
    }
    const std::wstring command = arguments.front();
    arguments.erase(arguments.begin());
    Filter filter;
    filter.visibleOnly = TakeFlag(arguments, L"--visible");
    const size_t count = arguments.size();

    if (command == L"list") {
        if (count > 0) filter.className = arguments[0];
        if (count > 1) filter.title = arguments[1];
        for (HWND window : FindTopLevel(filter)) PrintLine(Describe(window));
        return EXIT_FOUND;
    }
    if (command == L"wait-window" && count == 3) {
        filter.className = arguments[0];
        filter.title = arguments[1];
        HWND found = nullptr;
        bool done = WaitFor(ToInt(arguments[2]), [&] {
            std::vector<HWND> windows = FindTopLevel(filter);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        });
        if (!done) return EXIT_NOT_FOUND;
        PrintLine(Describe(found));
        return EXIT_FOUND;
    }
    if (command == L"wait-gone" && count == 3) {
        filter.className = arguments[0];
        filter.title = arguments[1];
        bool done = WaitFor(ToInt(arguments[2]), [&] { return FindTopLevel(filter).empty(); });
        return done ? EXIT_FOUND : EXIT_NOT_FOUND;
    }
    if (command == L"count-windows" && count >= 1) {
        filter.className = arguments[0];
        if (count > 1) filter.title = arguments[1];
        PrintLine(Format("%u", static_cast<unsigned>(FindTopLevel(filter).size())));
        return EXIT_FOUND;
    }
    if (command == L"wait-count" && count == 4) {
        filter.className = arguments[0];
        filter.title = arguments[1];
        size_t wanted = static_cast<size_t>(ToInt(arguments[2]));
        size_t seen = 0;
        bool done = WaitFor(ToInt(arguments[3]), [&] {
            seen = FindTopLevel(filter).size();
            return seen == wanted;
        });
        PrintLine(Format("%u", static_cast<unsigned>(seen)));
        return done ? EXIT_FOUND : EXIT_NOT_FOUND;
    }
    if (command == L"rect" && count >= 1) {
        filter.className = arguments[0];
        if (count > 1) filter.title = arguments[1];
        std::vector<HWND> windows = FindTopLevel(filter);
        if (windows.empty()) return EXIT_NOT_FOUND;
        PrintLine(RectText(windows.front()));
        return EXIT_FOUND;
    }
    if (command == L"post-command" && count == 2) {
        filter.className = arguments[0];
        std::vector<HWND> windows = FindTopLevel(filter);
        if (windows.empty()) return EXIT_NOT_FOUND;
        return PostMessageW(windows.front(), WM_COMMAND, static_cast<WPARAM>(ToInt(arguments[1])), 0)
                   ? EXIT_FOUND
                   : EXIT_NOT_FOUND;
    }
    if (command == L"post-message" && count == 4) {
        filter.className = arguments[0];
        std::vector<HWND> windows = FindTopLevel(filter);
        if (windows.empty()) return EXIT_NOT_FOUND;
        return PostMessageW(windows.front(), static_cast<UINT>(ToInt(arguments[1])),
                            static_cast<WPARAM>(ToInt(arguments[2])),
                            static_cast<LPARAM>(ToInt(arguments[3])))
                   ? EXIT_FOUND
                   : EXIT_NOT_FOUND;
    }
    if (command == L"find-dialog" && count >= 1) {
        HWND dialog = nullptr;
        long timeoutMs = count > 1 ? ToInt(arguments[1]) : 0;
        bool done = WaitFor(timeoutMs, [&] { return (dialog = FindDialog(arguments[0])) != nullptr; });
        if (!done) return EXIT_NOT_FOUND;
        PrintLine(Describe(dialog));
        return EXIT_FOUND;
    }
    if (command == L"dialog-texts" && count == 1) {
        HWND dialog = FindDialog(arguments[0]);
        if (!dialog) return EXIT_NOT_FOUND;
        EnumChildWindows(dialog, PrintChild, 0);
        return EXIT_FOUND;
    }
    if (command == L"set-text" && count == 3) {
        HWND control = FindControl(arguments[0], ToInt(arguments[1]));
        if (!control) return EXIT_NOT_FOUND;
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arguments[2].c_str()));
        return EXIT_FOUND;
    }
    if (command == L"get-text" && count == 2) {
        int id = ToInt(arguments[1]);
        HWND dialog = nullptr;
        HWND control = FindControl(arguments[0], id, &dialog);
        if (id == 0) control = dialog;
        if (!control) return EXIT_NOT_FOUND;
        PrintLine(ToUtf8(ControlText(control)));
        return EXIT_FOUND;
    }
    if (command == L"press" && count == 2) {
        int id = ToInt(arguments[1]);
        HWND dialog = nullptr;
        HWND control = FindControl(arguments[0], id, &dialog);
        if (!dialog) return EXIT_NOT_FOUND;
        return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(control))
                   ? EXIT_FOUND
                   : EXIT_NOT_FOUND;
    }
    if (command == L"control-rect" && count == 2) {
        HWND control = FindControl(arguments[0], ToInt(arguments[1]));
        if (!control || !IsWindowVisible(control)) return EXIT_NOT_FOUND;
        PrintLine(RectText(control));
        return EXIT_FOUND;
    }
    if (command == L"is-checked" && count == 2) {
        HWND control = FindControl(arguments[0], ToInt(arguments[1]));
        if (!control) return EXIT_NOT_FOUND;
        PrintLine(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
        return EXIT_FOUND;
    }
    if (command == L"pixel" && count == 2) {
        ScreenPixels screen;
        if (!screen.Read(ToInt(arguments[0]), ToInt(arguments[1]), 1, 1)) return EXIT_NOT_FOUND;
        PrintLine(Format("%06x", screen.At(0, 0)));
        return EXIT_FOUND;
    }
    if ((command == L"count-color" || command == L"bbox-color") && count == 5) {
        int left = ToInt(arguments[0]);
        int top = ToInt(arguments[1]);
        ScreenPixels screen;
        if (!screen.Read(left, top, ToInt(arguments[2]), ToInt(arguments[3]))) return EXIT_USAGE;
        std::vector<unsigned> colors = ToColors(arguments[4]);
        long matches = 0;
        int minX = screen.width, minY = screen.height, maxX = -1, maxY = -1;
        for (int y = 0; y < screen.height; ++y) {
            for (int x = 0; x < screen.width; ++x) {
                unsigned pixel = screen.At(x, y);
                bool wanted = false;
                for (unsigned color : colors) wanted = wanted || pixel == color;
                if (!wanted) continue;
                ++matches;
                if (x < minX) minX = x;
                if (y < minY) minY = y;
                if (x > maxX) maxX = x;
                if (y > maxY) maxY = y;
            }
        }
        if (command == L"count-color") {
            PrintLine(Format("%ld", matches));
            return EXIT_FOUND;
        }
        if (matches == 0) return EXIT_NOT_FOUND;
        PrintLine(Format("%d %d %d %d", left + minX, top + minY, left + maxX, top + maxY));
        return EXIT_FOUND;
    }
    if (command == L"checksum" && count == 4) {
        ScreenPixels screen;
        if (!screen.Read(ToInt(arguments[0]), ToInt(arguments[1]), ToInt(arguments[2]), ToInt(arguments[3])))
            return EXIT_USAGE;
        // FNV-1a over the pixels: enough to tell whether a region still changes.
        unsigned long long hash = 1469598103934665603ULL;
        for (unsigned pixel : screen.pixels) {
            hash ^= pixel;
            hash *= 1099511628211ULL;
        }
        PrintLine(Format("%016llx", hash));
        return EXIT_FOUND;
    }
    if (command == L"window-at" && count == 2) {
        POINT point = {ToInt(arguments[0]), ToInt(arguments[1])};
        HWND window = WindowFromPoint(point);
        if (!window) return EXIT_NOT_FOUND;
        HWND root = GetAncestor(window, GA_ROOT);
        PrintLine(Describe(root ? root : window));
        return EXIT_FOUND;
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
    Usage();
    return EXIT_USAGE;
}

}  // namespace

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

bool ReadWholeFile(const std::wstring& path, std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    content.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool done = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                written == content.size();
    CloseHandle(file);
    return done;
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
    for (;;) {
        std::string content;
        const std::string terminator = "\n.\n";
        if (!ReadWholeFile(request, content) || content.size() < terminator.size() ||
            content.compare(content.size() - terminator.size(), terminator.size(), terminator) != 0) {
            if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return EXIT_FOUND;
            Sleep(2);
            continue;
        }
        DeleteFileW(request.c_str());
        content.resize(content.size() - terminator.size() + 1);
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < content.size()) {
            size_t end = content.find('\n', start);
            if (end == std::string::npos) end = content.size();
            lines.push_back(content.substr(start, end - start));
            start = end + 1;
        }
        if (lines.empty()) continue;
        const std::string sequence = lines.front();
        std::vector<std::wstring> arguments;
        for (size_t i = 1; i < lines.size(); ++i) arguments.push_back(FromUtf8(lines[i]));
        bool quit = arguments.size() == 1 && arguments[0] == L"quit";
        std::string output;
        int code = EXIT_FOUND;
        if (!quit) {
            g_collected = &output;
            code = Run(arguments);
            g_collected = nullptr;
        }
        WriteWholeFile(answer, sequence + "\n" + Format("%d\n", code) + output);
        MoveFileExW(answer.c_str(), answerReady.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (quit) return EXIT_FOUND;
    }
}

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
