// Helpers shared by the test programs: temporary folders and files, and
// dialogs answered or driven from a thread timer while the code under test
// blocks in their modal loops.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
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

    const std::string& Path() const { return path; }  // with a trailing backslash
    std::string File(const std::string& name) const { return path + name; }

private:
    std::string path;
};

std::string ReadFileBytes(const std::string& path);  // empty when it cannot be read
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);  // files only, sorted
// A one-colour (0xRRGGBB) BMP file, written by the program's own canvas code.
bool WriteBmp(const std::string& path, int width, int height, uint32_t color);
std::string RecordBytes(int x, int y, int number, int locked);  // a note's N.dat

// Handles every message waiting in the thread's queue; a WM_QUIT is dropped.
void PumpMessages();
// Visible dialog windows (class "#32770") of this thread, most recent first.
std::vector<HWND> ThreadDialogs();
HWND FindDialog(const std::string& caption);  // one of them, or null
std::string ItemText(HWND dialog, int id);
// The texts of a dialog's static controls that are not empty, joined with "|".
std::string DialogText(HWND dialog);
// Presses a dialog button as a click does (posted, so a message box the press
// opens runs its loop after the caller has returned).
void PressButton(HWND dialog, int button);
// True when the thread can register this hot key (given back at once).
bool IsHotkeyFree(UINT modifiers, UINT virtualKey);
// Sets the state of a key or mouse button as this thread sees it.
void SetKeyDown(int virtualKey, bool down);

// Drives dialogs step by step from inside their modal loops: a thread timer
// runs one step per tick while the test calls the blocking function as the
// program does. Past the time limit the test fails and every open dialog is
// cancelled. Several scripts may run at once.
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
    // Runs the current step; called by the timer.
    void Tick();

private:
    std::vector<Step> steps;
    size_t next = 0;
    UINT_PTR timer = 0;
    DWORD deadline = 0;
    bool timedOut = false;
    bool inStep = false;
};

// A dialog or message box seen by a DialogAnswerer.
struct SeenDialog {
    std::string caption;
    std::string text;  // DialogText
};

// Answers every dialog that this thread shows while it lives (not those open
// before it), from a script that never ends: records its caption and text
// once, then presses the button. A dialog still open long after its answer is
// ended with IDCANCEL, so a test never blocks.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button);

    const std::vector<SeenDialog>& Seen() const { return seen; }

private:
    std::vector<SeenDialog> seen;
    DialogScript script;
};

}  // namespace test_support
