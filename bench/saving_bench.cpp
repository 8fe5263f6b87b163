// Saving as you go, timed in the real main window on an INI file and a data
// folder of its own: one changed note written as the save timer writes it,
// one save tick with 255 notes and with one, and pen presses posted from
// another thread the moment a save tick starts, each of which may wait for
// that one save but for no more.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include <windows.h>

#include "app/paper_registry.h"
#include "app/shell.h"
#include "bench/bench_main.h"
#include "bench/bench_util.h"
#include "canvas/bmp_file.h"
#include "paper/paper_record.h"

namespace bench {

namespace {

constexpr int CHANGED_WIDTH = 1000;
constexpr int CHANGED_HEIGHT = 800;
// The changed note sits in the last slot, so that a tick looks at every other
// note before it finds that one.
constexpr int LAST_SLOT = MaxPapers - 1;
constexpr int TICK_RUNS = 7;
// Changed notes (and pen presses) of the round that presses run into.
constexpr int PRESSED_ROUND_NOTES = 8;
constexpr double ROUND_TIMEOUT_MS = 60000;

// A pen stroke across a note's drawing area, as the mouse makes it.
void Stroke(HWND window, int step) {
    const int y = 40 + (step * 37) % 700;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, y + 30));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(900, y));
}

int ChangedPapers() {
    int changed = 0;
    ForEachPaper([&changed](Paper& paper) { changed += paper.IsDirty() ? 1 : 0; });
    return changed;
}

// The real main window, started (restoring what its data folder holds) and
// ended (writing every note) as the program does. Its notes made the hot-key
// way are 1000 × 800 and come without the size dialog.
class Session {
public:
    Session(const ScratchFolder& home, const ScratchFolder& data) {
        const std::string ini = home.Path() + "inkslip.ini";
        const std::string width = std::to_string(CHANGED_WIDTH);
        const std::string height = std::to_string(CHANGED_HEIGHT);
        WritePrivateProfileStringA("paper", "DataFolderPath", data.Path().c_str(), ini.c_str());
        WritePrivateProfileStringA("paper", "DefaultSizeX", width.c_str(), ini.c_str());
        WritePrivateProfileStringA("paper", "DefaultSizeY", height.c_str(), ini.c_str());
        WritePrivateProfileStringA("paper", "IsNoSizing", "1", ini.c_str());
        HINSTANCE instance = GetModuleHandleA(nullptr);
        RegisterMainWindowClass(instance);
        ShellPaths paths;
        paths.iniPath = ini;
        mainWindow = CreateMainWindow(instance, paths);
        DrainMessages();
    }
    ~Session() {
        if (mainWindow && IsWindow(mainWindow)) DestroyWindow(mainWindow);
        DrainMessages();
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HWND Window() const { return mainWindow; }

private:
    HWND mainWindow = nullptr;
};

// What the message loop saw while a round of saves ran.
struct Round {
    std::vector<double> writingTicks;  // each save tick that wrote a note, message to return
    std::vector<double> emptyTicks;    // each tick that found no changed note
    std::vector<double>
        hookedTickEnds;  // when each tick that `beforeWritingTick` ran before returned
    std::vector<double> pressesTaken;  // when each press on the pressed note left the queue
    int releases = 0;                  // button releases on the pressed note handled
    bool closed = false;               // the round ended before its time was up
};

// Handles messages as the program's own loop does until the round of saves
// has written every changed note and a tick has found none left, with every
// release of `presses` presses on `pressed` handled. `beforeWritingTick` runs
// (untimed) before each tick that has a changed note to write.
Round RunSaveRound(HWND mainWindow, HWND pressed, int presses,
                   const std::function<void()>& beforeWritingTick = {}) {
    Round round;
    const double deadline = NowMs() + ROUND_TIMEOUT_MS;
    while (NowMs() < deadline) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (pressed && message.hwnd == pressed && message.message == WM_LBUTTONDOWN) {
            round.pressesTaken.push_back(NowMs());
        }
        if (pressed && message.hwnd == pressed && message.message == WM_LBUTTONUP) {
            ++round.releases;
        }
        if (message.message != WM_TIMER || message.hwnd != mainWindow ||
            message.wParam != SAVE_TIMER) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        const int changedBefore = ChangedPapers();
        const bool hooked = changedBefore > 0 && beforeWritingTick;
        if (hooked) beforeWritingTick();
        const double start = NowMs();
        DispatchMessageA(&message);
        const double end = NowMs();
        if (hooked) round.hookedTickEnds.push_back(end);
        if (ChangedPapers() < changedBefore) {
            round.writingTicks.push_back(end - start);
        } else if (changedBefore == 0) {
            round.emptyTicks.push_back(end - start);
            if (round.releases >= presses) {
                round.closed = true;
                break;
            }
        }
    }
    return round;
}

