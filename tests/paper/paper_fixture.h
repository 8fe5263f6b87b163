// What the note tests share: a hidden main window that purges torn-down notes
// from the program's own registry, and mouse helpers.
#pragma once

#include "app/paper_registry.h"
#include "paper/paper.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace paper_test {

using namespace test_support;

constexpr Rgb WHITE = 0xFFFFFF;
constexpr Rgb BLUE = 0x0000FF;  // the pen colour of the fixture
constexpr Rgb RED = 0xFF0000;
constexpr Rgb GREEN = 0x00FF00;
constexpr Rgb CYAN = 0x00FFFF;

// How many of these notices (WM_PAPER_CHANGED, WM_PAPER_TORN_DOWN,
// WM_PEN_COLOR_PICKED) the test's main window has had.
int MainWindowMessages(UINT message);

// An HDROP holding the given paths, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& paths);
// The window rectangle of a note.
RECT WindowRect(const Paper* paper);

class PaperTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new note in slot `number` of the registry, tool state set, shown.
    Paper* NewPaper(int number, int width = 200, int height = 200);
    // A note made by CreateFromFile into slot `number`; null on failure
    // (the failed note is removed).
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
