// One sticky note: its window of its own class, shaped as a tab above a
// body, the canvases holding its picture, undo copy and rubber-band preview,
// its popup menu, lock state and data files.
//
// The note reaches the main window only through the handle it is given and
// messages: the region of its shape is recorded as a property of the main
// window under the note's class name, a change of the note is announced with
// WM_PAPER_CHANGED, a colour picked with Alt with WM_PEN_COLOR_PICKED, and a
// torn-down note posts WM_PAPER_TORN_DOWN so that the registry deletes it once
// none of the note's own code is running any more.
#pragma once

#include "canvas/ddb_canvas.h"
#include "canvas/dib_section_canvas.h"
#include "paper/paper_record.h"
#include "settings/tool_state.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

// The message a note posts to the main window when it has torn itself down.
constexpr UINT WM_PAPER_TORN_DOWN = WM_USER + 1;
// The message a note sends to the main window after each change of its
// picture, size, place or lock (wParam: the note's window): the note is to be
// written to its data files soon.
constexpr UINT WM_PAPER_CHANGED = WM_USER + 2;

class Paper {
public:
    Paper();
    // Tears the note down without telling the main window.
    ~Paper();
    Paper(const Paper&) = delete;
    Paper& operator=(const Paper&) = delete;

    // Registers the class "Inkslip<number>", creates the hidden window centred
    // on the primary screen (or at `position`, in screen coordinates), gives it
    // its shape and makes its picture and menu. False, with nothing left
    // behind but what the teardown releases, when any of them cannot be had.
    // The window stays hidden: the caller shows it.
    bool Create(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight, int bodyWidth,
                int bodyHeight, int number, const POINT* position = nullptr);
    // ".dat" / ".DAT": restores note `number` from its record and the BMP file
    // beside it. ".bmp" / ".BMP": a new note showing the image. Anything else:
    // false. A failed call leaves no window. The window stays hidden.
    bool CreateFromFile(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                        const char* path, int number);
    // Tears the note down and posts WM_PAPER_TORN_DOWN to the main window,
    // whose purge deletes the note once none of its code runs any more.
    // False when the note has no main window (already torn down).
    bool Destroy();

    static void SetToolState(ToolState* state);

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
    // A successful save leaves the note unchanged (not dirty).
    bool Save(const char* dataFolder);
    // The same into the data folder of the current settings.
    bool Save();
    // Replaces the picture with the first dropped file when it is a BMP file;
    // a drop that fails leaves the note as it was.
    bool OnDropFiles(HDROP drop);

    // The command bodies, reachable without the menu and the dialogs.
    void ToggleLock();
    // Asks first when IsDelWarning is set; true when the note was peeled off.
    bool PeelOff();
    // Resizes the drawing area to width × height, keeping the drawing's
    // top-left part. False, with the note as it was, when the new picture
    // cannot be had.
    bool Resize(int newWidth, int newHeight);
    // Writes the drawing area to the name the user chose (".bmp" appended
    // unless present) and tells the user when that fails.
    bool SaveAsFile(const char* chosenName);
    HWND GetWindow() const { return window; }
    bool IsLocked() const { return locked != 0; }
    // Screen position of the window's top-left corner, as last reported.
    POINT GetPosition() const { return POINT{x, y}; }
    int GetBodyWidth() const { return bodyWidth; }
    int GetBodyHeight() const { return bodyHeight; }
    const RECT& GetDrawArea() const { return drawArea; }
    // The whole window's picture; null once torn down.
    const DdbCanvas* GetPicture() const { return picture.get(); }
    DdbCanvas* GetPicture() { return picture.get(); }
    // The undo copy and the preview layer, made at the first press and the
    // first box or ellipse preview; null before.
    const DdbCanvas* GetUndoCanvas() const { return undoCanvas.get(); }
    const DibSectionCanvas* GetOverlay() const { return overlay.get(); }
    HMENU GetMenu() const { return menu; }
    // Whether the note changed since it was made, restored or last saved.
    bool IsDirty() const { return dirty; }
    // Whether any of the note's own code is running (a message it handles,
    // with any dialog it shows); such a note must not be deleted.
    bool IsInUse() const { return activeCalls > 0; }

private:
    // Counts one of the note's own calls for as long as it runs; the last one
    // to end asks for the purge of a note torn down meanwhile.
    class ActiveCall {
    public:
        explicit ActiveCall(Paper& paper);
        ~ActiveCall();
        ActiveCall(const ActiveCall&) = delete;
        ActiveCall& operator=(const ActiveCall&) = delete;

