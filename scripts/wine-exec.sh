#!/bin/sh
# Runs a 32-bit Windows program under Wine and passes its exit code through.
exec "$(dirname "$0")/wine-run.sh" wine "$@"
