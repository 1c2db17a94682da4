#!/bin/bash
# Page full screen under Wayland, with real input: sway on its headless
# backend (a seat, no input devices), a key typed into the focused window
# through the virtual-keyboard protocol (wtype). A key press is the user
# gesture the page's full-screen request needs. The window must open with the
# application id "QuillBrowser.<browserID>", cover the output after the key
# (the compositor's own rectangle for it, and a picture of the output with
# the toolbar and the page in its corners), and get its rectangle back after
# Esc, on which WebKit leaves full screen. Skipped (77) where sway cannot
# start.
#   WaylandFullScreenGuiTest.sh <scenario> <vellumview> <runtime folder>
# VELLUM_KEEP_SHOT=<file.png> keeps the picture of the output in full screen
# (or, on a failure, as it was then) for a person to look at.
# Scenarios: "floating" (the window keeps the size it asks for, as on a
# stacking desktop), "tiled" (sway's own layout decides the size).
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=$1
program=$2
runtime=$3

for tool in sway swaymsg wtype grim python3 convert; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps installs it)"; exit 77; }
done
. "$here/../support/GuiTestSupport.sh"
gui_setup

# sway refuses to run as root (it could not drop the rights for good); run
# that way, it runs as "nobody" in a folder of its own, which the test,
# being root, still reaches.
compositor_dir=$(mktemp -d)
as_compositor=()
if [ "$(id -u)" = 0 ]; then
  chown 65534:65534 "$compositor_dir"
  as_compositor=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
on_exit() {
  [ -n "${compositor:-}" ] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null
  rm -rf "$compositor_dir"
}
on_fail() {
  [ -n "${VELLUM_KEEP_SHOT:-}" ] && on_wayland grim -o HEADLESS-1 "$VELLUM_KEEP_SHOT"
  echo "--- sway windows (app id, x y width height, full-screen mode, content size)"; sway_views
  echo "--- sway log"; tail -n 30 "$work/sway.txt"
}

cat > "$compositor_dir/config" <<CONFIG
xwayland disable
output HEADLESS-1 mode 1280x800 position 0 0 background #202020 solid_color
CONFIG
[ "$scenario" = floating ] && echo 'for_window [app_id="^QuillBrowser\."] floating enable' >> "$compositor_dir/config"
chmod 644 "$compositor_dir/config"
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$compositor_dir" XDG_RUNTIME_DIR="$compositor_dir" \
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  "${as_compositor[@]}" sway --config "$compositor_dir/config" > "$work/sway.txt" 2>&1 &
compositor=$!
socket=$compositor_dir/wayland-1
for _ in $(seq 1 100); do
  [ -S "$socket" ] && ls "$compositor_dir"/sway-ipc.*.sock > /dev/null 2>&1 && break
  kill -0 "$compositor" 2>/dev/null || break
  sleep 0.1
done
if ! [ -S "$socket" ] || ! ls "$compositor_dir"/sway-ipc.*.sock > /dev/null 2>&1; then
  echo "SKIP: sway's headless backend did not start: $(tail -n 3 "$work/sway.txt")"
  exit 77
fi
ipc=$(ls "$compositor_dir"/sway-ipc.*.sock | head -1)
sway_msg() { swaymsg -s "$ipc" "$@"; }
# Wayland clients take an absolute socket path in WAYLAND_DISPLAY.
on_wayland() { env -u DISPLAY WAYLAND_DISPLAY="$socket" "$@"; }

# The output's rectangle and the window's, "x y width height", as sway has
# them; the window's is followed by its full-screen mode and the size of
# its content, without the borders sway draws ("window_rect").
output_rect() {
  sway_msg -t get_outputs | python3 -c '
import json, sys
o = [o for o in json.load(sys.stdin) if o["name"] == "HEADLESS-1"][0]["rect"]
print(o["x"], o["y"], o["width"], o["height"])'
}
sway_views() {
  sway_msg -t get_tree | python3 -c '
import json, sys
def views(node):
    if node.get("app_id") is not None:
        yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child)
