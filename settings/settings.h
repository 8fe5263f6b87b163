// The process-wide settings record and its INI file.
#pragma once

#include "settings/color_quad.h"
#include "settings/tool_state.h"

#include <windows.h>

#include <cstdint>
#include <string>

constexpr int SETTINGS_PATH_LENGTH = 260;

struct Settings {
    ColorQuad BgColor;
    int32_t DefaultSizeX;
    int32_t DefaultSizeY;
    char OutputFolderPath[SETTINGS_PATH_LENGTH + 1];
    int32_t TabWidth;               // fixed, never stored
    int32_t TabHeight;              // fixed, never stored
    uint32_t HotkeyModifiers[2];    // [0] HK_NEW, [1] HK_HIDE; MOD_ bits
    uint32_t HotkeyVirtualKeys[2];  // 0: no key
    char DataFolderPath[SETTINGS_PATH_LENGTH + 1];
    ToolState Tool;
    int32_t ToolIsHide;
    int32_t PaperIsHide;
    int32_t IsTopmost;
    int32_t IsDelWarning;
    int32_t IsNoSizing;
    int32_t IsUseHotkey;
};

// The one settings record of the run.
extern Settings g_settings;

// Assigns every default.
void ResetSettings();
// Reads the INI file over the current values; always succeeds.
bool LoadSettings();
// Writes every key; always succeeds (a file that cannot be written keeps its
// previous content).
bool SaveSettings();
// The INI file beside the program: the folder of the first command-line
// argument followed by "inkslip.ini".
std::string GetIniPath();

// The same, on an explicit record and INI path (the record's own functions
// above use g_settings and GetIniPath()).
void ResetSettings(Settings& settings);
void LoadSettings(Settings& settings, const char* iniPath);
void SaveSettings(const Settings& settings, const char* iniPath);
// The INI path that belongs to a program path as written on the command line.
std::string IniPathForProgram(const std::string& programPath);
