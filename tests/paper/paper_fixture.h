// What the note tests share: a hidden main window with a small registry that
// forwards note messages and purges torn-down notes, and mouse helpers.
#pragma once

#include "paper/paper.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace paper_test {

using namespace test_support;

constexpr int MAX_PAPERS = 255;
constexpr Rgb WHITE = 0xFFFFFF;
constexpr Rgb BLUE = 0x0000FF;  // the pen colour of the fixture
constexpr Rgb RED = 0xFF0000;
constexpr Rgb GREEN = 0x00FF00;
constexpr Rgb CYAN = 0x00FFFF;

// The registry of the test main window, slot = note number.
extern Paper* g_papers[MAX_PAPERS];

// Finds the note of a window and hands it the message, as the program's own
// note window procedure does.
LRESULT CALLBACK ForwardToPaper(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// An HDROP holding the given paths, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& paths);
// The window rectangle of a note.
RECT WindowRect(const Paper* paper);

class PaperTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new note in slot `number`, registered, tool state set, shown.
    Paper* NewPaper(int number, int width = 200, int height = 200);
    // A note made by CreateFromFile into slot `number`; null on failure
    // (the failed note is deleted).
    Paper* PaperFromFile(const std::string& path, int number);
    // Writes N.bmp (one colour) and N.dat into the test folder.
    void StoreNote(int number, int x, int y, int width, int height, Rgb fill = WHITE);

    // Sends a mouse message with a point in window coordinates given as words.
    void Mouse(Paper* paper, UINT message, int x, int y);
    // A press at the first point, moves to the others, a release at the last.
    void Drag(Paper* paper, std::initializer_list<POINT> points);
    void SetAltDown(bool down);

    HWND mainWindow = nullptr;
    Settings savedSettings{};
    TemporaryFolder folder;
};

}  // namespace paper_test
