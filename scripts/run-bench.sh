#!/bin/bash
# Builds the benchmarks and runs them under Wine on a private virtual display,
# then prints one table (Markdown) of medians measured in this one run:
# canvas and note operations on the per-pixel reference, on our path and as the
# plain platform transfer of the same pixels; the bare-window floor; saving as
# you go in the real main window; memory with 255 notes; and the real
# program's start, idle writes and exit with 255 stored notes.
# BENCH_OUTPUT=FILE also writes the table there.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

. "$root/scripts/wine-session.sh"

# The build this machine can run: the shipped 32-bit one, or else the 64-bit
# build of the same sources.
bench_build=$INKSLIP_RUN_BUILD_DIR
BUILD_DIR=$bench_build ARCH=$INKSLIP_TEST_ARCH "$root/scripts/build.sh" --target inkslip inkslip_bench || exit 1

trap wine_session_stop EXIT
trap 'exit 130' INT TERM
wine_template_prefix "$bench_build/wine-template" || exit 1
wine_session_start "$bench_build/wine-template" || exit 1

results=$WINE_SESSION_DIR/results.tsv
errors=$WINE_SESSION_DIR/errors.log
: >"$results"
bench_exe=$bench_build/bench/inkslip_bench.exe

# Output goes to files, never pipes: Wine helpers may hold a pipe open.
run_bench() {
    echo "run-bench: $*" >&2
    timeout 600 "$INKSLIP_WINE" "$bench_exe" "$@" >>"$results" 2>>"$errors"
    local status=$?
    [ $status -eq 0 ] || echo "run-bench: '$*' ended with $status (see the table for what is missing)" >&2
}

started=$(date +%s)
run_bench canvas
run_bench paper
run_bench saving
run_bench memory
run_bench windows

# The real program from outside, from a copy in the prefix with its own data
# folder: once with no notes (its own idle memory), once with 255 stored notes.
app_dir=$WINEPREFIX/drive_c/inkslip-bench
rm -rf "$app_dir"
mkdir -p "$app_dir/data"
cp "$bench_build/inkslip.exe" "$app_dir/inkslip.exe"
run_bench program 'C:\inkslip-bench\inkslip.exe' 0 60000
run_bench prepare 'C:\inkslip-bench\data' 255
# Three starts, each watched for 10 s of idleness, and exits; each start
# restores what the one before saved.
for run in 1 2 3; do
    rm -f "$app_dir/inkslip.ini"
    run_bench program 'C:\inkslip-bench\inkslip.exe' 255 120000 10000
done
saved=$(ls "$app_dir/data" | grep -c '^[0-9]*\.bmp$')
echo -e "VALUE\tprogram_255_saved_bmp_files\t$saved\tfiles" >>"$results"
finished=$(date +%s)

