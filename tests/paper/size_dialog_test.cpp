#include "paper/size_dialog.h"

#include "paper/paper_record.h"

#include "resources/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace test_support;

namespace {

const char* const SIZE_CAPTION = "サイズ設定";
const char* const TOO_LARGE_QUESTION = "サイズが画面に対して大きいかもしれません。\n続行しますか？";

std::string Number(int value) {
    return std::to_string(value);
}

// The owner of the dialog, as the main window or a note would be.
class SizeDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowA("STATIC", "owner", WS_POPUP, 100, 100, 50, 50, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override { DestroyWindow(owner); }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Focus(int id) const { SetFocus(Item(id)); }
    void SetText(int id, const char* text) const { SetDlgItemTextA(dialog, id, text); }
    void PressEnter() const { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1); }
    INT_PTR Run(int32_t* pair) {
        script.Start();
        INT_PTR result = ShowSizeDialog(owner, pair);
        EXPECT_TRUE(script.Stop()) << "steps done: " << script.StepsDone();
        return result;
    }

    HWND owner = nullptr;
    HWND dialog = nullptr;
    DialogScript script;
};

}  // namespace

TEST(SizeRules, ParsingAndMinimum) {
    EXPECT_EQ(12, ParseSizeText("12x4"));
    EXPECT_TRUE(IsBelowMinimumSize(19));
    EXPECT_FALSE(IsBelowMinimumSize(20));
}

TEST_F(SizeDialogTest, OpensWithThePairAndRaisesSmallSizesWhenABoxIsLeft) {
    int32_t pair[2] = {200, 200};
    script.WaitFor(SIZE_CAPTION, dialog).Then([&] {
        EXPECT_EQ("200", ItemText(dialog, IDC_SIZE_WIDTH));
        EXPECT_EQ("200", ItemText(dialog, IDC_SIZE_HEIGHT));
        Focus(IDC_SIZE_WIDTH);
        SetText(IDC_SIZE_WIDTH, "5");
        EXPECT_EQ("5", ItemText(dialog, IDC_SIZE_WIDTH));  // not while typing
        Focus(IDC_SIZE_HEIGHT);
        EXPECT_EQ("20", ItemText(dialog, IDC_SIZE_WIDTH));
        SetText(IDC_SIZE_HEIGHT, "");
        Focus(IDC_SIZE_WIDTH);
        EXPECT_EQ("20", ItemText(dialog, IDC_SIZE_HEIGHT));
        SetText(IDC_SIZE_HEIGHT, "300");
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Run(pair));
    EXPECT_EQ(200, pair[0]);
    EXPECT_EQ(200, pair[1]);
}

TEST_F(SizeDialogTest, LargerSizesAskAndNoKeepsTheDialogOpen) {
    int limitX = ScreenLimit(GetSystemMetrics(SM_CXSCREEN));
    int limitY = ScreenLimit(GetSystemMetrics(SM_CYSCREEN));
    int32_t pair[2] = {200, 200};
    HWND box = nullptr;
    int questions = 0;
    script.WaitFor(SIZE_CAPTION, dialog)
        .Then([&] {
            SetText(IDC_SIZE_WIDTH, Number(limitX + 1).c_str());
            SetText(IDC_SIZE_HEIGHT, "100");
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", box)
        .Then([&] {
            EXPECT_EQ(TOO_LARGE_QUESTION, DialogText(box));
            EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
            PressButton(box, IDNO);
        })
        .Until([&] { return FindDialog("Inkslip") == nullptr; })
        .Then([&] {
            // Still open, nothing stored; now only the height is too large.
            EXPECT_EQ(dialog, FindDialog(SIZE_CAPTION));
            EXPECT_EQ(200, pair[0]);
            SetText(IDC_SIZE_WIDTH, Number(limitX).c_str());
            SetText(IDC_SIZE_HEIGHT, Number(limitY + 1).c_str());
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", box)
        .Then([&] { PressButton(box, IDNO); })
        .Until([&] { return FindDialog("Inkslip") == nullptr; })
        .Then([&] {
            // Both too large: two questions, width first; Yes to both stores.
            SetText(IDC_SIZE_WIDTH, "2000");
            SetText(IDC_SIZE_HEIGHT, "2000");
            PressButton(dialog, IDOK);
        })
        .WaitFor("Inkslip", box)
        .Then([&] {
            ++questions;
            PressButton(box, IDYES);
        })
        .Until([&] {
            HWND second = FindDialog("Inkslip");
            return second != nullptr && second != box;
        })
        .Then([&] {
            ++questions;
            PressButton(FindDialog("Inkslip"), IDYES);
        });
    EXPECT_EQ(IDOK, Run(pair));
    EXPECT_EQ(2, questions);
    EXPECT_EQ(2000, pair[0]);
    EXPECT_EQ(2000, pair[1]);
}

TEST_F(SizeDialogTest, EnterWithTheFocusInTheHeightBoxCorrectsOneSizePerPress) {
    int32_t pair[2] = {200, 200};
    script.WaitFor(SIZE_CAPTION, dialog)
        .Then([&] {
            Focus(IDC_SIZE_HEIGHT);
            SetText(IDC_SIZE_WIDTH, "10");
            SetText(IDC_SIZE_HEIGHT, "10");
            PressEnter();
        })
        .Then([&] {
            EXPECT_EQ("20", ItemText(dialog, IDC_SIZE_WIDTH));
            EXPECT_EQ("10", ItemText(dialog, IDC_SIZE_HEIGHT));
            EXPECT_EQ(Item(IDC_SIZE_HEIGHT), GetFocus());
            PressEnter();
        })
        .Then([&] {
            EXPECT_EQ("20", ItemText(dialog, IDC_SIZE_HEIGHT));
            EXPECT_EQ(200, pair[0]);
            PressEnter();
        });
    EXPECT_EQ(IDOK, Run(pair));
    EXPECT_EQ(20, pair[0]);
    EXPECT_EQ(20, pair[1]);
}

// A width at 95 % of the screen passes without a question; clicking OK takes
// the focus from the height box, which corrects it at once.
TEST_F(SizeDialogTest, ScreenLimitPassesAndClickingOkCorrectsTheHeightBoxAtOnce) {
    int limitX = ScreenLimit(GetSystemMetrics(SM_CXSCREEN));
    int32_t pair[2] = {200, 200};
    script.WaitFor(SIZE_CAPTION, dialog).Then([&] {
        Focus(IDC_SIZE_HEIGHT);
        SetText(IDC_SIZE_WIDTH, Number(limitX).c_str());
        SetText(IDC_SIZE_HEIGHT, "10");
        PostMessageA(Item(IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDOK, Run(pair));
    EXPECT_EQ(limitX, pair[0]);
    EXPECT_EQ(20, pair[1]);
}
