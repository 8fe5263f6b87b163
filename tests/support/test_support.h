// Helpers shared by the test programs.
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

// A dialog or message box seen by a DialogAnswerer.
struct SeenDialog {
    std::string caption;
    std::string text;  // the texts of its static controls joined with "|"
};

// Answers every dialog box (class "#32770") that this thread shows after it
// is made, from a timer while it lives: records its caption and text once, then runs the action
// (which presses a button or fills the dialog in). A dialog still open long
// after its answer is ended with IDCANCEL, so a test never blocks.
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

// Presses a dialog button the way a click does.
void PressButton(HWND dialog, int button);

}  // namespace test_support