machine="$(nproc) cores, $("$INKSLIP_WINE" --version 2>/dev/null || echo Wine), $INKSLIP_TEST_ARCH build under $( [ "$INKSLIP_TEST_ARCH" = i686 ] && echo 32-bit || echo 64-bit ) Wine, Xvfb 1024×768×24"
table=$WINE_SESSION_DIR/table.md
iconv -f CP932 -t UTF-8 <"$results" | tr -d '\r' | awk -F'\t' -v machine="$machine" -v seconds=$((finished - started)) '
function ms(value) {
    if (value == "-" || value == "" || value < 0) return "–"
    if (value >= 100) return sprintf("%.0f", value)
    if (value >= 10) return sprintf("%.1f", value)
    return sprintf("%.2f", value)
}
function ratio(a, b) {
    if (a == "-" || b == "-" || a == "" || b == "" || a <= 0 || b <= 0) return "–"
    return sprintf("%.1f×", a / b)
}
$1 == "ROW" {
    gsub("<=", "≤", $10)
    rows[++n] = sprintf("| %s | %s | %s | %s | %s | %s | %s | %s |", $2, ms($3), ms($5), ratio($3, $5),
                        ms($7), ratio($5, $7), $9, $10)
    if ($11 != "") notes[++m] = $2 ": " $11
}
# A figure given by several runs is their median (and, where asked, the most).
$1 == "VALUE" {
    seen[$2] = seen[$2] + 1; runs[$2, seen[$2]] = $3 + 0
    if (!($2 in most) || $3 + 0 > most[$2]) most[$2] = $3 + 0
}
$1 == "NOTE" { notes[++m] = $2 }
END {
    for (key in seen) {
        count = seen[key]
        for (i = 1; i <= count; ++i) sorted[i] = runs[key, i]
        for (i = 2; i <= count; ++i)
            for (j = i; j > 1 && sorted[j - 1] > sorted[j]; --j) {
                swap = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = swap
            }
        value[key] = count % 2 ? sorted[(count + 1) / 2] : (sorted[count / 2] + sorted[count / 2 + 1]) / 2
    }
    print "Measured on: " machine "; medians of several runs in one run of `make bench` (" seconds " s)."
    print ""
    print "| operation | literal per-pixel (ms) | ours (ms) | literal ÷ ours | limit (ms) | ours ÷ limit | limit: plain transfer of the same pixels | target (ms) |"
    print "|---|---:|---:|---:|---:|---:|---|---|"
    for (i = 1; i <= n; ++i) print rows[i]
    floor = value["bare_window_floor_ms"]
    start = value["program_255_start_to_idle_ms"]
    print ""
    print "| whole program and memory | measured | target |"
    print "|---|---:|---|"
    printf "| restore of 255 notes beyond the bare windows | %s ms | ≤ 1000 ms |\n", ms(value["restore_beyond_windows_ms"])
    printf "| `inkslip.exe` start → 255 note windows shown (median of 3 starts) | %s ms | |\n", ms(value["program_255_start_to_windows_ms"])
    printf "| `inkslip.exe` start → idle message loop, 255 stored notes (median of 3 starts) | %s ms | ≤ 1.3 × floor + 1 s = %s ms |\n", ms(start), ms(floor * 1.3 + 1000)
    if ("program_255_idle_files_written" in value)
        printf "| `inkslip.exe` idle with 255 notes: data files written in 10 s (%d files watched; most of 3 starts) | %d | 0 |\n", value["program_255_idle_files_watched"], most["program_255_idle_files_written"]
    printf "| `inkslip.exe` exit (255 notes saved: %d BMP files; median of 3) | %s ms | |\n", value["program_255_saved_bmp_files"], ms(value["program_255_exit_ms"])
    printf "| `inkslip.exe` start → idle, no notes | %s ms | |\n", ms(value["program_0_start_to_idle_ms"])
    pixels = value["memory_canvas_pixels"]
    printf "| benchmark process with %d notes open: peak working set / peak pagefile | %.1f / %.1f MiB | ≤ %.1f + 1.3 × %.1f = %.1f MiB |\n", value["memory_notes_open"], value["memory_peak_working_set"], value["memory_peak_pagefile"], value["memory_before_working_set"], pixels, value["memory_before_working_set"] + 1.3 * pixels
    if ("program_255_peak_working_set" in value)
        printf "| `inkslip.exe` with 255 notes: peak working set / peak pagefile | %.1f / %.1f MiB | ≤ %.1f + 1.3 × %.1f = %.1f MiB (idle program: %.1f / %.1f MiB) |\n", value["program_255_peak_working_set"], value["program_255_peak_pagefile"], value["program_0_peak_working_set"], pixels, value["program_0_peak_working_set"] + 1.3 * pixels, value["program_0_peak_working_set"], value["program_0_peak_pagefile"]
    if ("windows_peak_working_set" in value)
        printf "| 255 bare shown windows, no canvases (what the platform spends on windows): peak working set / peak pagefile | %.1f / %.1f MiB | (%.1f / – before the windows) |\n", value["windows_peak_working_set"], value["windows_peak_pagefile"], value["windows_before_working_set"]
    if (m > 0) { print ""; for (i = 1; i <= m; ++i) print "- " notes[i] }
}' >"$table"
cat "$table"
if [ -n "${BENCH_OUTPUT:-}" ]; then cp "$table" "$BENCH_OUTPUT"; fi
if [ -s "$errors" ]; then
    echo "" >&2
    echo "run-bench: messages from the benchmark programs:" >&2
    tail -n 20 "$errors" >&2
fi