    private:
        Paper& paper;
    };

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

    // The window, the region, the picture and the menu of Create.
    bool RegisterWindowClass(WNDPROC windowProc);
    bool CreateWindowAt(const POINT* position);
    void ApplyInitialRegion();
    // One segment of a pen or eraser stroke (the tool chosen) from the last
    // point to (x, y) on the picture.
    void DrawStroke(int pointX, int pointY);
    // Sets PenColor from the picture at (x, y) and tells the main window.
    void PickColor(int pointX, int pointY);
    // Releases canvases, menu, region record, window and class, each once.
    void ReleaseResources();
    // Asks the main window for the purge of this torn-down note.
    void RequestPurge();
    // Marks the note changed and tells the main window.
    void MarkChanged();
    // The geometry of the note at its current sizes.
    PaperGeometry Geometry() const;
    // A picture of the window's size for the given body, in the background
    // colour; null when it cannot be had.
    std::unique_ptr<DdbCanvas> MakePicture(int newBodyWidth, int newBodyHeight) const;
    // Gives the note a new body size with a new picture already filled: the
    // window, its shape and the drawing area follow. A missing region record
    // or a refused region is reported with its message; then, unless
    // `goOnAfterRegionFailure`, nothing changes and the result is false.
    bool ChangeBody(int newWidth, int newHeight, std::unique_ptr<DdbCanvas> newPicture,
                    bool goOnAfterRegionFailure);
    // The overlay, made (white, transparent white, the window's size) the
    // first time a preview is drawn; null when it cannot be had.
    DibSectionCanvas* PreviewOverlay();
    // Writes the drawing area as a 24-bit BMP file through a temporary file
    // beside it (`temporary` when given); false when the cut-out cannot be
    // made or the file cannot be written.
    bool WriteDrawingArea(const std::string& path,
                          const std::string& temporary = std::string()) const;
    // Wipes the overlay, if there is one, back to its transparent white.
    void ClearPreview();
    // The menu states of a locked or unlocked note.
    void ApplyLockMenuStates();
    // Copies the picture into the undo copy, made first when there is none
    // (or its size is stale); without memory for it there is no undo copy.
    void RefreshUndoCopy();
    // Moves a window that meets no monitor just inside the nearest one.
    void KeepOnAMonitor();
    // Reads the window's rectangle back into x and y.
    void ReadPosition();
    bool RestoreFromRecord(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                           const char* path, int number);
    bool CreateFromBmp(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                       const char* path, int number);
    Rgb Background() const;
    ToolState& Tools() const;

    // The shared tool record of every note (the settings' one).
    static ToolState* toolState;

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
    ATOM classAtom = 0;
    int32_t number = -1;  // -1: never to be saved
    // The last point of the stroke in progress: the press point, then the
    // previous point of a pen or eraser stroke. Each note has its own, so a
    // note made while another is being drawn on does not disturb the stroke.
    int32_t lastX = -1;
    int32_t lastY = -1;
    // The data file the note was restored from or last saved to; peeling the
    // note off deletes it, so a peeled note does not come back.
    std::string sourceDataPath;
    // Set by every change once the note is made; cleared by a successful save.
    bool dirty = false;
    int activeCalls = 0;
    // The main window to ask for the purge once the note is torn down.
    HWND purgeWindow = nullptr;
};

// The data folder the running program uses: DataFolderPath when set, else
// "data\" beside the program named in the first command-line argument.
std::string CurrentPaperDataFolder();
