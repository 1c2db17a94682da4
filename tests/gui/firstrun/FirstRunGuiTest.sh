#!/bin/bash
# First-run setup under Xvfb: no runtime is found, a test installer lies in
# the working directory's runtime folder, and the program shows the notice,
# then the setup dialog while the installer runs, then the frame.
#   FirstRunGuiTest.sh <scenario> <vellumview> <runtime folder> <SendCloseRequest>
# Scenarios: "install" (a slow installer that makes the runtime appear; Esc
# and the close box are tried while it runs), "refused" (an installer file
# that cannot be started: message 58106 and exit code 0).
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/GuiTestSupport.sh"
gui_setup_scenario "$@"
# A failing test must not leave the test installer waiting.
on_fail() { touch "$work/installer-go"; }

# The runtime folder the program is pointed at does not exist until the
# installer makes it, so the first query finds no runtime. The stores are
# empty files of this test, so no installed runtime is found either.
export VELLUM_TEST_RUNTIME_SOURCE=$runtime
runtime=$work/installed-runtime
mkdir -p runtime
installer=runtime/MicrosoftEdgeWebView2RuntimeInstallerX64.exe
echo '<!doctype html><html><body><h1>First run</h1></body></html>' > index.html
echo '{"title": "First run test", "startPage": "index.html", "browserID": "firstrun"}' > settings.json

notice='アプリケーション実行の初回のセットアップを行います。 これには数分間かかる場合があります。'
caption='WebView2ランタイムのセットアップ'

dismiss_notice() {
  wait_for "^messagebox-shown $notice\$"
  confirm_message_box
}

case $scenario in
  install)
    # Runs until the test lets it go, then makes the runtime appear.
    cat > "$installer" <<'SCRIPT'
#!/bin/sh
printf '%s\n' "$@" > installer-args.txt
: > installer-started
while [ ! -e installer-go ]; do sleep 0.1; done
ln -s "$VELLUM_TEST_RUNTIME_SOURCE" "$WEBVIEW2_BROWSER_EXECUTABLE_FOLDER"
SCRIPT
    chmod +x "$installer"
    start_program
    dismiss_notice
    wait_for "^dialog-shown $caption\$"
    dialog=$(window_named "$caption") || fail "no window named '$caption'"
    for _ in $(seq 1 100); do [ -e installer-started ] && break; sleep 0.1; done
    [ -e installer-started ] || fail "installer not started"
    [ "$(cat installer-args.txt)" = "$(printf '/silent\n/install')" ] || fail "installer arguments: $(cat installer-args.txt)"
    # The bar moves: two pictures of the dialog differ.
    first=$(import -window "$dialog" rgb:- | md5sum)
    moved=
    for _ in $(seq 1 50); do
      sleep 0.1
      [ "$(import -window "$dialog" rgb:- | md5sum)" != "$first" ] && { moved=1; break; }
    done
    [ -n "$moved" ] || fail "the progress bar does not move"
    # Neither Esc nor the close box ends the dialog while the installer runs.
    xdotool windowfocus --sync "$dialog"
    xdotool key Escape
    wait_for "^dialog-escape$"
    "$closer" "$dialog" || fail "close request not sent"
    wait_for "^dialog-close-box$"
    # Give a wrongly handled request the moment it needs to show.
    sleep 1
    [ "$(count '^dialog-hidden')" = 0 ] || fail "the dialog closed before the installer ended"
    kill -0 "$pid" || fail "program ended while the installer ran"
    touch installer-go
    wait_for "^dialog-hidden $caption\$"
    wait_for "^window-shown First run test\$"
    wait_for "^event load-finished file://$work/index.html" "$events"
    [ "$(count '^messagebox-shown')" = 1 ] || fail "a message box other than the notice was shown"
    frame=$(window_named "First run test") || fail "no frame"
    "$closer" "$frame"
    finish 1
    ;;
  refused)
    # There, but not executable: the start fails with access denied.
    printf '#!/bin/sh\nexit 0\n' > "$installer"
    chmod 644 "$installer"
    start_program
    dismiss_notice
    wait_for "^messagebox-shown ランタイムのセットアップに失敗しました : 0x80070005\$"
    # The box is the program's visible window other than the dialog.
    dialog=$(window_named "$caption") || fail "no window named '$caption'"
    box=
    for _ in $(seq 1 100); do
      box=$(xdotool search --onlyvisible --pid "$pid" | grep -vx "$dialog" | tail -1)
      [ -n "$box" ] && break
      sleep 0.1
    done
    [ -n "$box" ] || fail "message box not found"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    finish 0
    [ "$(count '^window-shown')" = 0 ] || fail "a frame was shown"
    [ "$(count '^messagebox-shown')" = 2 ] || fail "messages other than the notice and 58106"
    ;;
  *)
    echo "unknown scenario $scenario" >&2
    exit 2
    ;;
esac
echo "PASS ($scenario)"
