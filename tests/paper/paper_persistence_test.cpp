#include "canvas/bmp_file.h"
#include "canvas/ddb_canvas.h"
#include "paper/paper_record.h"
#include "paper_fixture.h"

#include <functional>

namespace paper_test {
namespace {

using PersistenceTest = PaperTest;

void MoveTo(Paper* paper, int x, int y) {
    SetWindowPos(paper->GetWindow(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

TEST_F(PersistenceTest, SavesTheRecordAndTheDrawingAreaAndRestoresThem) {
    Paper* paper = NewPaper(3);
    Drag(paper, {{10, 30}, {50, 30}});
    MoveTo(paper, 100, 50);
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    EXPECT_EQ(std::string("\x64\x00\x32\x00\x03\x00\x00\x00", 8),
              ReadFileBytes(folder.File("3.dat")));

    DdbCanvas image(1, 1);
    ASSERT_TRUE(image.LoadBmp(folder.File("3.bmp").c_str()));
    EXPECT_EQ(200, image.GetWidth());
    EXPECT_EQ(200, image.GetHeight());
    for (int x = 0; x < 200; ++x) {
        EXPECT_EQ(x >= 9 && x <= 49 ? BLUE : WHITE, image.GetRgb(x, 8)) << "x " << x;
    }
    EXPECT_EQ(WHITE, image.GetRgb(0, 0));  // no frame, no tab
    EXPECT_EQ(WHITE, image.GetRgb(199, 199));

    paper->OnCommand(paper->GetWindow(), IDM_LOCK);
    MoveTo(paper, -20, 10);
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    EXPECT_EQ(std::string("\xEC\xFF\x0A\x00\x03\x00\x01\x00", 8),
              ReadFileBytes(folder.File("3.dat")));

    RemovePaper(3);
    Paper* restored = PaperFromFile(folder.File("3.dat"), 3);
    ASSERT_NE(nullptr, restored);
    EXPECT_EQ(-20, restored->GetPosition().x);  // touches the screen: stays where it was
    EXPECT_EQ(10, restored->GetPosition().y);
    EXPECT_EQ(-20, WindowRect(restored).left);
    EXPECT_TRUE(restored->IsLocked());
    EXPECT_TRUE(GetMenuState(restored->GetMenu(), IDM_LOCK, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(restored->GetMenu(), IDM_PEEL_OFF, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(BLUE, restored->GetPicture()->GetRgb(10, 30));
    EXPECT_EQ(BLUE, restored->GetPicture()->GetRgb(50, 30));
    EXPECT_EQ(WHITE, restored->GetPicture()->GetRgb(51, 30));
    // The data file stays until the note is peeled off or saved elsewhere.
    EXPECT_TRUE(FileExists(folder.File("3.dat")));
    EXPECT_EQ(folder.File("3.dat"), restored->GetSourceDataPath());
}

TEST_F(PersistenceTest, RefusedRecordsLeaveTheirFilesAndOffScreenNotesComeBackOnScreen) {
    ASSERT_TRUE(WriteBmp(folder.File("3.bmp"), 50, 50, WHITE));
    ASSERT_TRUE(WriteFileBytes(folder.File("3.dat"), RecordBytes(10, 10, 4, 0)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("3.dat"), 3));  // another number
    ASSERT_TRUE(WriteFileBytes(folder.File("3.dat"), RecordBytes(10, 10, 3, 0).substr(0, 7)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("3.dat"), 3));  // short
    EXPECT_TRUE(FileExists(folder.File("3.dat")));
    ASSERT_TRUE(WriteFileBytes(folder.File("5.dat"), RecordBytes(10, 10, 5, 0)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("5.dat"), 5));  // no 5.bmp
    ASSERT_TRUE(WriteFileBytes(folder.File("3.Dat"), RecordBytes(10, 10, 3, 0)));
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("3.Dat"), 3));  // not a data file name
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("missing.dat"), 3));
    for (int slot = 0; slot < MaxPapers; ++slot) EXPECT_EQ(nullptr, GetPaper(slot));

    StoreNote(2, -5000, 30, 100, 100);
    Paper* paper = PaperFromFile(folder.File("2.dat"), 2);
    ASSERT_NE(nullptr, paper);
    RECT rect = WindowRect(paper);
    EXPECT_NE(nullptr, MonitorFromRect(&rect, MONITOR_DEFAULTTONULL));
    EXPECT_GE(rect.left, 0);
    EXPECT_EQ(30, rect.top);
    EXPECT_EQ(rect.left, paper->GetPosition().x);
    // Its record still holds the place off the screen: it is to be written.
    EXPECT_TRUE(paper->IsDirty());
}

TEST_F(PersistenceTest, EveryKindOfChangeMarksTheNoteAndASaveClearsIt) {
    Paper* paper = NewPaper(0);
    EXPECT_TRUE(paper->IsDirty());  // a new note has no files yet
    ASSERT_TRUE(WriteBmp(folder.File("drop.bmp"), 30, 20, RED));
    const auto tool = [&](DrawMode mode) {
        return [this, paper, mode] {
            g_settings.Tool.DrawMode = mode;
            Drag(paper, {{20, 40}, {40, 60}});
        };
    };
    const struct {
        const char* name;
        std::function<void()> change;
    } changes[] = {
        {"pen", tool(DRAW_PEN)},
        {"eraser", tool(DRAW_ERASE)},
        {"box", tool(DRAW_BOX)},
        {"ellipse", tool(DRAW_CIRCLE)},
        {"fill", tool(DRAW_FILL)},
        {"undo", [paper] { paper->Undo(); }},
        {"lock", [paper] { paper->ToggleLock(); }},
        {"unlock", [paper] { paper->ToggleLock(); }},
        {"move", [paper] { SetWindowPos(paper->GetWindow(), nullptr, 30, 40, 0, 0,
                                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }},
        {"resize", [paper] { paper->Resize(120, 90); }},
        {"drop", [&] { paper->OnDropFiles(MakeDrop({folder.File("drop.bmp")})); }},
    };
    for (const auto& change : changes) {
        ASSERT_TRUE(paper->Save(folder.Path().c_str()));
        EXPECT_FALSE(paper->IsDirty());
        const int notices = MainWindowMessages(WM_PAPER_CHANGED);
        change.change();
        EXPECT_TRUE(paper->IsDirty()) << change.name;
        // The main window hears of it, to write the note soon.
        EXPECT_GT(MainWindowMessages(WM_PAPER_CHANGED), notices) << change.name;
    }

    // What changes nothing leaves the note as saved.
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    SetAltDown(true);
    Drag(paper, {{20, 40}, {40, 60}});
    SetAltDown(false);
    InvalidateRect(paper->GetWindow(), nullptr, FALSE);
    UpdateWindow(paper->GetWindow());
    paper->ToggleLock();
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    tool(DRAW_PEN)();
    EXPECT_FALSE(paper->Undo());
    EXPECT_FALSE(paper->IsDirty());
}

TEST_F(PersistenceTest, SaveCreatesMissingFoldersAndMovesThePairToANewFolder) {
    Paper* paper = NewPaper(0);
    const std::string nested = folder.Path() + "data\\deeper\\notes\\";
    EXPECT_TRUE(paper->Save(nested.c_str()));
    EXPECT_EQ((std::vector<std::string>{"0.bmp", "0.dat"}), FilesIn(nested));
    // A folder that cannot be made: a file stands in its way.
    ASSERT_TRUE(WriteFileBytes(folder.File("blocker"), "x"));
    EXPECT_FALSE(paper->Save((folder.Path() + "blocker\\sub\\").c_str()));
    // The default data folder follows the settings.
    EXPECT_EQ(folder.Path(), CurrentPaperDataFolder());
    EXPECT_TRUE(paper->Save());
    EXPECT_TRUE(FileExists(folder.File("0.dat")));

    StoreNote(3, 100, 100, 60, 40, RED);
    Paper* restored = PaperFromFile(folder.File("3.dat"), 3);
    ASSERT_NE(nullptr, restored);
    const std::string other = folder.Path() + "moved\\";
    ASSERT_TRUE(restored->Save(other.c_str()));
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat"}), FilesIn(other));
    EXPECT_FALSE(FileExists(folder.File("3.dat")));
    EXPECT_FALSE(FileExists(folder.File("3.bmp")));
    // Saving again into the same folder keeps the pair.
    ASSERT_TRUE(restored->Save(other.c_str()));
    EXPECT_TRUE(FileExists(other + "3.dat"));
}

TEST_F(PersistenceTest, FailedWritesKeepTheOldFileAndLeaveNoTemporaryFile) {
    const std::string target = folder.File("kept.bin");
    ASSERT_TRUE(WriteFileBytes(target, "old content"));
    EXPECT_FALSE(WriteReplacing(target, [](const char* temporary) {
        WriteFileBytes(temporary, "half");
        return false;
    }));
    EXPECT_EQ("old content", ReadFileBytes(target));
    EXPECT_TRUE(WriteReplacing(
        target, [](const char* temporary) { return WriteFileBytes(temporary, "new content"); }));
    EXPECT_EQ("new content", ReadFileBytes(target));
    EXPECT_EQ(std::vector<std::string>{"kept.bin"}, FilesIn(folder.Path()));

    // A temporary file left behind by a crash is written over and moved in.
    Paper* paper = NewPaper(3);
    ASSERT_TRUE(WriteFileBytes(folder.File("3.da~"), "left by a crash"));
    ASSERT_TRUE(paper->Save(folder.Path().c_str()));
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat", "kept.bin"}), FilesIn(folder.Path()));
    EXPECT_EQ(8u, ReadFileBytes(folder.File("3.dat")).size());

    // N.bmp cannot be replaced (a folder holds its name): false, no leftovers.
    ASSERT_TRUE(DeleteFileA(folder.File("3.bmp").c_str()));
    ASSERT_TRUE(CreateDirectoryA(folder.File("3.bmp").c_str(), nullptr));
    paper->ToggleLock();
    EXPECT_FALSE(paper->Save(folder.Path().c_str()));
    EXPECT_EQ((std::vector<std::string>{"3.dat", "kept.bin"}), FilesIn(folder.Path()));
    EXPECT_TRUE(paper->IsDirty());  // tried again at the next change or at exit
    ASSERT_TRUE(RemoveDirectoryA(folder.File("3.bmp").c_str()));


    // A data folder so long that N.dat just fits the path limit: the files go
    // through names no longer than their own.
    std::string deep = folder.Path();
    while (deep.size() < 253) {
        const size_t room = 253 - deep.size();
        deep += std::string(room > 80 ? 40 : room - 1, 'd') + "\\";
    }
    ASSERT_EQ(258u, (deep + "3.dat").size());
    EXPECT_TRUE(paper->Save(deep.c_str()));
    EXPECT_EQ((std::vector<std::string>{"3.bmp", "3.dat"}), FilesIn(deep));
}

TEST_F(PersistenceTest, NewNoteFromBmpTakesTheImageSizeAndAsksOnceWhenLarge) {
    ASSERT_TRUE(WriteBmp(folder.File("dot.bmp"), 1, 1, RED));
    Paper* paper = PaperFromFile(folder.File("dot.bmp"), 0);
    ASSERT_NE(nullptr, paper);
    RECT rect = WindowRect(paper);
    EXPECT_EQ(3, rect.right - rect.left);
    EXPECT_EQ(24, rect.bottom - rect.top);
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(1, 22));
    EXPECT_TRUE(paper->Undo());  // changes nothing
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(1, 22));
    EXPECT_TRUE(paper->GetSourceDataPath().empty());
    EXPECT_EQ(nullptr, PaperFromFile(folder.File("dot.Bmp"), 1));

    const int widthLimit = ScreenLimit(GetSystemMetrics(SM_CXSCREEN));
    const int heightLimit = ScreenLimit(GetSystemMetrics(SM_CYSCREEN));
    ASSERT_TRUE(WriteBmp(folder.File("wide.bmp"), widthLimit + 1, 30, WHITE));
    ASSERT_TRUE(WriteBmp(folder.File("both.bmp"), widthLimit + 1, heightLimit + 1, WHITE));
    ASSERT_TRUE(WriteBmp(folder.File("tall.bmp"), 30, heightLimit + 1, WHITE));
    ASSERT_TRUE(WriteBmp(folder.File("limit.bmp"), widthLimit, heightLimit, WHITE));
    {
        DialogAnswerer answerer(IDNO);
        EXPECT_EQ(nullptr, PaperFromFile(folder.File("wide.bmp"), 1));
        ASSERT_EQ(1u, answerer.Seen().size());
        EXPECT_EQ("Inkslip", answerer.Seen()[0].caption);
        EXPECT_EQ("サイズが画面に対して大きいかもしれません。\n続行しますか？",
                  answerer.Seen()[0].text);
        EXPECT_EQ(nullptr, PaperFromFile(folder.File("tall.bmp"), 1));
        EXPECT_EQ(2u, answerer.Seen().size());
    }
    DialogAnswerer answerer(IDYES);
    Paper* large = PaperFromFile(folder.File("both.bmp"), 1);
    ASSERT_NE(nullptr, large);
    EXPECT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ(widthLimit + 1, large->GetBodyWidth());
    EXPECT_NE(nullptr, PaperFromFile(folder.File("limit.bmp"), 2));
    EXPECT_EQ(1u, answerer.Seen().size());
}

TEST_F(PersistenceTest, DroppedFiles) {
    Paper* paper = NewPaper(0);
    MoveTo(paper, 100, 80);
    paper->GetPicture()->SetRgb(30, 60, BLUE);
    ASSERT_TRUE(WriteBmp(folder.File("tall.bmp"), 50, 300, RED));
    ASSERT_TRUE(WriteBmp(folder.File("picture.Bmp"), 10, 10, RED));
    ASSERT_TRUE(WriteFileBytes(folder.File("broken.bmp"), "BM not really"));
    auto drop = [&](const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& name : names) paths.push_back(folder.File(name));
        return SendMessageA(paper->GetWindow(), WM_DROPFILES,
                            reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    };

    EXPECT_EQ(1, drop({"picture.Bmp"}));  // a mixed-case extension is ignored
    EXPECT_EQ(200, paper->GetBodyWidth());
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));
    {
        DialogAnswerer answerer(IDOK);
        EXPECT_EQ(0, drop({"broken.bmp"}));
        ASSERT_EQ(1u, answerer.Seen().size());
        EXPECT_EQ("ドロップファイルの読込みに失敗しました。", answerer.Seen()[0].text);
        EXPECT_EQ("Inkslip", answerer.Seen()[0].caption);
    }
    EXPECT_EQ(BLUE, paper->GetPicture()->GetRgb(30, 60));

