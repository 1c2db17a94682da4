#!/bin/bash
# The real program under Xvfb, seen from outside: its caption, its toolbar,
# the window menu and the About box, closing, and the start-up failures.
#   ShellGuiTest.sh <scenario> <vellumview> <runtime folder> <SendCloseRequest>
# The program writes what it shows to the file named by
# VELLUMVIEW_WINDOW_TRACE; the test waits for lines there. Set SHOT_DIR to
# keep screenshots of the About scenario.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/GuiTestSupport.sh"
gui_setup_scenario "$@"

page() { echo '<!doctype html><html><body><h1>Shell test page</h1></body></html>' > index.html; }

case $scenario in
  toolbar)
    page
    echo '{"title": "Shell GUI toolbar", "startPage": "index.html", "browserID": "guitest"}' > settings.json
    start_program
    wait_for "^window-shown Shell GUI toolbar$"
    frame=$(window_named "Shell GUI toolbar") || fail "no window named 'Shell GUI toolbar'"
    [ "$(count '^toolbar buttons=3 ')" = 1 ] || fail "toolbar missing"
    xprop -id "$frame" WM_CLASS | grep -q '"QuillBrowser.guitest"' || fail "window class"
    # The close box: the frame goes without asking anything.
    "$closer" "$frame" || fail "close request not sent"
    finish 1
    [ "$(count '^messagebox-shown')" = 0 ] || fail "a message box was shown"
    ;;
  notoolbar)
    page
    echo '{"startPage": "index.html", "toolBar": 1}' > settings.json
    start_program
    wait_for "^window-shown Vellumview04$"
    frame=$(window_named "Vellumview04") || fail "no window named 'Vellumview04'"
    [ "$(count '^toolbar')" = 0 ] || fail "toolbar shown although switched off"
    grep -q '^application-id QuillBrowser\.$' "$trace" || fail "application id with empty browserID"
    # Alt+Space opens the window menu; its Close item ends the program.
    xdotool windowfocus --sync "$frame"
    xdotool key alt+space
    wait_for "^window-menu-shown items=6$"
    xdotool key c
    finish 1
    ;;
  secondstart)
    # A second start of the same application hands over to the first: one
    # window, brought back from the task bar; no message; the second process
    # ends by itself with 0.
    openbox > "$work/wm.txt" 2>&1 &
    wm=$!
    on_exit() { kill "$wm" 2>/dev/null; }
    for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
    page
    echo '{"title": "Shell GUI second", "startPage": "index.html", "browserID": "guitest"}' > settings.json
    start_program
    wait_for "^window-shown Shell GUI second$"
    frame=$(window_named "Shell GUI second") || fail "no window named 'Shell GUI second'"
    xdotool windowminimize --sync "$frame"
    first=$pid
    env ${runtime:+WEBVIEW2_BROWSER_EXECUTABLE_FOLDER=$runtime} VELLUMVIEW_WINDOW_TRACE="$work/trace2.txt" \
      "$program" > "$work/out2.txt" 2> "$work/err2.txt" &
    pid=$!
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the second start is still running after 5 s"
    finish 0
    pid=$first
    [ -s "$work/trace2.txt" ] && grep -q "shown" "$work/trace2.txt" && fail "the second start showed something: $(cat "$work/trace2.txt")"
    for _ in $(seq 1 50); do [ "$(xdotool getactivewindow 2>/dev/null)" = "$frame" ] && break; sleep 0.1; done
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$frame" ] || fail "the first window was not brought to the front"
    xprop -id "$frame" _NET_WM_STATE | grep -q HIDDEN && fail "the first window stays minimised"
    [ "$(xdotool search --onlyvisible --name '^Shell GUI second$' | wc -l)" = 1 ] || fail "more than one window"
    "$closer" "$frame" || fail "close request not sent"
    finish 1
    [ "$(count '^messagebox-shown')" = 0 ] || fail "a message box was shown"
    ;;
  about)
    page
    echo '{"title": "Shell GUI about", "startPage": "index.html"}' > settings.json
    start_program
    wait_for "^window-shown Shell GUI about$"
    frame=$(window_named "Shell GUI about") || fail "no window named 'Shell GUI about'"
    for way in Return Escape closebox; do
      shown=$(count '^dialog-shown About$')
      xdotool windowfocus --sync "$frame"
      xdotool key alt+space
      wait_for "^window-menu-shown"
      xdotool key a
      wait_for_more '^dialog-shown About$' "$shown"
      about=$(window_named "About") || fail "no window named 'About'"
      if [ "$way" = Return ] && [ -n "${SHOT_DIR:-}" ]; then
        sleep 1
        import -window root "$SHOT_DIR/shell-about.png"
      fi
      hidden=$(count '^dialog-hidden About$')
      if [ "$way" = closebox ]; then
        "$closer" "$about" || fail "close request not sent"
      else
        xdotool windowfocus --sync "$about"
        xdotool key "$way"
      fi
      wait_for_more '^dialog-hidden About$' "$hidden"
    done
    # A right click on the toolbar opens the same window menu.
    menus=$(count '^window-menu-shown')
    xdotool mousemove --window "$frame" 300 10 click 3
    wait_for_more '^window-menu-shown' "$menus"
    xdotool key Escape
    kill -0 "$pid" || fail "program ended early"
    "$closer" "$frame"
    finish 1
    ;;
  overflow)
    page
    echo '{"title": "Shell GUI overflow", "startPage": "index.html"}' > settings.json
    start_program
    wait_for "^window-shown Shell GUI overflow$"
    frame=$(window_named "Shell GUI overflow") || fail "no window named 'Shell GUI overflow'"
    # A click on a button sends its command.
    xdotool mousemove --window "$frame" 18 20 click 1
    wait_for "^toolbar-command 58000$"
    # Too narrow for three buttons: the overflow arrow offers the rest, and
    # choosing Reload there runs the same command.
    xdotool windowsize "$frame" 100 300
    wait_for "^client-size 100x300$"
    # The overflow menu is a window of its own. The arrow appears once the
    # toolbar has been laid out again, so the click is repeated until the
    # menu is up.
    menu_open() { [ "$(xdotool search --onlyvisible --class "." | wc -l)" -ge 2 ]; }
    for _ in $(seq 1 30); do
      xdotool mousemove --window "$frame" 88 20 click 1
      for _ in $(seq 1 20); do menu_open && break; sleep 0.1; done
      menu_open && break
    done
    menu_open || fail "overflow menu did not open"
    xdotool key Down Down Return
    wait_for "^toolbar-command 58002$"
    [ "$(count '^toolbar-command 58001$')" = 0 ] || fail "Forward ran although Reload was chosen"
    "$closer" "$frame"
    finish 1
    ;;
  hugetitle)
    # A caption of many megabytes reaches the window cut to what the window
    # system takes, at a whole character; the program keeps running.
    page
    { printf '{"startPage": "index.html", "title": "'; yes '設定' | head -n 3000000 | tr -d '\n'; printf '"}'; } > settings.json
    start_program
    wait_for "^window-shown 設定"
    caption=$(grep -m1 '^caption ' "$trace" | cut -c9-)
    [ "${#caption}" -gt 1000 ] || fail "caption cut too short"
    [ "$(printf '%s' "$caption" | wc -c)" -le 4096 ] || fail "caption longer than 4096 bytes"
    printf '%s' "$caption" | iconv -f UTF-8 -t UTF-8 > /dev/null || fail "caption cut inside a character"
    frame=$(xdotool search --onlyvisible --pid "$pid" | head -1)
    [ -n "$frame" ] || fail "no frame"
    kill -0 "$pid" || fail "program ended"
    "$closer" "$frame"
    finish 1
    ;;
  nosettings)
    start_program
    wait_for "^messagebox-shown 設定ファイルを読み込めません : 0x80070002$"
    grep -q '^vellumview: 設定ファイルを読み込めません : 0x80070002$' "$work/err.txt" || fail "no line on stderr"
    confirm_message_box
    finish 0
    [ "$(count '^window-shown')" = 0 ] || fail "a window was shown"
    ;;
  nodisplay)
    page
    echo '{}' > settings.json
    start_program -u DISPLAY -u WAYLAND_DISPLAY
    finish 0
    grep -q 'cannot open a display' "$work/err.txt" || fail "no explanation on stderr"
    ;;
  *)
    echo "unknown scenario $scenario" >&2
    exit 2
    ;;
esac
echo "PASS ($scenario)"
