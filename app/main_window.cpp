#include "app/hotkeys.h"
#include "app/paper_registry.h"
#include "app/shell.h"
#include "app/tray.h"
#include "app/version_box.h"
#include "paper/paper_record.h"
#include "paper/size_dialog.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/options_dialog.h"
#include "settings/settings.h"
#include "tools/tool_palette.h"

#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <new>
#include <type_traits>

ShellState g_shell;

// The open dialog gets the whole structure of this Windows version (88 bytes
// on 32 bits), the note windows and the main window their class records.
static_assert(sizeof(void*) != 4 || sizeof(OPENFILENAMEA) == 88, "the 32-bit dialog layout");
static_assert(sizeof(void*) != 4 || sizeof(WNDCLASSEXA) == 48, "the 32-bit class record");

namespace {

// A changed note is written this long after the last change...
constexpr UINT SAVE_DELAY_MS = 1000;
// ...and while a button is held or a drag runs, the next try comes this soon.
constexpr UINT SAVE_RETRY_MS = 250;
// How often an exit waiting for dialogs to close looks again.
constexpr UINT EXIT_RETRY_MS = 50;

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

int Invert(int32_t flag) {
    return flag == 1 ? 0 : 1;
}

// A made note is handed the shared tool record and put on top when notes are
// kept on top.
void PlaceNewPaper(Paper& paper, int showCommand) {
    Paper::SetToolState(&g_settings.Tool);
    HWND window = paper.GetWindow();
    if (g_settings.IsTopmost == 1) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ShowWindow(window, showCommand);
}

// Makes a note in the lowest free slot with make(Paper&, slot) and shows it
// (also while all notes are hidden). The slot is the note's from the start,
// so no other note takes it while `make` asks a question. On failure the slot
// is free again before the user is told: the message box runs a message loop
// in which another note may come and take it.
template <typename Make>
void MakePaper(HWND mainWindow, Make make) {
    const int slot = FindFreeSlot();
    if (slot == MaxPapers) {
        MessageBoxA(mainWindow, TEXT_TOO_MANY_PAPERS, TEXT_CAPTION, MB_OK);
        return;
    }
    Paper* paper = AddPaper(slot, std::unique_ptr<Paper>(new (std::nothrow) Paper()));
    if (!paper || !make(*paper, slot)) {
        RemovePaper(slot);
        MessageBoxA(mainWindow, TEXT_CREATE_FAILED, TEXT_CAPTION, MB_OK);
        return;
    }
    PlaceNewPaper(*paper, SW_SHOWNORMAL);
    // A new note gets its files soon.
    SendMessageA(mainWindow, WM_PAPER_CHANGED, reinterpret_cast<WPARAM>(paper->GetWindow()), 0);
}

void OnNewPaperFromBmp(HWND mainWindow) {
    char path[MAX_PATH] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = TEXT_OPEN_BMP_FILTER;
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = TEXT_OPEN_BMP_TITLE;
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
// replaces it when it is saved.
void RestorePapers(HWND mainWindow) {
    const std::string folder = CurrentPaperDataFolder();
    const int showCommand = g_settings.PaperIsHide == 1 ? SW_HIDE : SW_SHOWNORMAL;
    for (int number = 0; number < MaxPapers; ++number) {
        const std::string path = DataFilePath(folder, number, "dat");
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        Paper* paper = AddPaper(number, std::unique_ptr<Paper>(new (std::nothrow) Paper()));
        if (!paper) continue;
        // A note that cannot be restored leaves no window and keeps its files
        // for the next start.
        if (!paper->CreateFromFile(mainWindow, PaperWindowProc, g_settings.TabWidth,
                                   g_settings.TabHeight, path.c_str(), number)) {
            RemovePaper(number);
            continue;
        }
        PlaceNewPaper(*paper, showCommand);
    }
}

// The first changed note from the next slot the round of saves has reached;
// notes running their own code (a dialog of theirs) wait for a later round.
Paper* NextChangedPaper() {
    for (; g_shell.nextSaveSlot < MaxPapers; ++g_shell.nextSaveSlot) {
        Paper* paper = GetPaper(g_shell.nextSaveSlot);
        if (paper && paper->IsDirty() && paper->GetWindow() && !paper->IsInUse()) return paper;
    }
    return nullptr;
}

// A note changed: the save timer starts again, so a burst of changes gives
// one write after the burst.
void OnPaperChanged(HWND mainWindow) {
    g_shell.changedDuringSaves = true;
    SetTimer(mainWindow, SAVE_TIMER, SAVE_DELAY_MS, nullptr);
}

// Writes one changed note per tick, so that a press of the pen never waits
// for more than one save: timer messages come only when no input is waiting.
// A note whose save fails stays changed and is tried again in the next round,
// which its next change (or any other) starts; at exit every note is written.
void OnSaveTimer(HWND mainWindow) {
    // Never while a button is held or a drag (of a note, of its tab) is under way.
    if (GetCapture() || GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0) {
        SetTimer(mainWindow, SAVE_TIMER, SAVE_RETRY_MS, nullptr);
        return;
    }
    if (g_shell.nextSaveSlot == 0) g_shell.changedDuringSaves = false;
    if (Paper* paper = NextChangedPaper()) {
        ++g_shell.nextSaveSlot;
        paper->Save();
        SetTimer(mainWindow, SAVE_TIMER, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    g_shell.nextSaveSlot = 0;
    if (g_shell.changedDuringSaves) {
        SetTimer(mainWindow, SAVE_TIMER, SAVE_DELAY_MS, nullptr);
    } else {
        KillTimer(mainWindow, SAVE_TIMER);
    }
}

// What CancelDialog is looking for and has found.
struct DialogSearch {
    HWND palette;
    bool found;
};

// Asks one top-level window of the thread, when it is a dialog of the program
// other than the tool palette, to close as a Cancel, or a No, would.
BOOL CALLBACK CancelDialog(HWND window, LPARAM parameter) {
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(parameter);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    // Only what is shown: a modal dialog always is, and a hidden window that
    // never closes must not hold the exit up.
    if (window == search.palette || lstrcmpA(className, "#32770") != 0 ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    // A question without a Cancel button is answered No.
    const int answer = GetDlgItem(window, IDNO) ? IDNO : IDCANCEL;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    search.found = true;
    return TRUE;
}
static_assert(std::is_same_v<decltype(&CancelDialog), WNDENUMPROC>,
              "a WNDENUMPROC with its calling convention");

// Asks every dialog of the program but the tool palette to close; true when
// there was any.
bool CancelOpenDialogs() {
    DialogSearch search{g_shell.toolPalette, false};
    EnumThreadWindows(GetCurrentThreadId(), CancelDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// "終了": the dialogs of the program close first, as a cancel would, and no
// note may be running its own code (a dialog of its own) when the program
// ends; until then the exit looks again every few milliseconds.
void OnExit(HWND mainWindow) {
    if (CancelOpenDialogs() || AnyPaperInUse()) {
        SetTimer(mainWindow, EXIT_TIMER, EXIT_RETRY_MS, nullptr);
        return;
    }
    KillTimer(mainWindow, EXIT_TIMER);
    DestroyWindow(mainWindow);
}

void OnTimer(HWND mainWindow, UINT_PTR id) {
    if (id == SAVE_TIMER) OnSaveTimer(mainWindow);
    if (id == EXIT_TIMER) OnExit(mainWindow);
}

// A colour picked on a note goes on to the palette, which shows it.
void OnPenColorPicked() {
    if (g_shell.toolPalette) SendMessageA(g_shell.toolPalette, WM_PEN_COLOR_PICKED, 0, 0);
}

LRESULT OnCreate(HWND mainWindow) {
    g_shell.nextSaveSlot = 0;
    g_shell.changedDuringSaves = false;
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
    SetMenuEnabled(IDM_SHOW_TOOL_PALETTE, g_settings.ToolIsHide == 1);
    ShowWindow(g_shell.toolPalette, g_settings.ToolIsHide == 1 ? SW_HIDE : SW_SHOWNORMAL);
    if (g_settings.IsTopmost == 1) {
        SetWindowPos(g_shell.toolPalette, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    if (AllocatePapers()) RestorePapers(mainWindow);
    RegisterHotkeys(mainWindow);
    return 0;
}

void OnDestroy(HWND mainWindow) {
    KillTimer(mainWindow, SAVE_TIMER);
    KillTimer(mainWindow, EXIT_TIMER);
    SaveSettings(g_settings, g_shell.paths.iniPath.c_str());
    if (PapersExist()) {
        // The folder is worked out again: the options dialog may have moved it.
        const std::string folder = CurrentPaperDataFolder();
        // Every note is written, changed or not; a note that was never made
        // (no window) has nothing to write.
        ForEachPaper([&folder](Paper& paper) {
            if (paper.GetWindow()) paper.Save(folder.c_str());
        });
        FreePapers();
    }
    if (g_shell.toolPalette) {
        if (IsWindow(g_shell.toolPalette)) DestroyWindow(g_shell.toolPalette);
        g_shell.toolPalette = nullptr;
    }
    RemoveTrayIcon();
    if (g_shell.trayMenu) {
        DestroyMenu(g_shell.trayMenu);
        g_shell.trayMenu = nullptr;
        g_settings.Tool.TrayMenu = nullptr;
    }
    PostQuitMessage(0);
}

}  // namespace

ShellPaths ShellPathsFromCommandLine() {
    ShellPaths paths;
    paths.iniPath = GetIniPath();
    return paths;
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
    return CreateWindowExA(0, MAIN_WINDOW_CLASS, "Title", 0, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                           nullptr, nullptr, instance, nullptr);
}

void NewPaper(HWND mainWindow, bool quick) {
    // Sizes below the size dialog's minimum (an INI value of 0 or garbage)
    // would give a note with nothing to draw on.
    int32_t size[2] = {std::max(g_settings.DefaultSizeX, MinDefaultSize),
                       std::max(g_settings.DefaultSizeY, MinDefaultSize)};
    if (!(quick && g_settings.IsNoSizing == 1) && ShowSizeDialog(mainWindow, size) != IDOK) return;
    MakePaper(mainWindow, [mainWindow, &size](Paper& paper, int slot) {
        return paper.Create(mainWindow, PaperWindowProc, g_settings.TabWidth, g_settings.TabHeight,
                            size[0], size[1], slot);
    });
}

void NewPaperFromFile(HWND mainWindow, const char* path) {
    MakePaper(mainWindow, [mainWindow, path](Paper& paper, int slot) {
        return paper.CreateFromFile(mainWindow, PaperWindowProc, g_settings.TabWidth,
                                    g_settings.TabHeight, path, slot);
    });
}

void RunCommand(HWND mainWindow, int id) {
    switch (id) {
        case IDM_EXIT:
            OnExit(mainWindow);
            break;
        case IDM_VERSION:
            OnVersion(mainWindow);
            break;
        case IDM_NEW_PAPER:
            NewPaper(mainWindow, false);
            break;
        case IDM_HIDE_ALL:
            OnHideAll();
            break;
        case IDM_SHOW_TOOL_PALETTE:
            OnShowToolPalette();
            break;
        case IDM_TOPMOST:
            OnTopmost();
            break;
        case IDM_NEW_FROM_BMP:
            OnNewPaperFromBmp(mainWindow);
            break;
        case IDM_UNDO:
            OnUndo();
            break;
        case IDM_OPTIONS:
            OnOptions(mainWindow);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT taskbarCreated = TaskbarCreatedMessage();
    if (taskbarCreated && message == taskbarCreated) {
        AddTrayIcon(window);
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_COMMAND:
            RunCommand(window, LOWORD(wParam));
            return 0;
        case WM_HOTKEY:
            OnHotkey(window, static_cast<int>(wParam));
            return 0;
        case WM_TIMER:
            OnTimer(window, wParam);
            return 0;
        case WM_TRAY_NOTIFY:
            OnTrayNotify(window, lParam);
            return 0;
        case WM_PAPER_TORN_DOWN:
            PurgePapers();
            return 0;
        case WM_PAPER_CHANGED:
            OnPaperChanged(window);
            return 0;
        case WM_PEN_COLOR_PICKED:
            OnPenColorPicked();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