    // Only the first of three files counts.
    EXPECT_EQ(1, drop({"tall.bmp", "broken.bmp", "picture.Bmp"}));
    RECT rect = WindowRect(paper);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(80, rect.top);
    EXPECT_EQ(52, rect.right - rect.left);
    EXPECT_EQ(323, rect.bottom - rect.top);
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(30, 60));
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(50, 321));
    EXPECT_TRUE(paper->Undo());  // changes nothing
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(30, 60));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(paper->GetWindow(), region);
    EXPECT_TRUE(PtInRegion(region, 51, 322));
    EXPECT_FALSE(PtInRegion(region, 30, 5));  // right of the tab
    DeleteObject(region);

    // Without its region record the drop stops, with the note as it was.
    ASSERT_TRUE(RemovePropA(mainWindow, "Inkslip0"));
    {
        DialogAnswerer answerer(IDOK);
        EXPECT_EQ(0, drop({"picture.bmp"}));
        ASSERT_EQ(1u, answerer.Seen().size());
        EXPECT_EQ("リージョンの再取得に失敗しました。", answerer.Seen()[0].text);
    }
    EXPECT_EQ(50, paper->GetBodyWidth());
    EXPECT_EQ(323, WindowRect(paper).bottom - WindowRect(paper).top);
    EXPECT_EQ(RED, paper->GetPicture()->GetRgb(30, 60));
}

}  // namespace
}  // namespace paper_test
