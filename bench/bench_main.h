// The benchmark groups, each run by its own command of inkslip_bench.exe.
#pragma once

#include <string>

namespace bench {

// Canvas operations against their reference and the plain transfer.
void RunCanvasBenchmarks();
// Note operations, the bare-window floor and 255 notes restored and saved.
void RunPaperBenchmarks();
// Saving as you go in the real main window: one changed note written, one
// save tick among 255 notes and among 1, pen presses during a round of saves.
void RunSavingBenchmarks();
// Peak memory of this process with 255 restored notes.
void RunMemoryBenchmark();
// Peak memory of this process with 255 bare shown windows and no canvases:
// what the platform spends on the windows themselves.
void RunWindowMemoryBenchmark();
// Stored notes for the real program: `count` N.dat / N.bmp pairs in `folder`.
int RunPrepare(const std::string& folder, int count);
// Starts the real program, waits for `expected` note windows and an idle
// message loop, reads its memory, then (for idleWatchMs > 0) counts the files
// of its data folder written while it stays idle that long, asks it to exit
// and waits for the end.
int RunProgramTiming(const std::string& program, int expected, int timeoutMs, int idleWatchMs);

}  // namespace bench
