#include "app/hotkeys.h"
#include "app/paper_registry.h"
#include "app/shell.h"
#include "app/tray.h"
#include "app/version_box.h"
#include "resources/resource.h"
#include "settings/ini_values.h"
#include "settings/settings.h"

#include "paper/size_dialog.h"
#include "settings/options_dialog.h"
#include "tools/tool_palette.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <new>

ShellState g_shell;

// The open dialog gets the whole structure of this Windows version (88 bytes
// on 32 bits), the note windows and the main window their class records.
static_assert(sizeof(void*) != 4 || sizeof(OPENFILENAMEA) == 88, "the 32-bit dialog layout");
static_assert(sizeof(void*) != 4 || sizeof(WNDCLASSEXA) == 48, "the 32-bit class record");

namespace {

constexpr char CAPTION[] = "Inkslip";
constexpr char TOO_MANY_PAPERS[] =
    "紙の枚数がいっぱいです。\n枚数を減らしてからもう一度作成してください。";
constexpr char CREATE_FAILED[] = "紙の生成に失敗しました";

void SetMenuCheck(int id, bool checked) {
    if (g_shell.trayMenu) {
        CheckMenuItem(g_shell.trayMenu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void SetMenuEnabled(int id, bool enabled) {
    if (g_shell.trayMenu) {
        EnableMenuItem(g_shell.trayMenu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

int Invert(int32_t flag) { return flag == 1 ? 0 : 1; }

// A made note is handed the shared tool record, put on top when notes are
// kept on top, and shown (also while all notes are hidden).
void ShowNewPaper(Paper* paper) {
    Paper::SetToolState(&g_settings.Tool);
    HWND window = paper->GetWindow();
    if (g_settings.IsTopmost == 1) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ShowWindow(window, SW_SHOWNORMAL);
}

// Tells the user that the note could not be made and frees its slot again.
void DiscardFailedPaper(HWND mainWindow, int slot, Paper* paper) {
    MessageBoxA(mainWindow, CREATE_FAILED, CAPTION, MB_OK);
    // A note's teardown asks the main window for the purge, which normally
    // deletes it already.
    paper->Destroy();
    if (GetPaper(slot) == paper) {
        SetPaper(slot, nullptr);
        delete paper;
    }
}

// The slot for a new note, or -1 after telling the user that all are taken.
int TakeFreeSlot(HWND mainWindow) {
    int slot = FindFreeSlot();
    if (slot == MaxPapers) {
        MessageBoxA(mainWindow, TOO_MANY_PAPERS, CAPTION, MB_OK);
        return -1;
    }
    return slot;
}

void OnNewPaper(HWND mainWindow) {
    int32_t size[2] = {g_settings.DefaultSizeX, g_settings.DefaultSizeY};
    if (!(g_settings.IsNoSizing == 1 && g_shell.NewFromHotkey == 1)) {
        if (ShowSizeDialog(mainWindow, size) == IDCANCEL) {
            g_shell.NewFromHotkey = 0;
            return;
        }
    }
    g_shell.NewFromHotkey = 0;

    int slot = TakeFreeSlot(mainWindow);
    if (slot < 0) return;
    Paper* paper = new (std::nothrow) Paper();
    if (!paper) {
        MessageBoxA(mainWindow, CREATE_FAILED, CAPTION, MB_OK);
        return;
    }
    SetPaper(slot, paper);
    if (!paper->Create(mainWindow, PaperWindowProc, g_settings.TabWidth, g_settings.TabHeight,
                       size[0], size[1], slot)) {
        DiscardFailedPaper(mainWindow, slot, paper);
        return;
    }
    ShowNewPaper(paper);
}

void OnNewPaperFromBmp(HWND mainWindow) {
    char path[MAX_PATH] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = "24ビットBMPファイル(*.bmp)\0*.bmp\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = "ファイル指定";
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (g_settings.OutputFolderPath[0]) dialog.lpstrInitialDir = g_settings.OutputFolderPath;
    if (!GetOpenFileNameA(&dialog)) return;
    NewPaperFromFile(mainWindow, path);
}

void ShowAllPapers(int command) {
    ForEachPaperWindow([command](HWND window) { ShowWindow(window, command); });
}

void OnHideAll() {
    if (g_settings.PaperIsHide == 1) {
        SetMenuCheck(IDM_HIDE_ALL, false);
        ShowAllPapers(SW_SHOWNORMAL);
    } else {
        SetMenuCheck(IDM_HIDE_ALL, true);
        ShowAllPapers(SW_HIDE);
    }
    g_settings.PaperIsHide = Invert(g_settings.PaperIsHide);
}

void OnShowToolPalette() {
    SetMenuEnabled(IDM_SHOW_TOOL_PALETTE, false);
    if (g_shell.toolPalette) ShowWindow(g_shell.toolPalette, SW_SHOWNORMAL);
    g_settings.ToolIsHide = 0;
}

void OnTopmost() {
    bool wasTopmost = g_settings.IsTopmost == 1;
    HWND order = wasTopmost ? HWND_NOTOPMOST : HWND_TOPMOST;
    SetMenuCheck(IDM_TOPMOST, !wasTopmost);
    // Showing is part of it: hidden notes come back when the order changes.
    ForEachPaperWindow([order](HWND window) {
        SetWindowPos(window, order, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    });
    if (g_settings.PaperIsHide == 1) {
        SetMenuCheck(IDM_HIDE_ALL, false);
        g_settings.PaperIsHide = 0;
    }
    if (g_shell.toolPalette) {
        SetWindowPos(g_shell.toolPalette, order, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    g_settings.IsTopmost = Invert(g_settings.IsTopmost);
}

void OnUndo() {
    HWND active = GetActiveWindow();
    if (!active) return;
    int slot = FindPaperSlot(active);
    if (slot >= 0) GetPaper(slot)->Undo();
}

void OnVersion(HWND mainWindow) {
    if (ShowVersionBox(mainWindow) != 1) ShowFallbackVersionBox(mainWindow);
}

void OnOptions(HWND mainWindow) {
    ShowOptionsDialog(mainWindow);
}

// Restores every stored note 0 to 254 of the data folder. The data files stay
// on disk: a crash or a kill while the program runs must not lose the notes.
// A note remembers the file it came from, deletes it when it is peeled off and
// replaces it when it is saved at exit.
void RestorePapers(HWND mainWindow) {
    std::string folder = CurrentDataFolder();
    for (int number = 0; number < MaxPapers; ++number) {
        std::string path = folder + std::to_string(number) + ".dat";
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        Paper* paper = new (std::nothrow) Paper();
        if (!paper) continue;
        SetPaper(number, paper);
        // A note that cannot be restored keeps its slot until the next purge
        // and its file for the next start.
        paper->CreateFromFile(mainWindow, PaperWindowProc, g_settings.TabWidth,
                              g_settings.TabHeight, path.c_str(), number);
        Paper::SetToolState(&g_settings.Tool);
        if (g_settings.IsTopmost == 1 && paper->GetWindow()) {
            SetWindowPos(paper->GetWindow(), HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    ShowAllPapers(g_settings.PaperIsHide == 1 ? SW_HIDE : SW_SHOWNORMAL);
}

LRESULT OnCreate(HWND mainWindow) {
    g_shell.mainWindow = mainWindow;
    ResetSettings(g_settings);
    LoadSettings(g_settings, g_shell.paths.iniPath.c_str());

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    g_shell.trayMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    SetMenuCheck(IDM_HIDE_ALL, g_settings.PaperIsHide == 1);
    SetMenuCheck(IDM_TOPMOST, g_settings.IsTopmost == 1);
    g_settings.Tool.TrayMenu = g_shell.trayMenu;

    AddTrayIcon(mainWindow);

    // Without its palette the program cannot be used: it ends.
    g_shell.toolPalette = CreateToolPalette(mainWindow);
    if (!g_shell.toolPalette) {
        DestroyWindow(mainWindow);
        return 0;
    }
    Paper::SetPaletteWindow(g_shell.toolPalette);
    SetMenuEnabled(IDM_SHOW_TOOL_PALETTE, g_settings.ToolIsHide == 1);
    if (g_shell.toolPalette) {
        ShowWindow(g_shell.toolPalette, g_settings.ToolIsHide == 1 ? SW_HIDE : SW_SHOWNORMAL);
        if (g_settings.IsTopmost == 1) {
            SetWindowPos(g_shell.toolPalette, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }

    if (AllocatePapers()) RestorePapers(mainWindow);
    RegisterHotkeys(mainWindow);
    return 0;
}

void OnDestroy() {
    SaveSettings(g_settings, g_shell.paths.iniPath.c_str());
    if (PapersExist()) {
        // The folder is worked out again: the options dialog may have moved it.
        std::string folder = CurrentDataFolder();
        for (int slot = 0; slot < MaxPapers; ++slot) {
            Paper* paper = GetPaper(slot);
            if (!paper) continue;
            // A note without a window (a failed restore) has nothing to write
            // and must not touch the file it could not read.
            if (paper->GetWindow()) paper->Save(folder.c_str());
            // Emptied first: messages of the window the destructor destroys
            // find no note.
            SetPaper(slot, nullptr);
            delete paper;
        }
        FreePapers();
    }
    if (g_shell.toolPalette) {
        if (IsWindow(g_shell.toolPalette)) DestroyWindow(g_shell.toolPalette);
        g_shell.toolPalette = nullptr;
    }
    Paper::SetPaletteWindow(nullptr);
    RemoveTrayIcon();
    if (g_shell.trayMenu) {
        DestroyMenu(g_shell.trayMenu);
        g_shell.trayMenu = nullptr;
        g_settings.Tool.TrayMenu = nullptr;
    }
    g_shell.mainWindow = nullptr;
    PostQuitMessage(0);
}

}  // namespace

ShellPaths ShellPathsFromCommandLine() {
    ShellPaths paths;
    paths.iniPath = GetIniPath();
    paths.programPath = FirstCommandLineArgument(GetCommandLineA());
    return paths;
}

std::string CurrentDataFolder() {
    if (g_settings.DataFolderPath[0]) return g_settings.DataFolderPath;
    return FolderOfPath(g_shell.paths.programPath) + "data\\";
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, const ShellPaths& paths) {
    g_shell.paths = paths;
    g_shell.NewFromHotkey = 0;
    return CreateWindowExA(0, MAIN_WINDOW_CLASS, "Title", 0, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                           nullptr, nullptr, instance, nullptr);
}

void NewPaperFromFile(HWND mainWindow, const char* path) {
    int slot = TakeFreeSlot(mainWindow);
    if (slot < 0) return;
    Paper* paper = new (std::nothrow) Paper();
    if (!paper) {
        MessageBoxA(mainWindow, CREATE_FAILED, CAPTION, MB_OK);
        return;
    }
    SetPaper(slot, paper);
    if (!paper->CreateFromFile(mainWindow, PaperWindowProc, g_settings.TabWidth,
                               g_settings.TabHeight, path, slot)) {
        DiscardFailedPaper(mainWindow, slot, paper);
        return;
    }
    ShowNewPaper(paper);
}

void RunCommand(HWND mainWindow, int id) {
    switch (id) {
    case IDM_EXIT: DestroyWindow(mainWindow); break;
    case IDM_VERSION: OnVersion(mainWindow); break;
    case IDM_NEW_PAPER: OnNewPaper(mainWindow); break;
    case IDM_HIDE_ALL: OnHideAll(); break;
    case IDM_SHOW_TOOL_PALETTE: OnShowToolPalette(); break;
    case IDM_TOPMOST: OnTopmost(); break;
    case IDM_NEW_FROM_BMP: OnNewPaperFromBmp(mainWindow); break;
    case IDM_UNDO: OnUndo(); break;
    case IDM_OPTIONS: OnOptions(mainWindow); break;
    default: break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UINT taskbarCreated = TaskbarCreatedMessage();
    if (taskbarCreated && message == taskbarCreated) {
        AddTrayIcon(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_COMMAND: RunCommand(window, LOWORD(wParam)); return 0;
    case WM_HOTKEY: OnHotkey(window, static_cast<int>(wParam)); return 0;
    case WM_TRAY_NOTIFY: OnTrayNotify(window, lParam); return 0;
    case WM_PURGE_PAPERS: PurgePapers(); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
