#!/bin/bash
# A web application of module scripts in the real program: main.mjs imports
# mod.mjs, so the page runs only if both are served as JavaScript. The page
# fetches a file of each kind and logs the types it read with console.error,
# then throws an exception nobody catches and rejects a promise nobody
# handles. Checked: the types in the trace (the program's six rows
# unchanged, the system's types for the rest, none for an unknown name), the
# console lines on standard error with their file:// address and line, one
# trace line per uncaught error; F12 opens the inspector only with
# VELLUMVIEW_INSPECTOR=1, and the console is quiet without the debug output.
#   PageTypesAndConsoleGuiTest.sh <vellumview> <runtime folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=types-and-console
program=$1
runtime=$2

. "$here/../support/GuiTestSupport.sh"
gui_setup
mkdir -p "$work/app/results" && cd "$work/app" || exit 2
echo '{"title": "Typed", "startPage": "index.html", "browserID": "typed", "toolBar": 0}' > settings.json
echo '<!doctype html><meta charset="utf-8"><title>t</title><script type="module" src="main.mjs"></script>' > index.html
names='a.png f.woff2 t.txt v.webm x.unknownext d.json s.css w.wasm i.svg p.js'
for name in $names; do echo "$name" > "$name"; done
cat > main.mjs <<'JS'
import { finish } from './mod.mjs';
const names = '__NAMES__'.split(' ');
const types = await Promise.all(names.map(async (n) => (await fetch(n)).headers.get('content-type')));
console.error('types-seen ' + names.map((n, i) => n + '=' + types[i]).join(' '));
finish();
JS
sed -i "s/__NAMES__/$names/" main.mjs
cat > mod.mjs <<'JS'
export function finish() {
  setTimeout(() => { throw new Error('thrown-by-mod'); });
  setTimeout(() => Promise.reject(new Error('rejected-by-mod')));
  setTimeout(() => fetch('results/done.json'));
}
JS

run() {  # <environment...>: a fresh run that has finished the page, then F12
  : > "$events"; : > "$work/err.txt"
  start_program "$@"
  wait_for '^request file://[^ ]*/results/done\.json ' "$events"
  window=$(window_named Typed) || fail "no window named Typed"
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  xdotool key --window "$window" F12
}

isolation='Cross-Origin-Embedder-Policy:\srequire-corp\nCross-Origin-Opener-Policy:\ssame-origin\nCross-Origin-Resource-Policy:\scross-origin\n'
expect_type() {  # <file> <content type, or "none">
  local line want=
  line=$(grep -E "^request file://$work/app/$1 " "$events" | head -1)
  [ -n "$line" ] || fail "$1 was never requested"
  [ "$2" = none ] || want="Content-Type:\\s$2\\n"
  [[ $line == *" status=200 "*" headers=$isolation$want" ]] || fail "$1: expected type $2: $line"
}

run VELLUMVIEW_DEBUG_OUTPUT=1
for row in index.html:text/html p.js:text/javascript d.json:application/json s.css:text/css w.wasm:application/wasm \
  i.svg:image/svg+xml main.mjs:text/javascript mod.mjs:text/javascript a.png:image/png f.woff2:font/woff2 \
  t.txt:text/plain v.webm:video/webm x.unknownext:none; do
  expect_type "${row%%:*}" "${row#*:}"
done
grep -q -F "a.png=image/png f.woff2=font/woff2 t.txt=text/plain v.webm=video/webm x.unknownext=null" "$work/err.txt" ||
  fail "the page did not read the types"
grep -q -E "^page console\.error file://$work/app/main\.mjs:4: types-seen " "$work/err.txt" ||
  fail "console.error not on standard error with its address and line"
grep -q -E "^page uncaught error file://$work/app/mod\.mjs:2: .*thrown-by-mod" "$work/err.txt" ||
  fail "the uncaught exception not on standard error with its address and line"
# The engine names no script for a rejection nobody handled.
grep -q -E "^page uncaught error -: .*rejected-by-mod" "$work/err.txt" || fail "the unhandled rejection not on standard error"
[ "$(count '^event page-error ' "$events")" = 2 ] || fail "not one page-error line per uncaught error in the trace"
grep -q -E "^event page-error file://$work/app/mod\.mjs line=2 message=.*thrown-by-mod" "$events" ||
  fail "page-error line without address, line or message"
stop_program
[ "$(count '^event inspector-shown ' "$events")" = 0 ] || fail "F12 opened the inspector without VELLUMVIEW_INSPECTOR=1"

# Without the debug output the console stays quiet; the trace still gets the errors.
run VELLUMVIEW_INSPECTOR=1
wait_for '^event inspector-shown file://' "$events"
[ "$(count '^event page-error ' "$events")" = 2 ] || fail "uncaught errors not traced without the debug output"
[ "$(count '^page ' "$work/err.txt")" = 0 ] || fail "console lines on standard error without VELLUMVIEW_DEBUG_OUTPUT=1"
[ -n "${SHOT_DIR:-}" ] && sleep 8 && import -window root "$SHOT_DIR/inspector.png"
stop_program
echo "types-and-console: all checks passed"
