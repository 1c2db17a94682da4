#!/bin/bash
# The runtime installer run as the program runs it, then the program started
# with no runtime setting at all: it must find the runtime the installer put
# into the user's data folder through the user's registry store, and the
# demo page must run its checks to the end. The machine store is pointed at
# a file that does not exist, so a runtime installed on this machine cannot
# stand in for the one under test.
#   InstallGuiTest.sh <vellumview> <runtime installer> <demo folder> <SendCloseRequest>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=install
program=$1
installer=$2
demo=$3
closer=$4

. "$here/../support/GuiTestSupport.sh"
gui_setup

# Root installs machine-wide by default; /user keeps the test in its folder.
scope=()
[ "$(id -u)" = 0 ] && scope=(/user)
"$installer" /silent /install "${scope[@]}" > "$work/install-out.txt" 2> "$work/install-err.txt" \
  || fail "installer failed: $(cat "$work/install-err.txt")"
[ -s "$work/install-err.txt" ] && fail "installer wrote to stderr: $(cat "$work/install-err.txt")"
library=$(ls "$XDG_DATA_HOME"/vellumview/runtime/*/EBWebView/*/libEmbeddedBrowserWebView.so 2>/dev/null | head -1)
[ -n "$library" ] || fail "no runtime library below $XDG_DATA_HOME/vellumview/runtime"
grep -q '"EBWebView"=' "$XDG_CONFIG_HOME/vellumview/registry.reg" || fail "no registration in the user store"

use_app "$demo"
start_program
wait_for_demo_checks
grep -q -F "$library" "/proc/$pid/maps" || fail "the program did not load the installed runtime $library"

frame=$(window_named 'Vellumview demo') || fail "no window named 'Vellumview demo'"
"$closer" "$frame" || fail "close request not sent"
finish 1
echo "install: the program found the runtime installed in $library and ran the demo"
