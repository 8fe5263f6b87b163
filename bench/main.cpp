// inkslip_bench.exe COMMAND: canvas | paper | saving | memory | windows |
// prepare FOLDER COUNT | program EXE EXPECTED TIMEOUT_MS [IDLE_WATCH_MS].
// Output is tab-separated lines (ROW, VALUE, NOTE) that scripts/run-bench.sh
// turns into one table.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_main.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: inkslip_bench canvas | paper | saving | memory | windows |"
                     " prepare FOLDER COUNT | program EXE EXPECTED TIMEOUT_MS [IDLE_WATCH_MS]\n");
        return 2;
    }
    ResetSettings(g_settings);
    const char* command = argv[1];
    if (std::strcmp(command, "canvas") == 0) {
        bench::RunCanvasBenchmarks();
        return 0;
    }
    if (std::strcmp(command, "paper") == 0) {
        bench::RunPaperBenchmarks();
        return 0;
    }
    if (std::strcmp(command, "saving") == 0) {
        bench::RunSavingBenchmarks();
        return 0;
    }
    if (std::strcmp(command, "windows") == 0) {
        bench::RunWindowMemoryBenchmark();
        return 0;
    }
    if (std::strcmp(command, "memory") == 0) {
        bench::RunMemoryBenchmark();
        return 0;
    }
    if (std::strcmp(command, "prepare") == 0 && argc >= 4) {
        return bench::RunPrepare(argv[2], std::atoi(argv[3]));
    }
    if (std::strcmp(command, "program") == 0 && argc >= 5) {
        return bench::RunProgramTiming(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                                       argc >= 6 ? std::atoi(argv[5]) : 0);
    }
    std::fprintf(stderr, "inkslip_bench: unknown command %s\n", command);
    return 2;
}
