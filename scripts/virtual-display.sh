#!/bin/bash
# Runs a command on a private virtual display (Xvfb, 1920x1080, with a compositor so
# that layered-window alpha shows), then tears the display down. The exit code is the
# command's.
set -uo pipefail

# Xvfb picks a free display number itself and reports it once it accepts clients: two runs
# started at the same moment (two worktrees testing) cannot end up sharing one display.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${xcompmgr_pid:-}" ] && kill "$xcompmgr_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -f "$number_file"
}
trap cleanup EXIT

for _ in $(seq 100); do
  [ -s "$number_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "virtual-display: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$number_file" ] || { echo "virtual-display: Xvfb did not report its display" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$number_file")"
xcompmgr >/dev/null 2>&1 &
xcompmgr_pid=$!

"$@"
