#include <gtest/gtest.h>
#include <windows.h>
TEST(Chain, AnsiCodePageIs932) { EXPECT_EQ(932u, GetACP()); }
