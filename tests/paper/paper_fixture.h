// What the note tests share: a hidden main window with a small registry that
// forwards note messages and purges torn-down notes, an answerer for the
// message boxes and dialogs a note opens, and file helpers.
#pragma once

#include "paper/paper.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace paper_test {

constexpr int MAX_PAPERS = 255;

// The registry of the test main window, slot = note number.
extern Paper* g_papers[MAX_PAPERS];

// Finds the note of a window and hands it the message, as the program's own
// note window procedure does.
LRESULT CALLBACK ForwardToPaper(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog or message box seen while a note waited on it.
struct SeenDialog {
    std::string caption;
    std::string text;  // the message box text (its static controls joined)
};

// Answers every modal dialog of this thread from a timer: records its caption
// and text, then runs the action (which presses a button or fills the dialog
// in). After a time limit a dialog still open is ended with IDCANCEL, so a
// test never blocks.
class DialogAnswerer {
public:
    using Action = std::function<void(HWND dialog)>;
    explicit DialogAnswerer(Action action);
    // Presses one button in every dialog.
    explicit DialogAnswerer(int button);
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
    UINT_PTR timer = 0;
    int ticks = 0;
};

// Presses a dialog button the way a click does.
void PressButton(HWND dialog, int button);

class PaperTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new note in slot `number`, registered, tool state set, shown.
    Paper* NewPaper(int number, int width = 200, int height = 200);
    // A note made by CreateFromFile into slot `number`; null on failure
    // (the failed note is deleted).
    Paper* PaperFromFile(const std::string& path, int number);

    // Sends a mouse message with a point in window coordinates given as words.
    void Mouse(Paper* paper, UINT message, int x, int y);
    void SetAltDown(bool down);

    HWND mainWindow = nullptr;
    Settings savedSettings{};
    test_support::TemporaryFolder folder;
};

// A BMP file of that size filled with one colour (Rgb), with optional pixels.
bool WriteBmp(const std::string& path, int width, int height, Rgb fill);
// An HDROP holding the given paths, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& paths);
// The files (not folders) of a folder.
std::vector<std::string> FilesIn(const std::string& folder);

}  // namespace paper_test
