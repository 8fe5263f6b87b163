// What the shell's tests share: a main window started on an INI file and
// a data folder of their own.
#pragma once

#include "app/paper_registry.h"
#include "app/shell.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace app_test {

using namespace test_support;

class ShellTest : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }

    std::string IniPath() const { return folder.File("inkslip.ini"); }
    std::string DataFolder() const { return folder.File("data\\"); }
    void Ini(const char* section, const char* key, const std::string& value) {
        WritePrivateProfileStringA(section, key, value.c_str(), IniPath().c_str());
    }
    std::string IniValue(const char* section, const char* key) const {
        char value[64] = "";
        GetPrivateProfileStringA(section, key, "?", value, sizeof value, IniPath().c_str());
        return value;
    }
    // Notes of the default size come without the size dialog when made the
    // hot key way.
    void SmallNotesWithoutDialog(int width = 40, int height = 30) {
        Ini("paper", "DefaultSizeX", std::to_string(width));
        Ini("paper", "DefaultSizeY", std::to_string(height));
        Ini("paper", "IsNoSizing", "1");
    }

    // Writes N.dat (a record numbered `recordNumber`, by default N) and a
    // blue 30 x 20 N.bmp into the data folder.
    void StoreNote(int number, int x, int y, int recordNumber = -1) {
        CreateDirectoryA(DataFolder().c_str(), nullptr);
        std::string base = DataFolder() + std::to_string(number);
        ASSERT_TRUE(WriteFileBytes(base + ".dat",
                                   RecordBytes(x, y, recordNumber < 0 ? number : recordNumber, 0)));
        ASSERT_TRUE(WriteBmp(base + ".bmp", 30, 20, 0x0000FF));
    }
    std::string DataFile(int number) const {
        return DataFolder() + std::to_string(number) + ".dat";
    }

    // Creates the main window, which runs the whole start-up.
    HWND Start();
    // Destroys it (the exit sequence) and takes the quit message it posts.
    void Stop();
    // A new note the way a tray double click makes one; its slot or -1.
    int NewNoteByDoubleClick();
    void Command(int id) { SendMessageA(mainWindow, WM_COMMAND, id, 0); }
    bool MenuHas(int id, UINT mark) const {
        return (GetMenuState(g_shell.trayMenu, id, MF_BYCOMMAND) & mark) != 0;
    }

    TemporaryFolder folder;
    HWND mainWindow = nullptr;
};

}  // namespace app_test
