#!/bin/bash
# The runtime installer run as the program runs it, then the program started
# with no runtime setting at all: it must find the runtime the installer put
# into the user's data folder through the user's registry store, and the
# demo page must run its checks to the end. The machine store is pointed at
# a file that does not exist, so a runtime installed on this machine cannot
# stand in for the one under test.
#   InstallGuiTest.sh <vellumview> <runtime installer> <demo folder> <SendCloseRequest>
set -u
program=$1
installer=$2
demo=$3
closer=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trace=$work/trace.txt
: > "$trace"

fail() {
  echo "FAIL: $*" >&2
  echo "--- trace" >&2; cat "$trace" >&2
  echo "--- stderr" >&2; cat "$work/err.txt" >&2 2>/dev/null
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

unset WEBVIEW2_BROWSER_EXECUTABLE_FOLDER WEBVIEW2_RELEASE_CHANNELS WEBVIEW2_CHANNEL_SEARCH_KIND \
  WEBVIEW2_RELEASE_CHANNEL_PREFERENCE VELLUMVIEW_USER_REGISTRY
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export VELLUMVIEW_MACHINE_REGISTRY=$work/no-machine-store.reg
mkdir -p "$HOME"

# Root installs machine-wide by default; /user keeps the test in its folder.
scope=()
[ "$(id -u)" = 0 ] && scope=(/user)
"$installer" /silent /install "${scope[@]}" > "$work/install-out.txt" 2> "$work/install-err.txt" \
  || fail "installer failed: $(cat "$work/install-err.txt")"
[ -s "$work/install-err.txt" ] && fail "installer wrote to stderr: $(cat "$work/install-err.txt")"
library=$(ls "$XDG_DATA_HOME"/vellumview/runtime/*/EBWebView/*/libEmbeddedBrowserWebView.so 2>/dev/null | head -1)
[ -n "$library" ] || fail "no runtime library below $XDG_DATA_HOME/vellumview/runtime"
grep -q '"EBWebView"=' "$XDG_CONFIG_HOME/vellumview/registry.reg" || fail "no registration in the user store"

cp -r "$demo" "$work/app" || exit 2
cd "$work/app" || exit 2
VELLUMVIEW_TRACE=$trace "$program" > "$work/out.txt" 2> "$work/err.txt" &
pid=$!

# The limit only keeps a broken program from hanging the test; nothing is timed.
for _ in $(seq 1 900); do
  grep -q -E '^request file://[^ ]*/results/(all-ok|some-failed)\.json ' "$trace" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before the page finished its checks"
  sleep 0.1
done
grep -q -E '^request file://[^ ]*/results/(all-ok|some-failed)\.json ' "$trace" \
  || fail "the page did not finish its checks (was the runtime found?)"
grep -q -E '^request file://[^ ]*/results/all-ok\.json ' "$trace" || fail "the page's checks did not all pass"
grep -q -F "$library" "/proc/$pid/maps" || fail "the program did not load the installed runtime $library"

frame=$(xdotool search --onlyvisible --name '^Vellumview demo$' | head -1)
[ -n "$frame" ] || fail "no window named 'Vellumview demo'"
"$closer" "$frame" || fail "close request not sent"
wait "$pid"
echo "install: the program found the runtime installed in $library and ran the demo"
