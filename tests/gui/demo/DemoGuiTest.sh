#!/bin/bash
# The demo application in the real program, read through the runtime's
# request trace: every file the page loads is answered by the program with
# status 200, the three isolation headers and the right content type; a
# missing file gets 404; the page's own checks (WebAssembly streaming
# compilation, shared memory across workers, ...) report success through the
# sentinel addresses they request. Set SHOT_DIR to keep a screenshot.
#   DemoGuiTest.sh <vellumview> <runtime folder> <demo folder> <SendCloseRequest>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=demo
program=$1
runtime=$2
demo=$3
closer=$4

. "$here/../support/GuiTestSupport.sh"
gui_setup
use_app "$demo"
start_program
wait_for_demo_checks

# The trace writes a space as \s and a line feed as \n.
isolation='Cross-Origin-Embedder-Policy:\srequire-corp\nCross-Origin-Opener-Policy:\ssame-origin\nCross-Origin-Resource-Policy:\scross-origin\n'
expect_served() {  # <path under the app> <content type>
  local line
  line=$(grep -E "^request file://$work/app/$1 " "$events" | head -1)
  [ -n "$line" ] || fail "$1 was never requested"
  case $line in *" status=200 "*) ;; *) fail "$1 not answered with 200: $line" ;; esac
  case $line in *" source=program "*) ;; *) fail "$1 not answered by the program: $line" ;; esac
  [[ $line == *" headers=${isolation}Content-Type:\s$2\n" ]] || fail "$1 headers: $line"
}
expect_served index.html text/html
expect_served css/style.css text/css
expect_served js/main.js text/javascript
expect_served js/worker.js text/javascript
expect_served img/logo.svg image/svg+xml
expect_served data/info.json application/json
expect_served wasm/math.wasm application/wasm

for check in wasm cache-busting cross-origin-isolated shared-memory threads; do
  grep -q -E "^request file://[^ ]*/results/check-$check-ok\.json .*status=404 " "$events" \
    || fail "check $check did not report success with a 404 for its missing sentinel file"
done

if [ -n "${SHOT_DIR:-}" ]; then
  sleep 1
  import -window root "$SHOT_DIR/demo.png"
fi

frame=$(window_named 'Vellumview demo') || fail "no window named 'Vellumview demo'"
"$closer" "$frame" || fail "close request not sent"
finish 1
echo "demo: all checks passed, $(count ' source=program ' "$events") requests answered by the program"
