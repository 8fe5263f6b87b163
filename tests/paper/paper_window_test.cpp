#include "canvas/ddb_canvas.h"
#include "paper_fixture.h"

namespace paper_test {
namespace {

using WindowTest = PaperTest;

bool g_menuSeen = false;
int g_menuTicks = 0;

// Notes whether a popup menu is open and closes it, so the menu loop returns.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (menuWindow && IsWindowVisible(menuWindow)) g_menuSeen = true;
    if (g_menuSeen || ++g_menuTicks > 20) EndMenu();
}

TEST_F(WindowTest, TwoHundredSquareNoteIsCentredWithTabAndBody) {
    Paper* paper = NewPaper(12);
    ASSERT_NE(nullptr, paper->GetWindow());
    EXPECT_NE(nullptr, GetPropA(mainWindow, "Inkslip12"));

    RECT rect = WindowRect(paper);
    EXPECT_EQ(202, rect.right - rect.left);
    EXPECT_EQ(223, rect.bottom - rect.top);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ((screenWidth - 202) / 2, rect.left);                   // 411 on 1024 × 768
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 223) / 2, rect.top);  // 272

    // The shape: a 22 × 21 tab above the body, nothing right of the tab.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(paper->GetWindow(), region));
    EXPECT_TRUE(PtInRegion(region, 21, 0));
    EXPECT_FALSE(PtInRegion(region, 22, 0));
    EXPECT_TRUE(PtInRegion(region, 0, 20));
    EXPECT_FALSE(PtInRegion(region, 100, 20));
    EXPECT_TRUE(PtInRegion(region, 201, 21));
    EXPECT_TRUE(PtInRegion(region, 201, 222));
    DeleteObject(region);

    const RECT drawArea{1, 22, 201, 222};
    EXPECT_TRUE(EqualRect(&drawArea, &paper->GetDrawArea()));
    EXPECT_EQ(WHITE, paper->GetPicture()->GetRgb(100, 100));
    // The tab is drawn cyan with a black outline.
    EXPECT_EQ(CYAN, paper->GetPicture()->GetRgb(10, 10));
    EXPECT_EQ(0u, paper->GetPicture()->GetRgb(0, 10));

    // Only the tab acts as a caption.
    auto hit = [&](int windowX, int windowY) {
        return SendMessageA(paper->GetWindow(), WM_NCHITTEST, 0,
                            MAKELPARAM(paper->GetPosition().x + windowX, paper->GetPosition().y + windowY));
    };
    EXPECT_EQ(HTCAPTION, hit(5, 5));
    EXPECT_EQ(HTCAPTION, hit(21, 20));
    EXPECT_EQ(HTCLIENT, hit(5, 21));
    EXPECT_EQ(HTCLIENT, hit(100, 100));
    EXPECT_NE(HTCAPTION, hit(100, 5));
    // Moving the window is followed by x and y, also to negative places.
    SetWindowPos(paper->GetWindow(), nullptr, -20, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(-20, paper->GetPosition().x);
    EXPECT_EQ(10, paper->GetPosition().y);

    // Wider than the screen: it starts at 0.
    rect = WindowRect(NewPaper(0, screenWidth + 100, 100));
    EXPECT_EQ(0, rect.left);
    EXPECT_GT(rect.top, 0);
}

TEST_F(WindowTest, RightClickOnTheBodyOpensThePopupMenu) {
    Paper* paper = NewPaper(0);
    g_menuSeen = false;
    g_menuTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseMenu);
    SendMessageA(paper->GetWindow(), WM_RBUTTONUP, 0, MAKELPARAM(100, 100));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_menuSeen);
    EXPECT_EQ(0u, GetMenuDefaultItem(GetSubMenu(paper->GetMenu(), 0), TRUE, 0));
}

TEST_F(WindowTest, TeardownTwiceReleasesEverythingOnce) {
    // Outside the registry, so the purge leaves it to this test.
    auto paper = std::make_unique<Paper>();
    ASSERT_TRUE(paper->Create(mainWindow, PaperWindowProc, 20, 20, 200, 200, 5));
    const HBITMAP bitmap = paper->GetPicture()->GetBitmap();
    const HDC dc = paper->GetPicture()->GetDeviceContext();
    HWND window = paper->GetWindow();
    EXPECT_TRUE(paper->Destroy());
    EXPECT_FALSE(paper->Destroy());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, GetPropA(mainWindow, "Inkslip5"));
    WNDCLASSA unregistered;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Inkslip5", &unregistered));
    EXPECT_TRUE(paper->Save(folder.Path().c_str()));  // nothing left to save
    paper.reset();
    // What the platform reports of the note's surface once the note is gone.
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(0u, GetObjectType(dc));
    EXPECT_TRUE(FilesIn(folder.Path()).empty());

    // A note whose picture cannot be had is no note: no window, no class.
    Paper tooLarge;
    EXPECT_FALSE(tooLarge.Create(mainWindow, PaperWindowProc, 20, 20, 100000, 100000, 6));
    EXPECT_EQ(nullptr, tooLarge.GetWindow());
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Inkslip6", &unregistered));
}

TEST_F(WindowTest, WindowDestroyedFromOutsideSavesFirstAndTheSlotCanBeUsedAgain) {
    DestroyWindow(NewPaper(3)->GetWindow());
    PumpMessages();
    EXPECT_EQ(nullptr, GetPaper(3));  // purged by the main window
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat"}), FilesIn(folder.Path()));
    char className[32] = "";
    GetClassNameA(NewPaper(3)->GetWindow(), className, sizeof className);
    EXPECT_STREQ("Inkslip3", className);
}

TEST_F(WindowTest, ANoteTornDownInsideItsOwnDialogIsDeletedOnlyAfterItReturns) {
    g_settings.IsDelWarning = 1;
    Paper* paper = NewPaper(4);
    bool keptWhileAsking = false;
    DialogScript steps;
    steps.Until([] { return !ThreadDialogs().empty(); }).Then([&] {
        // Destroyed from outside while the note asks its question (which goes
        // with it): the purge it asks for runs in the question's own loop.
        DestroyWindow(paper->GetWindow());
        PumpMessages();
        keptWhileAsking = GetPaper(4) == paper;
    });
    steps.Start();
    SendMessageA(paper->GetWindow(), WM_COMMAND, IDM_PEEL_OFF, 0);
    EXPECT_TRUE(steps.Stop());
    EXPECT_TRUE(keptWhileAsking);
    PumpMessages();
    EXPECT_EQ(nullptr, GetPaper(4));
}

TEST_F(WindowTest, SessionEndSavesButKeepsTheNote) {
    Paper* paper = NewPaper(6);
    EXPECT_EQ(1, SendMessageA(paper->GetWindow(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"6.bmp", "6.dat"}), FilesIn(folder.Path()));
    EXPECT_EQ(paper, GetPaper(6));
    EXPECT_TRUE(IsWindow(paper->GetWindow()));
    // Peeling it off now removes what the session end wrote.
    paper->OnCommand(paper->GetWindow(), IDM_PEEL_OFF);
    EXPECT_FALSE(FileExists(folder.File("6.dat")));
}

}  // namespace
}  // namespace paper_test
