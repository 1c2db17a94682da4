#!/bin/bash
# The program on a Wayland compositor with no seat (weston's headless
# backend, drawing with pixman): the window opens with the application id
# "QuillBrowser.<browserID>", the name of the desktop entry that the package
# and the bundling command write, and the demo's page loads and passes its
# checks. The window system's requests are read from the client's own
# protocol log (WAYLAND_DEBUG). GTK itself warns, while it opens the display
# and when a tool tip is asked for, that there is no seat; any other
# critical warning fails the test. Skipped (77) where weston cannot start.
#   WaylandGuiTest.sh <vellumview> <runtime folder> <demo folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=wayland
program=$1
runtime=$2
demo=$3

command -v weston > /dev/null || { echo "SKIP: weston is not installed (scripts/install-deps installs it)"; exit 77; }
. "$here/../support/GuiTestSupport.sh"
gui_setup
on_exit() { [ -n "${compositor:-}" ] && kill "$compositor" 2>/dev/null; }

socket=vellum-wayland-test
weston --backend=headless-backend.so --use-pixman --socket="$socket" --width=1280 --height=800 \
  --no-config > "$work/weston.txt" 2>&1 &
compositor=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
if [ ! -S "$XDG_RUNTIME_DIR/$socket" ]; then
  echo "SKIP: weston's headless backend did not start: $(tail -n 3 "$work/weston.txt")"
  exit 77
fi

use_app "$demo"
start_program -u DISPLAY GDK_BACKEND=wayland WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client
wait_for '^window-shown '
wait_for_demo_checks
grep -q 'xdg_toplevel@[0-9]*\.set_app_id("QuillBrowser\.demo")' "$work/err.txt" ||
  fail "no application id QuillBrowser.demo: $(grep -o 'set_app_id([^)]*)' "$work/err.txt" | sort -u)"
grep -q 'xdg_toplevel@[0-9]*\.configure(' "$work/err.txt" || fail "the compositor never configured the window"
criticals=$(grep 'CRITICAL' "$work/err.txt" | grep -v 'GDK_IS_SEAT (seat)\|GDK_IS_DEVICE (device)')
[ -z "$criticals" ] || fail "critical warnings: $criticals"
stop_program
echo "wayland: window, application id and the demo's page checked"
