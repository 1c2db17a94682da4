#!/bin/bash
# Runs the full-screen GUI test on two monitors side by side (1280x800 and
# 1024x768 to its right): an X server with the dummy video driver, its two
# outputs laid out with xrandr. Xvfb cannot do this (its Xinerama puts every
# screen at the origin and its RandR keeps no added monitors).
#   TwoMonitors.sh <vellumview> <runtime folder>
# Exits 77 (skipped) when the server cannot be started here.
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
Xorg -displayfd 3 -config "$here/dummy-two-monitors.conf" -noreset -nolisten tcp \
  -logfile "$work/xorg.log" 3> "$work/display" > "$work/xorg.out" 2>&1 &
server=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIP: cannot start an X server with the dummy driver" >&2; cat "$work/xorg.out" >&2; exit 77; }
export DISPLAY=:$(head -1 "$work/display")
xrandr --addmode DUMMY1 1024x768 &&
  xrandr --output DUMMY0 --mode 1280x800 --pos 0x0 --output DUMMY1 --mode 1024x768 --pos 1280x0 ||
  { echo "SKIP: the outputs cannot be laid out" >&2; exit 77; }
# The new layout is read back before the program starts; a client that
# starts right after the change can still be handed the old single monitor.
for _ in $(seq 1 50); do xrandr --listmonitors | grep -q '^Monitors: 2$' && break; sleep 0.1; done
"$here/FullScreenGuiTest.sh" twomonitors "$1" "$2"
