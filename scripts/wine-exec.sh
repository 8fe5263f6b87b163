#!/bin/sh
# Runs a 32-bit Windows program under Wine and passes its exit code through.
exec wine "$@"
