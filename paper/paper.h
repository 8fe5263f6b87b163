// One sticky note: its window of its own class, shaped as a tab above a
// body, the canvases holding its picture, undo copy and rubber-band preview,
// its popup menu, lock state and data files.
//
// The note reaches the main window only through the handle it is given: the
// region of its shape is recorded as a property of the main window under the
// note's class name, and a torn-down note sends WM_USER + 1 to the main window
// so that the registry deletes it.
#pragma once

#include "canvas/ddb_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "settings/color_quad.h"
#include "settings/tool_state.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

// The message a note sends to the main window when it has torn itself down.
constexpr UINT WM_PAPER_TORN_DOWN = WM_USER + 1;

class Paper {
public:
    Paper();
    // Tears the note down without telling the main window.
    ~Paper();
    Paper(const Paper&) = delete;
    Paper& operator=(const Paper&) = delete;

    // Registers the class "Inkslip<number>", creates the hidden window centred
    // on the primary screen, gives it its shape and makes the canvases and the
    // menu. The window stays hidden: the caller shows it.
    bool Create(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight, int bodyWidth,
                int bodyHeight, int number);
    // The same, with the window made at `position` (screen coordinates)
    // instead of centred; a null position centres it.
    bool Create(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight, int bodyWidth,
                int bodyHeight, int number, const POINT* position);
    // ".dat" / ".DAT": restores note `number` from its record and the BMP file
    // beside it. ".bmp" / ".BMP": a new note showing the image. Anything else:
    // false. The window stays hidden.
    bool CreateFromFile(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                        const char* path, int number);
    // Tears the note down and sends WM_PAPER_TORN_DOWN to the main window; the
    // note may be deleted by then, so callers touch nothing of it afterwards.
    // False when the note has no main window (already torn down).
    bool Destroy();
    HWND GetWindow() const { return window; }

    static void SetToolState(ToolState* state);
    // The tool palette, into which the eyedropper writes the colour it picks;
    // null when there is none.
    static void SetPaletteWindow(HWND palette);

    // The body of the note's window procedure.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Swaps the picture with its undo copy; false on a locked note.
    bool Undo();
    // The popup-menu commands; always 1.
    LRESULT OnCommand(HWND window, int command);

    // Writes <dataFolder><number>.dat and .bmp. `dataFolder` ends with its
    // separator, as the registry forms it; missing folder levels are created.
    // Each file is written beside its target and then moved over it, so a
    // failed save leaves the previous files whole. A note restored from
    // another folder has its old pair removed once the new pair is written.
    bool Save(const char* dataFolder);
    // The same into the data folder of the current settings.
    bool Save();
    // Replaces the picture with the first dropped file when it is a BMP file.
    bool OnDropFiles(HDROP drop);

    // The command bodies, reachable without the menu and the dialogs.
    void ToggleLock();
    // Asks first when IsDelWarning is set; true when the note was peeled off.
    bool PeelOff();
    // Resizes the drawing area to width × height, keeping the drawing's
    // top-left part.
    void Resize(int newWidth, int newHeight);
    // Writes the drawing area to the name the user chose (".bmp" appended
    // unless present) and tells the user when that fails.
    bool SaveAsFile(const char* chosenName);
    // Writes the drawing area as a 24-bit BMP file through a file beside it;
    // false when the cut-out cannot be made or the file cannot be written.
    bool WriteDrawingArea(const char* path, const std::string& temporary = std::string()) const;

