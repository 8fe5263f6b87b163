#include "shell_fixture.h"

#include "app/version_box.h"

namespace app_test {
namespace {

constexpr char COPYRIGHT[] = "Copyright (C) 2026 Inkslip team";

TEST_F(ShellTest, VersionCommandShowsTheProductVersionOfTheProgramsOwnResource) {
    ASSERT_TRUE(Start());
    DialogAnswerer answerer(IDOK);
    Command(IDM_VERSION);
    ASSERT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ("バージョン情報", answerer.Seen()[0].caption);
    EXPECT_EQ(std::string("Inkslip\nVersion 0, 5, 0, 1\n") + COPYRIGHT, answerer.Seen()[0].text);
}

TEST(VersionBox, FileWithoutVersionShowsNothingAndTheFallbackHasNoNumber) {
    TemporaryFolder folder;
    std::string plain = folder.File("plain.txt");
    ASSERT_TRUE(WriteFileBytes(plain, "no resources here"));
    std::string version = "untouched";
    EXPECT_FALSE(ReadProductVersion(plain.c_str(), version));
    EXPECT_FALSE(ReadProductVersion(folder.File("missing.exe").c_str(), version));

    DialogAnswerer answerer(IDOK);
    EXPECT_EQ(0, ShowVersionBoxFor(nullptr, plain.c_str()));
    EXPECT_TRUE(answerer.Seen().empty());
    ShowFallbackVersionBox(nullptr);
    ASSERT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ("バージョン情報", answerer.Seen()[0].caption);
    EXPECT_EQ(std::string("Inkslip\nVersion -.-.-\n") + COPYRIGHT, answerer.Seen()[0].text);
}

}  // namespace
}  // namespace app_test