// Times save ticks that each write the changed 1000 × 800 note in the last
// slot, changed by a stroke before each round, and the ticks that close the
// rounds finding no changed note.
struct TickTimes {
    Sample writing;
    Sample empty;
};

TickTimes TimeSaveTicks(HWND mainWindow, Paper& note) {
    std::vector<double> writing;
    std::vector<double> empty;
    for (int run = 0; run < TICK_RUNS; ++run) {
        Stroke(note.GetWindow(), run);
        Round round = RunSaveRound(mainWindow, nullptr, 0);
        if (!round.closed) PrintNote("a round of saves did not end in time");
        writing.insert(writing.end(), round.writingTicks.begin(), round.writingTicks.end());
        empty.insert(empty.end(), round.emptyTicks.begin(), round.emptyTicks.end());
    }
    return {SampleOf(writing), SampleOf(empty)};
}

// Paper::Save of a note as the save timer calls it, right after a stroke.
Sample TimeSave(Paper& note) {
    return MeasureOurs([&] { note.Save(CurrentPaperDataFolder().c_str()); }, 9,
                       [&] { Stroke(note.GetWindow(), 3); });
}

// The note in the last slot, made 1000 × 800 and written once; null when
// there is none.
Paper* PrepareChangedNote(HWND mainWindow) {
    Paper* note = GetPaper(LAST_SLOT);
    if (!note || !note->GetWindow()) return nullptr;
    if (note->GetBodyWidth() != CHANGED_WIDTH || note->GetBodyHeight() != CHANGED_HEIGHT) {
        note->Resize(CHANGED_WIDTH, CHANGED_HEIGHT);
        RunSaveRound(mainWindow, nullptr, 0);
    }
    return note;
}

std::string Milliseconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", value);
    return text;
}

void PrintTickRow(const std::string& notes, const TickTimes& ticks, const Sample& saveAlone) {
    Row row{"one save tick (timer message to return), changed 1000 × 800 note in the last slot, " +
            notes};
    row.ours = ticks.writing;
    row.limit = saveAlone;
    row.limitWhat = "Paper::Save of that note alone, right after a stroke";
    row.target = "<= 25";
    row.note = "a tick that finds no changed note among " + notes + ": " +
               Milliseconds(ticks.empty.medianMs);
    PrintRow(row);
}

// Posts a pen press (button down and up) on one note each time the main loop
// says a save tick is starting, from a thread of its own, as a person's input
// arrives while the program is busy.
struct PressPoster {
    HWND note = nullptr;
    HANDLE tickStarting = nullptr;
    std::atomic<int> count{0};
    std::vector<double> postedAt;
};

