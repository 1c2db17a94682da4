#!/bin/bash
# The demo application in the real program, read through the runtime's
# request trace: every file the page loads is answered by the program with
# status 200, the three isolation headers and the right content type; a
# missing file gets 404; the page's own checks (WebAssembly streaming
# compilation, shared memory across workers, ...) report success through the
# sentinel addresses they request. Set SHOT_DIR to keep a screenshot.
#   DemoGuiTest.sh <vellumview> <runtime folder> <demo folder> <SendCloseRequest>
set -u
program=$1
runtime=$2
demo=$3
closer=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$demo" "$work/app" || exit 2
cd "$work/app" || exit 2
trace=$work/trace.txt
: > "$trace"

fail() {
  echo "FAIL: $*" >&2
  echo "--- trace" >&2; cat "$trace" >&2
  echo "--- stderr" >&2; cat "$work/err.txt" >&2 2>/dev/null
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

WEBVIEW2_BROWSER_EXECUTABLE_FOLDER=$runtime XDG_DATA_HOME=$work/data VELLUMVIEW_TRACE=$trace \
  "$program" > "$work/out.txt" 2> "$work/err.txt" &
pid=$!

# The page ends its run with one of these two sentinels. The limit only keeps
# a broken program from hanging the test; nothing is timed.
for _ in $(seq 1 900); do
  grep -q -E '^request file://[^ ]*/results/(all-ok|some-failed)\.json ' "$trace" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before the page finished its checks"
  sleep 0.1
done
grep -q -E '^request file://[^ ]*/results/all-ok\.json ' "$trace" || fail "the page's checks did not all pass: $(grep -o -E 'results/check-[a-z-]+-fail' "$trace" | sort -u | tr '\n' ' ')"

# The trace writes a space as \s and a line feed as \n.
isolation='Cross-Origin-Embedder-Policy:\srequire-corp\nCross-Origin-Opener-Policy:\ssame-origin\nCross-Origin-Resource-Policy:\scross-origin\n'
expect_served() {  # <path under the app> <content type>
  local line
  line=$(grep -E "^request file://$work/app/$1 " "$trace" | head -1)
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
  grep -q -E "^request file://[^ ]*/results/check-$check-ok\.json .*status=404 " "$trace" \
    || fail "check $check did not report success with a 404 for its missing sentinel file"
done

if [ -n "${SHOT_DIR:-}" ]; then
  sleep 1
  import -window root "$SHOT_DIR/demo.png"
fi

frame=$(xdotool search --onlyvisible --name '^Vellumview demo$' | head -1)
[ -n "$frame" ] || fail "no window named 'Vellumview demo'"
"$closer" "$frame" || fail "close request not sent"
wait "$pid"
code=$?
[ "$code" = 1 ] || fail "exit code $code after closing, expected 1"
echo "demo: all checks passed, $(grep -c ' source=program ' "$trace") requests answered by the program"
