// The program's Japanese texts reach the ANSI API as code page 932 bytes:
// the literals of the sources as the compiler turns them, and the texts of
// the resource script (linked into this test program) as the API reads them.
#include "resources/resource.h"
#include "resources/texts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// 最前面表示: the trail byte of 表 is 0x5C, the code of a backslash.
const std::string TOPMOST_CP932("\x8D\xC5\x91\x4F\x96\xCA\x95\x5C\x8E\xA6");

TEST(ResourceTexts, LiteralsAndResourceTextsAreCodePage932) {
    EXPECT_EQ(TOPMOST_CP932, std::string("最前面表示"));
    // A 0x5C trail byte must not swallow the next character as an escape.
    EXPECT_EQ(std::string("\x83\x5C\x6E"), std::string("ソn"));
    // The escape of a message text is handled before the conversion.
    EXPECT_EQ(std::string("\x81\x42\n\x91\xB1"),
              std::string(TEXT_TOO_LARGE_QUESTION).substr(40, 5));

    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    char text[64] = "";
    EXPECT_EQ(10, GetMenuStringA(menu, IDM_TOPMOST, text, sizeof text, MF_BYCOMMAND));
    EXPECT_EQ(TOPMOST_CP932, std::string(text));
    DestroyMenu(menu);
}

}  // namespace