DWORD WINAPI PostPresses(LPVOID parameter) {
    PressPoster& poster = *static_cast<PressPoster*>(parameter);
    while (static_cast<int>(poster.postedAt.size()) < poster.count.load() &&
           WaitForSingleObject(poster.tickStarting, static_cast<DWORD>(ROUND_TIMEOUT_MS)) ==
               WAIT_OBJECT_0) {
        // Woken to end: the round is over.
        if (poster.count.load() == 0) break;
        const LPARAM point = MAKELPARAM(100 + 50 * poster.postedAt.size(), 400);
        poster.postedAt.push_back(NowMs());
        PostMessageA(poster.note, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(poster.note, WM_LBUTTONUP, 0, point);
    }
    return 0;
}
static_assert(std::is_same_v<decltype(&PostPresses), LPTHREAD_START_ROUTINE>,
              "a thread routine with its calling convention");

// Eight new 1000 × 800 notes, each changed by a stroke; while their round of
// saves runs, a press on the first note is posted as each writing tick starts.
void MeasurePressesDuringSaves(HWND mainWindow) {
    const int first = FindFreeSlot();
    for (int made = 0; made < PRESSED_ROUND_NOTES; ++made) NewPaper(mainWindow, true);
    DrainMessages();
    for (int slot = first; slot < first + PRESSED_ROUND_NOTES; ++slot) {
        if (GetPaper(slot) && GetPaper(slot)->GetWindow())
            Stroke(GetPaper(slot)->GetWindow(), slot);
    }
    if (!GetPaper(first) || ChangedPapers() != PRESSED_ROUND_NOTES) {
        PrintNote("could not make the changed notes the pen presses run into");
        return;
    }
    PressPoster poster;
    poster.note = GetPaper(first)->GetWindow();
    poster.count = PRESSED_ROUND_NOTES;
    FileHandle tickStarting(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    poster.tickStarting = tickStarting.Get();
    FileHandle thread(CreateThread(nullptr, 0, PostPresses, &poster, 0, nullptr));
    int asked = 0;
    Round round = RunSaveRound(mainWindow, poster.note, PRESSED_ROUND_NOTES, [&] {
        if (asked < PRESSED_ROUND_NOTES && SetEvent(poster.tickStarting)) ++asked;
    });
    // Unblocks a poster still waiting when the round ended early.
    poster.count = 0;
    SetEvent(poster.tickStarting);
    WaitForSingleObject(thread.Get(), INFINITE);

    // Press k was posted during hooked tick k; what it waited beyond the end
    // of that tick is the loop's own bookkeeping, or a second save.
    std::vector<double> waits;
    double beyondItsTick = 0;
    const size_t matched =
        std::min({poster.postedAt.size(), round.pressesTaken.size(), round.hookedTickEnds.size()});
    for (size_t press = 0; press < matched; ++press) {
        waits.push_back(round.pressesTaken[press] - poster.postedAt[press]);
        beyondItsTick =
            std::max(beyondItsTick, round.pressesTaken[press] - round.hookedTickEnds[press]);
    }
    const int posted = static_cast<int>(poster.postedAt.size());
    const int handled = std::min(static_cast<int>(round.pressesTaken.size()), round.releases);
    Row row{"pen press posted as a save tick starts, " + std::to_string(PRESSED_ROUND_NOTES) +
            " changed 1000 × 800 notes: longest wait until handled (" + std::to_string(handled) +
            " of " + std::to_string(posted) + " presses handled)"};
    row.ours.runs = static_cast<int>(waits.size());
    if (!waits.empty()) row.ours.medianMs = *std::max_element(waits.begin(), waits.end());
    row.limit.runs = static_cast<int>(round.writingTicks.size());
    if (!round.writingTicks.empty()) {
        row.limit.medianMs =
            *std::max_element(round.writingTicks.begin(), round.writingTicks.end());
    }
    row.limitWhat = "the longest save tick of that round (one save)";
    row.target = "<= one save tick; all handled";
    row.note = "waits median " + Milliseconds(SampleOf(waits).medianMs) +
               ", save ticks of that round median " +
               Milliseconds(SampleOf(round.writingTicks).medianMs) +
               "; each press handled at most " + Milliseconds(beyondItsTick) +
               " after the end of the save it arrived during" +
               (round.closed ? "" : "; the round did not end in time");
    PrintRow(row);
}

}  // namespace

void RunSavingBenchmarks() {
    ScratchFolder home("saving");
    ScratchFolder data("saving-data");
    if (!PrepareStoredNotes(data.Path(), MaxPapers, 200, 200)) {
        PrintNote("could not prepare the stored notes");
    }
    TickTimes amongAll;
    Sample saveAmongAll;
    {
        // 255 notes of 200 × 200, the last one made 1000 × 800.
        Session session(home, data);
        Paper* note = PrepareChangedNote(session.Window());
        if (!note) {
            PrintNote("the stored notes were not restored");
            return;
        }
        amongAll = TimeSaveTicks(session.Window(), *note);
        saveAmongAll = TimeSave(*note);
    }
    // The same with that note alone.
    for (int number = 0; number < LAST_SLOT; ++number) {
        DeleteFileA(DataFilePath(data.Path(), number, "dat").c_str());
        DeleteFileA(DataFilePath(data.Path(), number, "bmp").c_str());
    }
    Session session(home, data);
    Paper* note = PrepareChangedNote(session.Window());
    if (!note) {
        PrintNote("the stored note was not restored");
        return;
    }
    const TickTimes alone = TimeSaveTicks(session.Window(), *note);

    Row row{"Paper::Save of one changed 1000 × 800 note into the data folder"};
    row.ours = TimeSave(*note);
    std::vector<uint8_t> bytes;
    HDC screen = GetDC(nullptr);
    const RECT& area = note->GetDrawArea();
    row.limit = Measure(
        [&] {
            PlainSaveBmp(screen, note->GetPicture()->GetDeviceContext(), area.left, area.top,
                         CHANGED_WIDTH, CHANGED_HEIGHT, bytes, home.Path() + "plain.bin");
        },
        9, 9, 0);
    ReleaseDC(nullptr, screen);
    row.limitWhat = "BitBlt + GetDIBits + one file write";
    row.target = "<= 20";
    row.note =
        "with 255 notes (510 files in the data folder): " + Milliseconds(saveAmongAll.medianMs);
    PrintRow(row);
    PrintTickRow("255 notes", amongAll, saveAmongAll);
    PrintTickRow("1 note", alone, row.ours);
    MeasurePressesDuringSaves(session.Window());
}

}  // namespace bench
