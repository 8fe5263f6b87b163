#include "paper_fixture.h"

#include "canvas/ddb_canvas.h"

#include <shlobj.h>

#include <cstring>

namespace paper_test {

Paper* g_papers[MAX_PAPERS] = {};

namespace {

const char MAIN_CLASS[] = "InkslipPaperTestMain";
DialogAnswerer* g_answerer = nullptr;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAPER_TORN_DOWN) {
        // The purge: every note without a window goes.
        for (Paper*& paper : g_papers) {
            if (paper && !paper->GetWindow()) {
                Paper* gone = paper;
                paper = nullptr;
                delete gone;
            }
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterMainClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = MAIN_CLASS;
    registered = RegisterClassExA(&windowClass) != 0;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM text) {
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char buffer[512] = "";
        GetWindowTextA(child, buffer, sizeof buffer);
        std::string* joined = reinterpret_cast<std::string*>(text);
        if (buffer[0]) {
            if (!joined->empty()) *joined += "|";
            *joined += buffer;
        }
    }
    return TRUE;
}

}  // namespace

LRESULT CALLBACK ForwardToPaper(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (Paper* paper : g_papers) {
        if (paper && paper->GetWindow() == window) {
            return paper->HandleMessage(window, message, wParam, lParam);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PressButton(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

DialogAnswerer::DialogAnswerer(Action action) : action(std::move(action)) {
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
        bool done = false;
        for (HWND old : answered) done = done || old == dialog;
        if (done) {
            // Still open long after its answer: end it so the test goes on.
            if (ticks > 200) EndDialog(dialog, IDCANCEL);
            continue;
        }
        SeenDialog entry;
        char caption[256] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        entry.caption = caption;
        EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&entry.text));
        seen.push_back(entry);
        answered.push_back(dialog);
        if (action) action(dialog);
    }
}

void PaperTest::SetUp() {
    savedSettings = g_settings;
    ResetSettings(g_settings);
    g_settings.BgColor = ColorQuad{0xFF, 0xFF, 0xFF, 0xFF};
    g_settings.Tool.PenColor = ColorQuad{0xFF, 0x00, 0x00, 0xFF};  // blue
    g_settings.Tool.PenSize = 1;
    g_settings.Tool.EraseSize = 1;
    g_settings.Tool.DrawMode = DRAW_PEN;
    g_settings.IsDelWarning = 0;
    g_settings.ToolIsHide = 0;
    g_settings.OutputFolderPath[0] = '\0';
    lstrcpynA(g_settings.DataFolderPath, folder.Path().c_str(), sizeof g_settings.DataFolderPath);
    Paper::SetToolState(&g_settings.Tool);
    Paper::SetPaletteWindow(nullptr);
    RegisterMainClass();
    mainWindow = CreateWindowExA(0, MAIN_CLASS, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, mainWindow);
}

void PaperTest::TearDown() {
    SetAltDown(false);
    ReleaseCapture();
    for (Paper*& paper : g_papers) {
        // Emptied before the deletion, as the program's exit does.
        Paper* gone = paper;
        paper = nullptr;
        delete gone;
    }
    if (mainWindow) DestroyWindow(mainWindow);
    Paper::SetPaletteWindow(nullptr);
    g_settings = savedSettings;
}

Paper* PaperTest::NewPaper(int number, int width, int height) {
    Paper* paper = new Paper();
    g_papers[number] = paper;
    if (!paper->Create(mainWindow, ForwardToPaper, 20, 20, width, height, number)) {
        ADD_FAILURE() << "Create failed for note " << number;
        return paper;
    }
    Paper::SetToolState(&g_settings.Tool);
    ShowWindow(paper->GetWindow(), SW_SHOWNOACTIVATE);
    UpdateWindow(paper->GetWindow());
    return paper;
}

Paper* PaperTest::PaperFromFile(const std::string& path, int number) {
    Paper* paper = new Paper();
    g_papers[number] = paper;
    if (!paper->CreateFromFile(mainWindow, ForwardToPaper, 20, 20, path.c_str(), number)) {
        paper->Destroy();
        if (g_papers[number] == paper) {
            g_papers[number] = nullptr;
            delete paper;
        }
        return nullptr;
    }
    ShowWindow(paper->GetWindow(), SW_SHOWNOACTIVATE);
    UpdateWindow(paper->GetWindow());
    return paper;
}

void PaperTest::Mouse(Paper* paper, UINT message, int x, int y) {
    SendMessageA(paper->GetWindow(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                 MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
}

void PaperTest::SetAltDown(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

bool WriteBmp(const std::string& path, int width, int height, Rgb fill) {
    DdbCanvas canvas(1, 1);
    return canvas.Create(width, height, fill) && canvas.SaveBmp(path.c_str());
}

HDROP MakeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* cursor = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(cursor, path.c_str(), path.size() + 1);
        cursor += path.size() + 1;
    }
    *cursor = '\0';
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
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
    return names;
}

}  // namespace paper_test