    // Record of the note (public as a plain record; tests read it).
    std::string className;  // "Inkslip<number>", also the region property's name
    int32_t x = 0;          // screen position of the window's top-left corner
    int32_t y = 0;
    int32_t tabWidth = 0;
    int32_t tabHeight = 0;
    int32_t bodyWidth = 0;
    int32_t bodyHeight = 0;
    HWND window = nullptr;
    HWND mainWindow = nullptr;
    HMENU menu = nullptr;
    int32_t locked = 0;
    std::unique_ptr<DdbCanvas> picture;
    std::unique_ptr<DdbCanvas> undoCanvas;
    std::unique_ptr<DibSectionCanvas> overlay;
    RECT drawArea{0, 0, 0, 0};
    ColorQuad tabColor{0xFF, 0x00, 0xFF, 0xFF};
    ATOM classAtom = 0;
    int32_t number = -1;  // -1: never to be saved
    // The data file the note was restored from or last saved to; peeling the
    // note off deletes it, so a peeled note does not come back.
    std::string sourceDataPath;

    static ToolState* toolState;
    static int32_t lastX;
    static int32_t lastY;
    static HWND paletteWindow;

private:
    LRESULT OnPaint();
    LRESULT OnNcHitTest(HWND window, WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(LPARAM lParam);
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnLButtonUp(LPARAM lParam);
    LRESULT OnRButtonUp();
    LRESULT OnMove(LPARAM lParam);
    LRESULT OnDestroy();
    LRESULT OnQueryEndSession();
    LRESULT OnSaveAs();
    LRESULT OnResize();

    // Sets PenColor from the picture at (x, y) and shows it in the palette.
    void PickColor(int pointX, int pointY);
    // Releases canvases, menu, region record, window and class, each once.
    void ReleaseResources();
    // Draws an image (a loaded BMP) into a fresh picture at the drawing
    // area's origin; undo then changes nothing.
    void ShowImage(Canvas& image);
    // The overlay, made (white, transparent white, the window's size) the
    // first time a preview is drawn; null when it cannot be had.
    DibSectionCanvas* PreviewOverlay();
    // The menu states of a locked or unlocked note.
    void ApplyLockMenuStates();
    // Replaces the window's shape for the current size and sets drawArea.
    // A missing region record or a refused region is reported with its
    // message; then a drop stops (false), a resize goes on.
    bool ReplaceRegion(bool goOnAfterFailure);
    // After the picture was replaced: without an undo copy, undo changes
    // nothing, and the overlay is made again at the new size when needed.
    void ForgetUndoAndOverlay();
    // Copies the picture into the undo copy, made first when there is none
    // (or its size is stale); without memory for it there is no undo copy.
    void RefreshUndoCopy();
    void RestoreLockState(int32_t recordLocked);
    // Moves a window that meets no monitor just inside the nearest one.
    void KeepOnAMonitor();
    bool RestoreFromRecord(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                           const char* path, int number);
    bool CreateFromBmp(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                       const char* path, int number);
    Rgb Background() const;
    ToolState& Tools() const;
};

// The data folder the running program uses: DataFolderPath when set, else
// "data\" beside the program named in the first command-line argument.
std::string CurrentPaperDataFolder();

// Writes a file through a temporary file in the same folder that `write`
// fills, then moves it over `path` (replacing, written through). On any
// failure the old file stays as it was and the temporary file is removed.
// The temporary file is `temporary` when given, else a new file of a unique
// name beside `path`.
template <typename Writer>
bool WriteReplacing(const std::string& path, Writer write,
                    const std::string& temporary = std::string());

// Creates a folder and every missing level above it; true when it exists
// afterwards.
bool CreateFolderPath(const std::string& folder);

// Implementation detail of WriteReplacing: the temporary name beside `path`
// (created empty), or empty when none can be made.
std::string MakeTemporaryFileBeside(const std::string& path);
bool MoveTemporaryFileOver(const std::string& temporary, const std::string& path);

template <typename Writer>
bool WriteReplacing(const std::string& path, Writer write, const std::string& temporary) {
    const std::string through = temporary.empty() ? MakeTemporaryFileBeside(path) : temporary;
    if (through.empty()) return false;
    if (!write(through.c_str())) {
        DeleteFileA(through.c_str());
        return false;
    }
    return MoveTemporaryFileOver(through, path);
}
