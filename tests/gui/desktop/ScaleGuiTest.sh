#!/bin/bash
# With GDK_SCALE=2 on a 2560x1600 screen (1280x800 in the toolkit's logical
# pixels) the first window is sized in logical pixels like on a screen of
# scale 1: three quarters of the work area, 960x600 logical, which is
# 1920x1200 on the screen, centred.
#   ScaleGuiTest.sh <vellumview> <runtime folder> <demo folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=scale
program=$1
runtime=$2
demo=$3

. "$here/../support/GuiTestSupport.sh"
gui_setup
use_app "$demo"
start_program GDK_SCALE=2
wait_for '^window-shown '
frame=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
[ -n "$frame" ] || fail "no frame window"
geometry=$(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
[ "$geometry" = "320 200 1920 1200" ] || fail "frame at '$geometry' on the screen, expected '320 200 1920 1200'"
stop_program
echo "scale: the first window is sized in logical pixels"
