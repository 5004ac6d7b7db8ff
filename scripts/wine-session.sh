#!/bin/bash
# Runs a command with a fresh wineserver for $WINEPREFIX kept alive throughout, so each
# Windows program starts in a fraction of a second. Wine's background processes
# (services, the desktop window) are started here with their output discarded: started
# by a test instead, they would hold its output pipe open and stall the test runner.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wineserver -p300
trap 'wineserver -k 2>/dev/null; wineserver -w 2>/dev/null' EXIT
LANG=zh_CN.UTF-8 wine cmd /c exit </dev/null >/dev/null 2>&1

"$@"
