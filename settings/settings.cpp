#include "settings/settings.h"

#include "settings/ini_values.h"

#include <cstddef>
#include <cstring>

Settings g_settings;

namespace {

enum class IniKind { DrawModeName, Word, Decimal, ColorQuad, Flag, Text };

// One row per INI key, in the order in which the keys are written and read.
struct IniKey {
    const char* section;
    const char* key;
    IniKind kind;
    size_t offset;            // of the field inside Settings
    const char* readDefault;  // what an absent key reads as
};

#define SETTINGS_FIELD(field) offsetof(Settings, field)

const IniKey kIniKeys[] = {
    {"tool", "DrawMode", IniKind::DrawModeName, SETTINGS_FIELD(Tool.DrawMode), ""},
    {"tool", "PenSize", IniKind::Word, SETTINGS_FIELD(Tool.PenSize), ""},
    {"tool", "EraseSize", IniKind::Word, SETTINGS_FIELD(Tool.EraseSize), "5"},
    {"tool", "PenColor", IniKind::ColorQuad, SETTINGS_FIELD(Tool.PenColor), ""},
    {"tool", "IsHide", IniKind::Flag, SETTINGS_FIELD(ToolIsHide), ""},
    {"paper", "DefaultSizeX", IniKind::Decimal, SETTINGS_FIELD(DefaultSizeX), ""},
    {"paper", "DefaultSizeY", IniKind::Decimal, SETTINGS_FIELD(DefaultSizeY), ""},
    {"paper", "DataFolderPath", IniKind::Text, SETTINGS_FIELD(DataFolderPath), ""},
    {"paper", "OutputFolderPath", IniKind::Text, SETTINGS_FIELD(OutputFolderPath), ""},
    {"paper", "IsTopmost", IniKind::Flag, SETTINGS_FIELD(IsTopmost), ""},
    {"paper", "IsHide", IniKind::Flag, SETTINGS_FIELD(PaperIsHide), ""},
    {"paper", "IsDelWarning", IniKind::Flag, SETTINGS_FIELD(IsDelWarning), ""},
    {"paper", "IsNoSizing", IniKind::Flag, SETTINGS_FIELD(IsNoSizing), ""},
    {"paper", "BgColor", IniKind::ColorQuad, SETTINGS_FIELD(BgColor), ""},
    {"hotkey", "IsUseHotkey", IniKind::Flag, SETTINGS_FIELD(IsUseHotkey), ""},
    // The index is padded to two characters ("modifiers%2d"): "modifiers 0".
    {"hotkey", "modifiers 0", IniKind::Decimal, SETTINGS_FIELD(HotkeyModifiers[0]), ""},
    {"hotkey", "virtual 0", IniKind::Decimal, SETTINGS_FIELD(HotkeyVirtualKeys[0]), ""},
    {"hotkey", "modifiers 1", IniKind::Decimal, SETTINGS_FIELD(HotkeyModifiers[1]), ""},
    {"hotkey", "virtual 1", IniKind::Decimal, SETTINGS_FIELD(HotkeyVirtualKeys[1]), ""},
};

#undef SETTINGS_FIELD

const char* const kDrawModeNames[] = {"DRAW_PEN", "DRAW_ERASE",  "DRAW_FILL",
                                      "DRAW_BOX", "DRAW_CIRCLE", "DRAW_TEXT"};

template <typename Field>
Field& FieldAt(Settings& settings, size_t offset) {
    return *reinterpret_cast<Field*>(reinterpret_cast<char*>(&settings) + offset);
}
template <typename Field>
const Field& FieldAt(const Settings& settings, size_t offset) {
    return *reinterpret_cast<const Field*>(reinterpret_cast<const char*>(&settings) + offset);
}

void ReadValue(Settings& settings, const IniKey& key, const char* value) {
    switch (key.kind) {
        case IniKind::DrawModeName:
            for (int mode = DRAW_PEN; mode <= DRAW_TEXT; ++mode) {
                if (std::strcmp(value, kDrawModeNames[mode]) == 0) {
                    FieldAt<::DrawMode>(settings, key.offset) = static_cast<::DrawMode>(mode);
                }
            }
            break;
        case IniKind::Word:
            FieldAt<uint16_t>(settings, key.offset) = static_cast<uint16_t>(ParseIniDecimal(value));
            break;
        case IniKind::Decimal:
            FieldAt<int32_t>(settings, key.offset) = ParseIniDecimal(value);
            break;
        case IniKind::ColorQuad:
            FieldAt<ColorQuad>(settings, key.offset) =
                ColorQuadFromValue(ParseIniHexadecimal(value));
            break;
        case IniKind::Flag:
            FieldAt<int32_t>(settings, key.offset) = ParseIniFlag(value);
            break;
        case IniKind::Text: {
            char* text = &FieldAt<char>(settings, key.offset);
            std::strncpy(text, value, SETTINGS_PATH_LENGTH);
            text[SETTINGS_PATH_LENGTH] = '\0';
            break;
        }
    }
}

std::string WrittenValue(const Settings& settings, const IniKey& key) {
    switch (key.kind) {
        case IniKind::DrawModeName: {
            int mode = FieldAt<::DrawMode>(settings, key.offset);
            return kDrawModeNames[(mode >= DRAW_PEN && mode <= DRAW_TEXT) ? mode : DRAW_PEN];
        }
        case IniKind::Word:
            return FormatIniDecimal(FieldAt<uint16_t>(settings, key.offset));
        case IniKind::Decimal:
            return FormatIniDecimal(FieldAt<int32_t>(settings, key.offset));
        case IniKind::ColorQuad:
            return FormatIniHexadecimal(ColorQuadToValue(FieldAt<ColorQuad>(settings, key.offset)));
        case IniKind::Flag:
            return FormatIniFlag(FieldAt<int32_t>(settings, key.offset));
        case IniKind::Text:
            return std::string(&FieldAt<char>(settings, key.offset));
    }
    return std::string();
}

}  // namespace

