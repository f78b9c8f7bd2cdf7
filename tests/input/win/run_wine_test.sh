#!/bin/sh
# run_wine_test.sh <wine prefix dir> <program.exe>: runs a MinGW-built test
# program under Wine in a prefix of its own, inside xvfb-run (Wine's X11 driver).
set -u
WINEPREFIX="$1"
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
mkdir -p "$WINEPREFIX"
wine="$(command -v wine64 || command -v wine)"
[ -n "$wine" ] || { echo "Wine is not installed" >&2; exit 2; }
"$wine" "$2"
rc=$?
# Ends only the wineserver of this prefix (and with it its processes).
wineserver -k >/dev/null 2>&1 || true
exit $rc
