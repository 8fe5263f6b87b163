#include "paper_fixture.h"

#include <shlobj.h>

#include <cstring>
#include <map>

namespace paper_test {

namespace {

const char MAIN_CLASS[] = "InkslipPaperTestMain";

std::map<UINT, int> mainWindowMessages;

// The main window's part the notes rely on: the purge of torn-down notes. It
// counts the notices the notes send it.
LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAPER_TORN_DOWN || message == WM_PAPER_CHANGED ||
        message == WM_PEN_COLOR_PICKED) {
        ++mainWindowMessages[message];
    }
    if (message == WM_PAPER_TORN_DOWN) PurgePapers();
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterMainClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = MAIN_CLASS;
    RegisterClassA(&windowClass);  // fails harmlessly after the first test
}

void Show(Paper* paper) {
    ShowWindow(paper->GetWindow(), SW_SHOWNOACTIVATE);
    UpdateWindow(paper->GetWindow());
}

}  // namespace

int MainWindowMessages(UINT message) { return mainWindowMessages[message]; }

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
    ASSERT_TRUE(AllocatePapers());
    mainWindowMessages.clear();
    RegisterMainClass();
    mainWindow = CreateWindowExA(0, MAIN_CLASS, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, mainWindow);
}

void PaperTest::TearDown() {
    SetAltDown(false);
    ReleaseCapture();
    FreePapers();
    if (mainWindow) DestroyWindow(mainWindow);
    PumpMessages();
    g_settings = savedSettings;
}

Paper* PaperTest::NewPaper(int number, int width, int height) {
    Paper* paper = AddPaper(number, std::make_unique<Paper>());
    if (!paper) {
        ADD_FAILURE() << "slot " << number << " is taken";
        return nullptr;
    }
    if (!paper->Create(mainWindow, PaperWindowProc, 20, 20, width, height, number)) {
        ADD_FAILURE() << "Create failed for note " << number;
        return paper;
    }
    Paper::SetToolState(&g_settings.Tool);
    Show(paper);
    return paper;
}

Paper* PaperTest::PaperFromFile(const std::string& path, int number) {
    Paper* paper = AddPaper(number, std::make_unique<Paper>());
    if (!paper) return nullptr;
    if (!paper->CreateFromFile(mainWindow, PaperWindowProc, 20, 20, path.c_str(), number)) {
        // A failed note leaves no window behind.
        EXPECT_EQ(nullptr, paper->GetWindow());
        RemovePaper(number);
        return nullptr;
    }
    Show(paper);
    return paper;
}

void PaperTest::StoreNote(int number, int x, int y, int width, int height, Rgb fill) {
    const std::string base = folder.File(std::to_string(number));
    ASSERT_TRUE(WriteBmp(base + ".bmp", width, height, fill));
    ASSERT_TRUE(WriteFileBytes(base + ".dat", RecordBytes(x, y, number, 0)));
}

void PaperTest::Mouse(Paper* paper, UINT message, int x, int y) {
    SendMessageA(paper->GetWindow(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                 MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
}

void PaperTest::Drag(Paper* paper, std::initializer_list<POINT> points) {
    const POINT* point = points.begin();
    Mouse(paper, WM_LBUTTONDOWN, point->x, point->y);
    for (++point; point != points.end(); ++point) Mouse(paper, WM_MOUSEMOVE, point->x, point->y);
    Mouse(paper, WM_LBUTTONUP, (points.end() - 1)->x, (points.end() - 1)->y);
}

void PaperTest::SetAltDown(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

RECT WindowRect(const Paper* paper) {
    RECT rect{};
    GetWindowRect(paper->GetWindow(), &rect);
    return rect;
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

}  // namespace paper_test
