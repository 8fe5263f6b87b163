// What the shell's tests share: a main window started on an INI file and a
// data folder of their own.
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
    std::string DataFile(int number, const char* extension = "dat") const {
        return DataFolder() + std::to_string(number) + "." + extension;
    }
    void Ini(const char* section, const char* key, const std::string& value) {
        WritePrivateProfileStringA(section, key, value.c_str(), IniPath().c_str());
    }
    std::string IniValue(const char* section, const char* key) const {
        char value[64] = "";
        GetPrivateProfileStringA(section, key, "?", value, sizeof value, IniPath().c_str());
        return value;
    }
    // Notes of this size, made the hot key way, come without the size dialog.
    void SmallNotesWithoutDialog(int width = 40, int height = 30) {
        Ini("paper", "DefaultSizeX", std::to_string(width));
        Ini("paper", "DefaultSizeY", std::to_string(height));
        Ini("paper", "IsNoSizing", "1");
    }
    // N.dat holding `record` and a blue 30 x 20 N.bmp in the data folder.
    void StoreNote(int number, const std::string& record) {
        CreateDirectoryA(DataFolder().c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(DataFile(number), record));
        ASSERT_TRUE(WriteBmp(DataFile(number, "bmp"), 30, 20, 0x0000FF));
    }

    // Creates the main window, which runs the whole start-up.
    HWND Start() {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        RegisterMainWindowClass(instance);  // fails harmlessly after the first test
        Ini("paper", "DataFolderPath", DataFolder());
        mainWindow = CreateMainWindow(instance, ShellPaths{IniPath()});
        PumpMessages();
        return mainWindow;
    }
    // Destroys it (the exit sequence) and takes the quit message it posts.
    void Stop() {
        if (mainWindow && IsWindow(mainWindow)) DestroyWindow(mainWindow);
        mainWindow = nullptr;
        PumpMessages();
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    // A new note the way a tray double click makes one; its slot or -1.
    int NewNoteByDoubleClick() {
        int slot = FindFreeSlot();
        SendMessageA(mainWindow, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
        PumpMessages();
        return GetPaper(slot) && GetPaper(slot)->GetWindow() ? slot : -1;
    }
    void Command(int id) { SendMessageA(mainWindow, WM_COMMAND, id, 0); }
    bool MenuHas(int id, UINT mark) const {
        return (GetMenuState(g_shell.trayMenu, id, MF_BYCOMMAND) & mark) != 0;
    }

    TemporaryFolder folder;
    HWND mainWindow = nullptr;
};

}  // namespace app_test
