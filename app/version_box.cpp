#include "app/version_box.h"

#include "resources/texts.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

// The "ProductVersion" string of a file's version resource, looked up under
// the first translation the file lists; false when it cannot be read.
bool ReadProductVersion(const char* path, std::string& version) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return false;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block || !GetFileVersionInfoA(path, 0, size, block.get())) return false;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.get(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &length) ||
        !translations || length < sizeof(Translation)) {
        return false;
    }
    char subBlock[64];
    std::snprintf(
        subBlock, sizeof subBlock, "\\stringFileInfo\\%08lx\\%s",
        static_cast<unsigned long>(translations[0].language) << 16 | translations[0].codePage,
        "ProductVersion");
    char* text = nullptr;
    if (!VerQueryValueA(block.get(), subBlock, reinterpret_cast<void**>(&text), &length) || !text) {
        return false;
    }
    version.assign(text);
    return true;
}

// The three lines of the box for a version text.
std::string VersionBoxText(const std::string& version) {
    return std::string(TEXT_CAPTION) + "\nVersion " + version + "\n" + TEXT_COPYRIGHT;
}

}  // namespace

int ShowVersionBox(HWND owner) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return 0;
    std::string version;
    if (!ReadProductVersion(path, version)) return 0;
    MessageBoxA(owner, VersionBoxText(version).c_str(), TEXT_VERSION_CAPTION, MB_OK);
    return 1;
}

void ShowFallbackVersionBox(HWND owner) {
    MessageBoxA(owner, VersionBoxText("-.-.-").c_str(), TEXT_VERSION_CAPTION, MB_OK);
}
