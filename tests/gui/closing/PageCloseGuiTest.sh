#!/bin/bash
# Closing the real program's window while its page may want to keep it.
#   stay:  a page whose beforeunload handler asks to stay; the close box
#          brings up the leave-page question, Escape (stay) keeps the window
#          and the page, and a second close asks again.
#   altf4: the same page, closed with Alt+F4.
#   plain: a page without such a handler closes at once, unasked.
#   PageCloseGuiTest.sh <scenario> <vellumview> <runtime folder> <SendCloseRequest>
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/GuiTestSupport.sh"
gui_setup_scenario "$@"
mkdir -p "$work/app"
cd "$work/app" || exit 2

handler=
[ "$scenario" != plain ] && handler="addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = ''; });"
cat > index.html <<PAGE
<!doctype html><html><body style="margin:0"><input id=t style="width:100%;height:200px;font-size:30px">
<script>$handler</script></body></html>
PAGE
echo '{"title": "Closing", "startPage": "index.html"}' > settings.json
start_program
wait_for "^window-shown Closing$"
frame=$(window_named "Closing") || fail "no frame window"
wait_for "^event load-finished file://$work/app/index.html" "$events"
# The engine asks only a page the user has used: type into it.
xdotool mousemove --window "$frame" 300 100 click 1
xdotool type --delay 20 "unsaved"

visible_named() { xdotool search --onlyvisible --name "^Closing\$" 2>/dev/null | wc -l; }

# Asks the window to close and waits for the leave-page question: a second
# visible window with the window's caption.
ask_to_close() {
  if [ "$scenario" = altf4 ]; then
    xdotool windowfocus --sync "$frame"
    xdotool key alt+F4
  else
    "$closer" "$frame" || fail "close request not sent"
  fi
  for _ in $(seq 1 300); do
    [ "$(visible_named)" -ge 2 ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the window closed without asking the page"
    sleep 0.1
  done
  fail "no leave-page question appeared"
}

# Escape answers "stay": the question goes and the window is still there.
stay() {
  xdotool key Escape
  for _ in $(seq 1 300); do
    [ "$(visible_named)" = 1 ] && break
    sleep 0.1
  done
  [ "$(visible_named)" = 1 ] || fail "the question did not go"
  kill -0 "$pid" 2>/dev/null || fail "the program ended although the page asked to stay"
}

case $scenario in
  plain)
    "$closer" "$frame" || fail "close request not sent"
    # The program ends as from any close box (with 1), and never asks.
    while kill -0 "$pid" 2>/dev/null; do
      [ "$(visible_named)" -ge 2 ] && fail "a page without a handler was asked"
      sleep 0.1
    done
    finish 1
    ;;
  stay|altf4)
    ask_to_close
    stay
    ask_to_close
    stay
    stop_program
    ;;
esac
echo "PASS ($scenario)"
