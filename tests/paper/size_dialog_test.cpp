#include "paper/size_dialog.h"

#include "paper/paper_record.h"
#include "resources/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace test_support;

// The dialog run as the program runs it, driven from inside its loop.
TEST(SizeDialog, RaisesSmallSizesAsksAboutLargeOnesAndStoresTheSizeOnOk) {
    const int wide = ScreenLimit(GetSystemMetrics(SM_CXSCREEN)) + 1;
    int32_t pair[2] = {200, 150};
    HWND dialog = nullptr;
    HWND question = nullptr;
    DialogScript script;
    script.WaitFor("サイズ設定", dialog)
        .Then([&] {
            EXPECT_EQ("200", ItemText(dialog, IDC_SIZE_WIDTH));
            EXPECT_EQ("150", ItemText(dialog, IDC_SIZE_HEIGHT));
            // Leaving a box raises a size below 20 at once.
            SetFocus(GetDlgItem(dialog, IDC_SIZE_WIDTH));
            SetDlgItemInt(dialog, IDC_SIZE_WIDTH, 5, TRUE);
            SetFocus(GetDlgItem(dialog, IDC_SIZE_HEIGHT));
            EXPECT_EQ("20", ItemText(dialog, IDC_SIZE_WIDTH));
            // Wider than 95 % of the screen: a question; No goes back to the dialog.
            SetDlgItemInt(dialog, IDC_SIZE_WIDTH, wide, TRUE);
            SetDlgItemInt(dialog, IDC_SIZE_HEIGHT, 20, TRUE);
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", question)
        .Then([&] {
            EXPECT_EQ("サイズが画面に対して大きいかもしれません。\n続行しますか？",
                      DialogText(question));
            EXPECT_EQ(dialog, GetWindow(question, GW_OWNER));
            PressButton(question, IDNO);
        })
        .Until([] { return FindDialog("Inkslip") == nullptr; })
        .Then([&] {
            EXPECT_EQ(200, pair[0]);
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", question)
        .Then([&] { PressButton(question, IDYES); });
    script.Start();
    EXPECT_EQ(IDOK, ShowSizeDialog(nullptr, pair));
    EXPECT_TRUE(script.Stop()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(wide, pair[0]);
    EXPECT_EQ(20, pair[1]);  // the least size is no size below it
}

TEST(SizeDialog, TheScreenLimitIsNinetyFivePercentTruncated) {
    EXPECT_FALSE(ExceedsScreenLimit(1216, 1280));
    EXPECT_TRUE(ExceedsScreenLimit(1217, 1280));
}
