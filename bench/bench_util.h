// Timing and reporting shared by the benchmarks. Every figure is the median of
// several runs in milliseconds; each row is printed as one tab-separated line
// that scripts/run-bench.sh turns into the table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

double NowMs();

struct Sample {
    double medianMs = -1.0;  // below 0: not measured
    int runs = 0;
};

// The median of a set of timings (not measured when there are none).
Sample SampleOf(std::vector<double> times);

// Runs `setup` (untimed) and then `body` (timed) at least minRuns and at most
// maxRuns times, stopping early once budgetMs of timed work has been spent;
// `teardown` (untimed) runs after each body.
Sample Measure(const std::function<void()>& body, int minRuns, int maxRuns, double budgetMs,
               const std::function<void()>& setup = {}, const std::function<void()>& teardown = {});

// One row of the table: the literal per-pixel path, ours, and the plain
// transfer of the same pixels that bounds what any path can do.
struct Row {
    explicit Row(std::string name) : operation(std::move(name)) {}
    std::string operation;
    Sample literal;
    Sample ours;
    Sample limit;
    std::string limitWhat;
    std::string target;
    std::string note;
};
void PrintRow(const Row& row);
// A single named figure (memory, floors, counts).
void PrintValue(const char* key, double value, const char* unit);
void PrintNote(const std::string& text);

// Times one operation both ways: `literal` on the per-pixel reference
// (ReferenceCanvas or the shared_canvas functions), `ours` on the canvases as
// the program has them.
void MeasureBothWays(Row& row, const std::function<void()>& literal,
                     const std::function<void()>& ours, int literalMaxRuns, double literalBudget,
                     int oursRuns);
// Times an operation as the program does it.
Sample MeasureOurs(const std::function<void()>& body, int runs,
                   const std::function<void()>& setup = {},
                   const std::function<void()>& teardown = {});

// The plain platform work of writing a width × height part of a picture as a
// 24-bit BMP file: a fresh bitmap, one BitBlt into it, one GetDIBits into
// `bytes` (grown as needed) and one file write.
void PlainSaveBmp(HDC screen, HDC source, int left, int top, int width, int height,
                  std::vector<uint8_t>& bytes, const std::string& path);

// Handles every message waiting for this thread's windows.
void DrainMessages();

// Deterministic pseudo-random numbers for test content.
class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int Below(int limit) { return static_cast<int>(Next() % static_cast<uint32_t>(limit)); }

private:
    uint32_t state;
};

// A folder in the temporary directory, removed with its files afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // With a trailing backslash.
    const std::string& Path() const { return path; }

private:
    std::string path;
};

// Writes `count` stored notes N.dat / N.bmp (width × height drawing areas with
// strokes on them) into a folder ending in a backslash, spread over the screen.
bool PrepareStoredNotes(const std::string& folder, int count, int width, int height);

// A visible top-level window for painting benchmarks.
HWND CreateBenchWindow(const char* className, WNDPROC procedure, int width, int height,
                       bool visible);

}  // namespace bench
