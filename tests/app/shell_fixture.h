// What the shell's tests share: a main window started on an INI file and
// a data folder of their own, and an answerer for message boxes and dialogs.
#pragma once

#include "app/paper_registry.h"
#include "app/shell.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace app_test {

// Answers every dialog box (class "#32770") that the current thread opens
// while it lives: remembers its caption and message text, then presses a
// button. The choice may depend on the box.
class DialogAnswerer {
public:
    struct Box {
        std::string caption;
        std::string text;  // the message text of a message box, else empty
    };
    using Chooser = std::function<int(const Box&)>;

    explicit DialogAnswerer(int button = IDOK);
    explicit DialogAnswerer(Chooser chooser);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    const std::vector<Box>& Boxes() const { return boxes; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook = nullptr;
    Chooser chooser;
    std::vector<Box> boxes;
};

// Handles every message waiting in the thread's queue; a WM_QUIT is taken out.
void PumpMessages();

// Appends a line "key=value" under a section of an INI file.
void SetIni(const std::string& iniPath, const char* section, const char* key,
            const std::string& value);

// A 24-bit bottom-up BMP file of one colour (0xRRGGBB).
std::string MakeBmp(int width, int height, uint32_t color);
// An 8-byte note record.
std::string MakeRecord(int x, int y, int number, int locked);

class ShellTest : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }

    std::string IniPath() const { return folder.File("inkslip.ini"); }
    std::string DataFolder() const { return folder.File("data\\"); }
    void Ini(const char* section, const char* key, const std::string& value) {
        SetIni(IniPath(), section, key, value);
    }
    // Notes of the default size come without the size dialog when made the
    // hot key way.
    void SmallNotesWithoutDialog(int width = 40, int height = 30) {
        Ini("paper", "DefaultSizeX", std::to_string(width));
        Ini("paper", "DefaultSizeY", std::to_string(height));
        Ini("paper", "IsNoSizing", "1");
    }

    // Creates the main window, which runs the whole start-up.
    HWND Start();
    // Destroys it (the exit sequence) and takes the quit message it posts.
    void Stop();
    // A new note the way a tray double click makes one; its slot or -1.
    int NewNoteByDoubleClick();
    void Command(int id) { SendMessageA(mainWindow, WM_COMMAND, id, 0); }
    bool MenuChecked(int id) const;
    bool MenuGrayed(int id) const;

    test_support::TemporaryFolder folder;
    HWND mainWindow = nullptr;
};

}  // namespace app_test
