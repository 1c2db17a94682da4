#!/bin/bash
# Page full screen under Xvfb: a click on the page asks for full screen
# (requestFullscreen needs a user gesture), the frame must then cover the
# monitor exactly, and leaving (a second click runs exitFullscreen, or Esc)
# must give back the rectangle it had.
#   FullScreenGuiTest.sh <scenario> <vellumview> <runtime folder>
# Scenarios: "nowm" (no window manager), "openbox" (leaving by script and by
# Esc), "maximized" (openbox, entered from a maximised frame), "twomonitors"
# (no window manager, the frame on the second of two monitors; run by
# TwoMonitors.sh, which provides them).
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=$1
program=$2
runtime=$3

. "$here/../support/GuiTestSupport.sh"
gui_setup
on_exit() { [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null; }

# The frame's client area on the screen: "x y width height".
geometry() {
  xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# Waits until the frame has the geometry; the window system applies a
# change a moment after the program asked for it.
wait_geometry() {
  for _ in $(seq 1 100); do [ "$(geometry)" = "$1" ] && return 0; sleep 0.1; done
  fail "frame at '$(geometry)', expected '$1' ($2)"
}

monitor="0 0 1280 800"
[ "$scenario" = twomonitors ] && monitor="1280 0 1024 768"
if [ "$scenario" = openbox ] || [ "$scenario" = maximized ]; then
  openbox > "$work/wm.txt" 2>&1 &
  wm=$!
  for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
fi

cat > index.html <<'PAGE'
<!doctype html><html><head><style>html, body, button { margin: 0; width: 100%; height: 100%; }</style></head>
<body><button id="toggle">full screen</button>
<script>
document.getElementById("toggle").addEventListener("click", () => {
  if (document.fullscreenElement) document.exitFullscreen(); else document.documentElement.requestFullscreen();
});
</script></body></html>
PAGE
echo '{"title": "Full screen test", "startPage": "index.html", "browserID": "fullscreen"}' > settings.json
start_program
wait_for "^event load-finished file://$work/index.html" "$events"
frame=$(window_named 'Full screen test') || fail "no frame"

# A click in the middle of the page (below the toolbar), a user gesture.
click() { xdotool mousemove --window "$frame" 300 300 click 1; }

# Enters, checks the frame covers the monitor, leaves by `way`, checks the
# frame is back at `back`.
round() {
  local way=$1 back=$2 e l
  e=$(count '^event fullscreen-changed - value=1' "$events"); l=$(count '^event fullscreen-changed - value=0' "$events")
  click
  wait_for_more '^event fullscreen-changed - value=1' "$e" "$events"
  wait_geometry "$monitor" "covering the monitor"
  if [ "$way" = escape ]; then
    xdotool windowfocus --sync "$frame" 2>/dev/null
    xdotool key Escape
  else
    click
  fi
  wait_for_more '^event fullscreen-changed - value=0' "$l" "$events"
  wait_geometry "$back" "back after leaving by $way"
}

# The window menu's items by their mnemonics: x maximises, r restores. A
# right click on the toolbar opens it (openbox keeps Alt+Space for its own).
window_menu() {
  local shown
  shown=$(count '^window-menu-shown')
  xdotool mousemove --window "$frame" 300 10 click 3
  wait_for_more '^window-menu-shown' "$shown"
  xdotool key "$1"
}

if [ "$scenario" = twomonitors ]; then
  xdotool windowmove "$frame" 1400 100
  for _ in $(seq 1 100); do [ "$(geometry | cut -d' ' -f1)" = 1400 ] && break; sleep 0.1; done
fi
normal=$(geometry)
[ "$normal" != "$monitor" ] || fail "the frame starts covering the monitor"
case $scenario in
  nowm | twomonitors)
    round script "$normal"
    round escape "$normal"
    ;;
  openbox)
    round script "$normal"
    round escape "$normal"
    ;;
  maximized)
    window_menu x
    wait_for '^maximized$'
    maximized=$(geometry)
    [ "$maximized" != "$normal" ] && [ "$maximized" != "$monitor" ] || fail "maximised frame at '$maximized'"
    round script "$maximized"
    # Restored before its rectangle was saved, maximised again after.
    grep -q '^unmaximized$' "$trace" || fail "the frame was not restored before entering (or timed out)"
    [ "$(count '^maximized$')" = 2 ] || fail "the frame was not maximised again"
    # What was saved is the normal rectangle: restoring now brings it back.
    window_menu r
    wait_geometry "$normal" "restored after leaving full screen"
    ;;
  *)
    echo "unknown scenario $scenario" >&2
    exit 2
    ;;
esac
kill -0 "$pid" || fail "program ended"
[ "$(count '^messagebox-shown')" = 0 ] || fail "a message box was shown"
stop_program
echo "PASS ($scenario)"
