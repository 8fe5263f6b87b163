// winprobe: looks at the program's windows from outside, as another program
// would (it links nothing of Inkslip), answering commands read from stdin (see
// main); exit codes 0 found or done, 1 not found or timed out, 2 bad usage.
//   list [class] [title] [ms] [--visible] [--gone]: matching top-level windows
//       in z-order (visible left top right bottom class title), waiting up to
//       ms for a match (with --gone, for none); "-" matches any
//   move <class> <x> <y>: moves the first match's top-left corner there
//   pixels <x> <y> <w> <h>: a checksum of that rectangle of the screen
// Texts are UTF-8, read in their wide form whatever the ANSI code page.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum ExitCode { EXIT_FOUND = 0, EXIT_NOT_FOUND = 1, EXIT_USAGE = 2 };

// A window's text as `read` (GetClassNameW or GetWindowTextW) gives it, in UTF-8.
std::string TextOf(HWND window, int(WINAPI* read)(HWND, LPWSTR, int)) {
    wchar_t text[1024] = {};
    read(window, text, 1024);
    char buffer[3 * 1024];
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length - 1)) : std::string();
}

struct Filter {
    std::string className = "-";
    std::string title = "-";
    bool visibleOnly = false;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    Filter& filter = *reinterpret_cast<Filter*>(parameter);
    if ((!filter.visibleOnly || IsWindowVisible(window)) &&
        (filter.className == "-" || filter.className == TextOf(window, GetClassNameW)) &&
        (filter.title == "-" || filter.title == TextOf(window, GetWindowTextW)))
        filter.found.push_back(window);
    return TRUE;
}

// The matching top-level windows of every process, in z-order (topmost first);
// null when there is none.
HWND FindTopLevel(Filter& filter) {
    filter.found.clear();
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&filter));
    return filter.found.empty() ? nullptr : filter.found.front();
}

// "pixels" (see the top), read through a DIB section (exact, unlike
// PrintWindow across processes).
bool Checksum(int left, int top, int width, int height, std::string& output) {
    HDC screen = GetDC(nullptr);
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
        const unsigned* pixels = static_cast<const unsigned*>(bits);
        unsigned long long checksum = 1469598103934665603ULL;  // FNV-1a
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
            checksum = (checksum ^ (pixels[i] & 0xFFFFFF)) * 1099511628211ULL;
        output += std::to_string(checksum) + "\n";
        SelectObject(memory, previous);
        DeleteObject(section);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
}

int ToInt(const std::string& text) {
    return static_cast<int>(strtol(text.c_str(), nullptr, 0));
}

// Runs one command (see the top); its output lines go to `output`.
int Run(const std::vector<std::string>& words, std::string& output) {
    std::string command;
    std::vector<std::string> arguments;
    Filter filter;
    bool gone = false;
    for (const std::string& word : words) {
        if (word == "--visible")
            filter.visibleOnly = true;
        else if (word == "--gone")
            gone = true;
        else if (command.empty())
            command = word;
        else
            arguments.push_back(word);
    }
    const size_t count = arguments.size();
    if (count > 0) filter.className = arguments[0];
    if (count > 1 && command == "list") filter.title = arguments[1];

    if (command == "list" && count <= 3) {
        // Looks at least once, then polls until the wait is over or the time is up.
        const DWORD start = GetTickCount();
        const DWORD limit = count > 2 ? static_cast<DWORD>(ToInt(arguments[2])) : 0;
        while ((FindTopLevel(filter) == nullptr) != gone && GetTickCount() - start < limit)
            Sleep(50);
        for (HWND window : filter.found) {
            RECT rect = {};
            GetWindowRect(window, &rect);
            output += std::to_string(IsWindowVisible(window) ? 1 : 0);
            for (LONG edge : {rect.left, rect.top, rect.right, rect.bottom})
                output += "\t" + std::to_string(edge);
            output +=
                "\t" + TextOf(window, GetClassNameW) + "\t" + TextOf(window, GetWindowTextW) + "\n";
        }
        return filter.found.empty() == gone ? EXIT_FOUND : EXIT_NOT_FOUND;
    }
    if (command == "move" && count == 3) {
        HWND window = FindTopLevel(filter);
        const int x = ToInt(arguments[1]), y = ToInt(arguments[2]);
        const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
        return window && SetWindowPos(window, nullptr, x, y, 0, 0, flags) ? EXIT_FOUND
                                                                          : EXIT_NOT_FOUND;
    }
    if (command == "pixels" && count == 4) {
        const int x = ToInt(arguments[0]), y = ToInt(arguments[1]);
        const int width = ToInt(arguments[2]), height = ToInt(arguments[3]);
        return Checksum(x, y, width, height, output) ? EXIT_FOUND : EXIT_USAGE;
    }
    output += "usage: see the comment at the top of winprobe.cpp\n";
    return EXIT_USAGE;
}

}  // namespace

// One process answers a whole scenario (a Wine start costs half a second): a
// request is one argument a line, then "."; the answer is the output, then
// "=<exit code>". The end of the input ends the program.
int main() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        if (text != ".") {
            arguments.push_back(text);
            continue;
        }
        std::string output;
        const int code = Run(arguments, output);
        output += "=" + std::to_string(code) + "\n";
        fwrite(output.data(), 1, output.size(), stdout);
        fflush(stdout);
        arguments.clear();
    }
    return EXIT_FOUND;
}
