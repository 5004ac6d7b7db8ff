#!/bin/bash
# Runs a command on a private virtual display (Xvfb, 1920x1080, with a compositor so
# that layered-window alpha shows), then tears the display down. The exit code is the
# command's.
set -uo pipefail

n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"

Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${xcompmgr_pid:-}" ] && kill "$xcompmgr_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "virtual-display: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
xcompmgr >/dev/null 2>&1 &
xcompmgr_pid=$!

"$@"