for v in views(json.load(sys.stdin)):
    r, g = v["rect"], v["window_rect"]
    print(v["app_id"], r["x"], r["y"], r["width"], r["height"], v["fullscreen_mode"], g["width"], g["height"])'
}
window_state() { sway_views | awk -v id="$1" '$1 == id { $1 = ""; print substr($0, 2) }'; }
# Waits until the window's state, as `window_state` prints it, matches the
# extended regular expression.
wait_window() {
  for _ in $(seq 1 100); do
    window_state "$app_id" | grep -q -E "^$1\$" && return 0
    sleep 0.1
  done
  fail "window at '$(window_state "$app_id")', expected '$1' ($2)"
}
# Types into the focused window until the runtime trace has one more line
# matching the pattern than `more_than`. wtype's keyboard exists only while
# it runs: the client is told about it and binds to it while wtype already
# types, so a key can come before the client listens. wtype therefore waits
# a moment before typing, and types again when the key was lost.
type_until() {
  local pattern=$1 more_than=$2
  shift 2
  for _ in $(seq 1 10); do
    on_wayland wtype -s 300 "$@" 2>> "$work/wtype.txt" || fail "wtype failed: $(cat "$work/wtype.txt")"
    for _ in $(seq 1 30); do
      [ "$(count "$pattern" "$events")" -gt "$more_than" ] && return 0
      sleep 0.1
    done
  done
  fail "the key $* never reached the page"
}
# The colour of one pixel of the output's picture.
pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }

# The page is one colour everywhere, so that a picture of the output shows
# where it is; a key asks for full screen.
cat > index.html <<'PAGE'
<!doctype html><html><head><style>html, body { margin: 0; width: 100%; height: 100%; background: #00ff00; }</style></head>
<body><script>
document.addEventListener("keydown", (e) => { if (e.key === "f") document.documentElement.requestFullscreen(); });
</script></body></html>
PAGE
echo '{"title": "Wayland full screen test", "startPage": "index.html", "browserID": "fullscreen"}' > settings.json
app_id=QuillBrowser.fullscreen
start_program -u DISPLAY GDK_BACKEND=wayland WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client
wait_for '^window-shown '
wait_for "^event load-finished file://$work/index.html" "$events"
for _ in $(seq 1 100); do [ -n "$(window_state "$app_id")" ] && break; sleep 0.1; done
[ -n "$(window_state "$app_id")" ] ||
  fail "sway has no window with the application id $app_id: $(sway_msg -t get_tree | grep -o '"app_id": "[^"]*"' | sort -u)"

read -r ox oy ow oh < <(output_rect)
read -r nx ny nw nh mode cw ch < <(window_state "$app_id")
[ "$mode" = 0 ] || fail "the window starts in full screen"
[ "$nw $nh" != "$ow $oh" ] || fail "the window starts as large as the output"
normal="$nx $ny $nw $nh 0 $cw $ch"

entered=$(count '^event fullscreen-changed - value=1' "$events")
left=$(count '^event fullscreen-changed - value=0' "$events")
type_until '^event fullscreen-changed - value=1' "$entered" f
wait_window "$ox $oy $ow $oh 1 $ow $oh" "covering the output"
# What the output shows: the frame's toolbar, which stays in full screen,
# in both top corners (neither the desktop's colour nor the page's), the
# page in both bottom corners. The compositor draws the new size a moment
# after it has it, so the picture is taken again until it does.
shot=$work/full-screen.png
corners() {
  echo "$(pixel 0 0) $(pixel $((ow - 1)) 0) $(pixel 0 $((oh - 1))) $(pixel $((ow - 1)) $((oh - 1)))"
}
covered() {
  local tl tr bl br
  read -r tl tr bl br < <(corners)
  [ "$tl" = "$tr" ] && [ "$tl" != 202020 ] && [ "$tl" != 00FF00 ] && [ "$bl/$br" = 00FF00/00FF00 ]
}
for _ in $(seq 1 50); do
  on_wayland grim -o HEADLESS-1 "$shot" 2>> "$work/grim.txt" || fail "grim took no picture: $(cat "$work/grim.txt")"
  covered && break
  sleep 0.1
done
covered || fail "the frame does not cover the output; its corners show $(corners)"
[ -n "${VELLUM_KEEP_SHOT:-}" ] && cp "$shot" "$VELLUM_KEEP_SHOT"

type_until '^event fullscreen-changed - value=0' "$left" -k Escape
wait_window "$normal" "back after Esc"

kill -0 "$pid" || fail "program ended"
[ "$(count '^messagebox-shown')" = 0 ] || fail "a message box was shown"
# With a seat GTK has no reason to warn (on weston's seatless backend it
# does, see WaylandGuiTest.sh); any critical warning here is a fault.
criticals=$(grep 'CRITICAL' "$work/err.txt")
[ -z "$criticals" ] || fail "critical warnings: $criticals"
stop_program
echo "PASS ($scenario): window, application id $app_id, full screen over the output and back"
