#!/bin/bash
# Runs a Windows test program under the given Wine loader for CTest and passes
# its exit code through.
#
# Now and then Wine fails to start a program at all: the loader ends at once
# with an error code and no word on either stream. A test program always
# writes something at once (GoogleTest, unbuffered: tests/test_main.cpp), so
# a failure with no output at all is such a start and is tried once more,
# saying so. Any other failure is passed through as it is.
loader=$1
shift
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT

for attempt in 1 2; do
    started=$(date +%s%N)
    "$loader" "$@" 2>"$scratch/stderr" | tee "$scratch/stdout"
    status=${PIPESTATUS[0]}
    cat "$scratch/stderr" >&2
    if [ "$status" -eq 0 ] || [ -s "$scratch/stdout" ] || [ -s "$scratch/stderr" ]; then
        break
    fi
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    echo "wine-run: $(basename "$1") ended with code $status after $elapsed_ms ms without any output (attempt $attempt)" >&2
done
exit "$status"