void ResetSettings(Settings& settings) {
    std::memset(&settings, 0, sizeof settings);
    settings.BgColor = ColorQuad{0xFF, 0xFF, 0xFF, 0xFF};
    settings.DefaultSizeX = 200;
    settings.DefaultSizeY = 200;
    settings.TabWidth = 20;
    settings.TabHeight = 20;
    settings.Tool.PenSize = 1;
    settings.Tool.EraseSize = 5;
    settings.Tool.PenColor = ColorQuad{0xFF, 0x00, 0x00, 0x00};
    settings.Tool.TrayMenu = nullptr;
    settings.Tool.DrawMode = DRAW_PEN;
}

namespace {

// The profile functions look for a bare file name in the Windows folder; a
// program started without a folder in its path keeps its INI file in the
// current folder instead.
std::string ProfilePath(const char* iniPath) {
    std::string path = iniPath ? iniPath : "";
    if (FolderOfPath(path).empty()) path = ".\\" + path;
    return path;
}

}  // namespace

void LoadSettings(Settings& settings, const char* iniPath) {
    const std::string profilePath = ProfilePath(iniPath);
    for (const IniKey& key : kIniKeys) {
        // Values longer than 255 characters are cut.
        char value[256] = "";
        GetPrivateProfileStringA(key.section, key.key, key.readDefault, value, sizeof value,
                                 profilePath.c_str());
        if (value[0] != '\0') ReadValue(settings, key, value);
    }
}

void SaveSettings(const Settings& settings, const char* iniPath) {
    // Results are ignored: a file that cannot be written keeps what it had.
    const std::string profilePath = ProfilePath(iniPath);
    for (const IniKey& key : kIniKeys) {
        WritePrivateProfileStringA(key.section, key.key, WrittenValue(settings, key).c_str(),
                                   profilePath.c_str());
    }
}

std::string IniPathForProgram(const std::string& programPath) {
    return FolderOfPath(programPath) + "inkslip.ini";
}

std::string GetIniPath() {
    return IniPathForProgram(FirstCommandLineArgument(GetCommandLineA()));
}

void ResetSettings() {
    ResetSettings(g_settings);
}

bool LoadSettings() {
    LoadSettings(g_settings, GetIniPath().c_str());
    return true;
}

bool SaveSettings() {
    SaveSettings(g_settings, GetIniPath().c_str());
    return true;
}
