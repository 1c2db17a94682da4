#!/bin/bash
# Saving a copy of a file too large to copy at once, in the real program
# under Xvfb: its progress window names the file and lies over the frame,
# and a click on its Cancel button stops the copy: the file already at the
# destination keeps its content, no temporary file stays in its folder and
# no message is shown.
#   CopyCancelGuiTest.sh <vellumview> <runtime folder> <SendCloseRequest> [screenshot]
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=cancel
program=$1
runtime=$2
closer=$3
screenshot=${4:-}

. "$here/../support/GuiTestSupport.sh"
gui_setup
mkdir -p "$work/app" "$work/out"
cd "$work/app" || exit 2
# A sparse file: large to copy, nothing on the disk until it is copied.
truncate -s 40G Big.pdf
echo old > "$work/out/Big.pdf"
echo '<!doctype html><body style="margin:0"><a href="Big.pdf" style="display:block;height:300px">Big.pdf</a></body>' > index.html
echo '{"title": "Copy", "startPage": "index.html", "toolBar": 1, "saveAsExt": [{"name": "PDF", "ext": ".pdf"}]}' > settings.json
start_program
wait_for "^window-shown Copy$"
frame=$(window_named "Copy") || fail "no frame window"
wait_for "^event load-finished file://$work/app/index.html" "$events"
xdotool mousemove --window "$frame" 300 100 click 1
wait_for "^save-dialog-shown title=ファイルを保存 name=Big"
chooser=$(window_named "ファイルを保存") || fail "no Save dialog window"
xdotool windowfocus --sync "$chooser"
xdotool key ctrl+a
xdotool type --delay 20 "$work/out/Big.pdf"
xdotool key Return
# The chooser asks before it replaces the existing file; Return in its
# question (which has the keyboard focus) answers yes.
for _ in $(seq 1 100); do
  grep -q "^save-dialog-closed" "$trace" && break
  sleep 0.2
  grep -q "^save-dialog-closed" "$trace" || xdotool key Return
done
wait_for "^save-dialog-closed path=$work/out/Big.pdf$"
wait_for "^dialog-shown ファイルを保存$"
progress=
for _ in $(seq 1 100); do
  progress=$(xdotool search --onlyvisible --pid "$pid" --name "^ファイルを保存\$" 2>/dev/null | tail -1)
  [ -n "$progress" ] && break
  sleep 0.1
done
[ -n "$progress" ] || fail "no progress window"
eval "$(xdotool getwindowgeometry --shell "$frame")"
frame_x=$((X + WIDTH / 2)); frame_y=$((Y + HEIGHT / 2))
eval "$(xdotool getwindowgeometry --shell "$progress")"
dx=$((X + WIDTH / 2 - frame_x)); dy=$((Y + HEIGHT / 2 - frame_y))
[ "${dx#-}" -le 40 ] && [ "${dy#-}" -le 40 ] || fail "progress window not over the frame's middle (off by $dx,$dy)"
[ -n "$screenshot" ] && import -window root "$screenshot"
# The Cancel button is the dialog's default: Return in its window presses it.
xdotool windowfocus --sync "$progress"
xdotool key Return
wait_for "^dialog-hidden ファイルを保存$"
[ "$(cat "$work/out/Big.pdf")" = old ] || fail "the destination changed"
[ "$(ls -A "$work/out")" = Big.pdf ] || fail "files left in the destination: $(ls -A "$work/out")"
grep -q '^messagebox-shown' "$trace" && fail "a message was shown"
"$closer" "$frame" || fail "close request not sent"
finish 1
echo PASS
