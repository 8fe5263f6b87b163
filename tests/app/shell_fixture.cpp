#include "shell_fixture.h"

#include <cstdint>

namespace app_test {

namespace {

DialogAnswerer* activeAnswerer = nullptr;

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void PutLittleEndian(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

DialogAnswerer::DialogAnswerer(int button)
    : DialogAnswerer([button](const Box&) { return button; }) {}

DialogAnswerer::DialogAnswerer(Chooser choose) : chooser(std::move(choose)) {
    activeAnswerer = this;
    hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    if (hook) UnhookWindowsHookEx(hook);
    activeAnswerer = nullptr;
}

LRESULT CALLBACK DialogAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeAnswerer) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770") {
            Box box;
            box.caption = WindowText(window);
            // A message box keeps its text in the static control 0xFFFF.
            HWND text = GetDlgItem(window, 0xFFFF);
            if (text) box.text = WindowText(text);
            activeAnswerer->boxes.push_back(box);
            int button = activeAnswerer->chooser(box);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        }
    }
    HHOOK hook = activeAnswerer ? activeAnswerer->hook : nullptr;
    return CallNextHookEx(hook, code, wParam, lParam);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void SetIni(const std::string& iniPath, const char* section, const char* key,
            const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), iniPath.c_str());
}

std::string MakeBmp(int width, int height, uint32_t color) {
    int stride = (width * 3 + 3) & ~3;
    uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string bytes = "BM";
    PutLittleEndian(bytes, 54 + imageSize, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 54, 4);
    PutLittleEndian(bytes, 40, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, 24, 2);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, imageSize, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) PutLittleEndian(row, color, 3);
        row.resize(static_cast<size_t>(stride), '\0');
        bytes += row;
    }
    return bytes;
}

std::string MakeRecord(int x, int y, int number, int locked) {
    std::string bytes;
    PutLittleEndian(bytes, static_cast<uint32_t>(x), 2);
    PutLittleEndian(bytes, static_cast<uint32_t>(y), 2);
    PutLittleEndian(bytes, static_cast<uint32_t>(number), 2);
    PutLittleEndian(bytes, static_cast<uint32_t>(locked), 2);
    return bytes;
}

HWND ShellTest::Start() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterMainWindowClass(instance);  // fails harmlessly after the first test
    ShellPaths paths;
    paths.iniPath = IniPath();
    paths.programPath = folder.File("inkslip.exe");
    mainWindow = CreateMainWindow(instance, paths);
    PumpMessages();
    return mainWindow;
}

void ShellTest::Stop() {
    if (mainWindow && IsWindow(mainWindow)) DestroyWindow(mainWindow);
    mainWindow = nullptr;
    PumpMessages();
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

int ShellTest::NewNoteByDoubleClick() {
    int slot = FindFreeSlot();
    SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    PumpMessages();
    return GetPaper(slot) && GetPaper(slot)->GetWindow() ? slot : -1;
}

bool ShellTest::MenuChecked(int id) const {
    return (GetMenuState(g_shell.trayMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool ShellTest::MenuGrayed(int id) const {
    return (GetMenuState(g_shell.trayMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

}  // namespace app_test
