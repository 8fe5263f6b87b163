#!/bin/sh
# Runs a 64-bit Windows program under 64-bit Wine (Debian's /usr/bin/wine
# prefers the 32-bit loader whenever it is installed).
export WINELOADER=/usr/lib/wine/wine64
exec "$(dirname "$0")/wine-run.sh" /usr/lib/wine/wine64 "$@"
