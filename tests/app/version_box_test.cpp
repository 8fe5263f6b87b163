#include "shell_fixture.h"

#include "app/version_box.h"
#include "resources/resource.h"

namespace app_test {
namespace {

constexpr char COPYRIGHT[] = "Copyright (C) 2026 Inkslip team";

TEST(VersionBox, ShowsTheProductVersionOfTheProgramsOwnResource) {
    DialogAnswerer answerer(IDOK);
    EXPECT_EQ(1, ShowVersionBox(nullptr));
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("バージョン情報", answerer.Boxes()[0].caption);
    EXPECT_EQ(std::string("Inkslip\nVersion 0, 5, 0, 1\n") + COPYRIGHT, answerer.Boxes()[0].text);
}

TEST(VersionBox, FileWithoutVersionShowsNothingAndTheFallbackHasNoNumber) {
    test_support::TemporaryFolder folder;
    std::string plain = folder.File("plain.txt");
    ASSERT_TRUE(test_support::WriteFileBytes(plain, "no resources here"));
    std::string version = "untouched";
    EXPECT_FALSE(ReadProductVersion(plain.c_str(), version));
    EXPECT_FALSE(ReadProductVersion(folder.File("missing.exe").c_str(), version));

    DialogAnswerer answerer(IDOK);
    EXPECT_EQ(0, ShowVersionBoxFor(nullptr, plain.c_str()));
    EXPECT_TRUE(answerer.Boxes().empty());
    ShowFallbackVersionBox(nullptr);
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("バージョン情報", answerer.Boxes()[0].caption);
    EXPECT_EQ(std::string("Inkslip\nVersion -.-.-\n") + COPYRIGHT, answerer.Boxes()[0].text);
}

TEST_F(ShellTest, VersionCommandShowsExactlyOneBox) {
    ASSERT_TRUE(Start());
    DialogAnswerer answerer(IDOK);
    Command(IDM_VERSION);
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_NE(std::string::npos, answerer.Boxes()[0].text.find("Version 0, 5, 0, 1"));
}

}  // namespace
}  // namespace app_test
