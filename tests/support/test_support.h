// Helpers shared by the test programs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace test_support {

// A folder under the temporary directory, created empty and removed with
// everything in it when the object goes away.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder's path with a trailing backslash.
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + name; }

private:
    std::string path;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The files (not folders) of a folder, sorted by name.
std::vector<std::string> FilesIn(const std::string& folder);

// A BMP file of that size in one colour (0xRRGGBB), written by the program's
// own canvas code.
bool WriteBmp(const std::string& path, int width, int height, uint32_t color);
// The 8 bytes of a note record.
std::string RecordBytes(int x, int y, int number, int locked);

// Handles every message waiting in the thread's queue; a WM_QUIT is taken out.
void PumpMessages();

// Visible dialog windows (class "#32770") of this thread, most recent first.
std::vector<HWND> ThreadDialogs();
// The visible dialog of this thread with this caption, or null.
HWND FindDialog(const std::string& caption);
// A visible dialog of this thread that is none of `known` (a common dialog
// whose caption depends on the system's language), or null.
HWND FindOtherDialog(std::initializer_list<HWND> known);
std::string ItemText(HWND dialog, int id);
// The texts of a dialog's static controls that are not empty (the icon
// static of a message box has none), joined with "|".
std::string DialogText(HWND dialog);
// Presses a dialog button the way a click does (posted, so a message box the
// press opens runs its loop after the caller has returned).
void PressButton(HWND dialog, int button);
// True when nobody holds this hot key combination: a probe window can take
// it (and gives it back at once).
bool IsHotkeyFree(UINT modifiers, UINT virtualKey);
// The colour of a client pixel of a window, read back from the screen.
COLORREF ClientPixel(HWND window, int x, int y);

// Edit ids of the colour chooser's red, green and blue fields.
const int CHOOSER_RED = 706;
const int CHOOSER_GREEN = 707;
const int CHOOSER_BLUE = 708;
void SetChooserColour(HWND chooser, int red, int green, int blue);

// A dialog or message box seen by a DialogAnswerer.
struct SeenDialog {
    std::string caption;
    std::string text;  // DialogText
};

// Answers every dialog box that this thread shows after it is made, from a
// timer while it lives: records its caption and text once, then runs the
// action (which presses a button or fills the dialog in). A dialog still open
// long after its answer is ended with IDCANCEL, so a test never blocks.
class DialogAnswerer {
public:
    using Action = std::function<void(HWND dialog)>;
    explicit DialogAnswerer(Action action);
    // Presses one button in every dialog.
    explicit DialogAnswerer(int button = IDOK);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    const std::vector<SeenDialog>& Seen() const { return seen; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    Action action;
    std::vector<SeenDialog> seen;
    std::vector<HWND> answered;
    std::vector<HWND> existing;
    UINT_PTR timer = 0;
    int ticks = 0;
};

// Drives dialogs through several steps from inside their own modal loops: a
// thread timer runs one step per tick while the test calls the blocking
// DialogBox/MessageBox/ChooseColor functions as the program does. Past the
// time limit the test fails and every open dialog is cancelled.
class DialogScript {
public:
    using Step = std::function<bool()>;
    DialogScript() = default;
    ~DialogScript() { Stop(); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // A step repeated at every tick until it returns true.
    DialogScript& Until(Step step);
    // A step that runs once.
    DialogScript& Then(std::function<void()> action);
    // Waits for a visible dialog with this caption and stores it.
    DialogScript& WaitFor(const std::string& caption, HWND& found);

    void Start(DWORD timeoutMilliseconds = 15000);
    // Stops the timer; true when every step ran and nothing timed out.
    bool Stop();
    size_t StepsDone() const { return next; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> steps;
    size_t next = 0;
    UINT_PTR timer = 0;
    DWORD deadline = 0;
    bool timedOut = false;
    bool inStep = false;
};

}  // namespace test_support
