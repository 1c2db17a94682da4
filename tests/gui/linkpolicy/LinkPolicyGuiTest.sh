#!/bin/bash
# The link policy of the real program under Xvfb. The desktop's default
# handler is a recording script, installed for web addresses and folders
# through a temporary XDG data folder and mimeapps.list; the page's links
# are stacked blocks of 100 pixels clicked with xdotool; the runtime's
# request trace and the window trace show what the program did.
#   LinkPolicyGuiTest.sh <scenario> <vellumview> <runtime folder> <SendCloseRequest>
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/GuiTestSupport.sh"
gui_setup_scenario "$@"
on_fail() { echo "--- recorded"; cat "$record" 2>/dev/null; }
on_exit() { [ -n "${server:-}" ] && kill "$server" 2>/dev/null; }
mkdir -p "$work/app"
cd "$work/app" || exit 2
use_recording_handler x-scheme-handler/https x-scheme-handler/http inode/directory

# A page of stacked blocks, one per argument ("a:<href>" for a link,
# "w:<address>" for a button that opens a window), plus extra markup.
page() {
  local extra=$1
  shift
  {
    echo '<!doctype html><html><head><style>body{margin:0} .b{display:block;height:100px;margin:0;width:100%;font-size:20px}</style></head><body>'
    for item in "$@"; do
      case $item in
        a:*) echo "<a class=b href=\"${item#a:}\">${item#a:}</a>" ;;
        w:*) echo "<button class=b onclick=\"window.open('${item#w:}')\">open ${item#w:}</button>" ;;
      esac
    done
    echo "$extra</body></html>"
  } > index.html
}

start() {
  echo "{\"title\": \"Link policy\", \"startPage\": \"index.html\", \"toolBar\": 1${1:+, $1}}" > settings.json
  start_program VELLUMVIEW_DOWNLOAD_DIR="$work/downloads"
  wait_for "^window-shown Link policy$"
  frame=$(window_named "Link policy") || fail "no frame window"
  wait_for "^event load-finished file://$work/app/index.html" "$events"
}

# Clicks the block with this index (0 at the top).
click() {
  xdotool mousemove --window "$frame" 300 $((100 * $1 + 50)) click 1
}

# Waits until the recording handler has written this many lines.
wait_recorded() {
  for _ in $(seq 1 600); do
    [ -f "$record" ] && [ "$(wc -l < "$record")" -ge "$1" ] && return 0
    sleep 0.1
  done
  fail "the handler recorded fewer than $1 lines"
}

close() {
  "$closer" "$frame" || fail "close request not sent"
  wait "$pid"
  pid=
}

# The view is still on its own page: one committed load, the start page's.
stays_on_page() {
  [ "$(grep -c '^event load-committed' "$events")" = 1 ] || fail "the view left its page"
}

# A web server on a free loopback port for the files in $work/web.
serve_web() {
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  (cd "$work/web" && exec python3 -u -m http.server --bind 127.0.0.1 "$port" >> "$work/server.txt" 2>&1) &
  server=$!
  for _ in $(seq 1 600); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/ready')" 2>/dev/null
    grep -q 'GET /ready' "$work/server.txt" 2>/dev/null && return 0
    kill -0 "$server" 2>/dev/null || fail "the web server ended: $(cat "$work/server.txt")"
    sleep 0.1
  done
  fail "the web server never answered"
}

case $scenario in
  weblinks)
    page "" "a:https://example.com/a%20b?x=1&y=2#top" "w:https://example.org/new?q=%E6%97%A5" "w:" "a:mailto:a@example.com"
    start ""
    click 0
    wait_recorded 1
    click 1
    wait_recorded 2
    wait_for "^event new-window-requested https://example.org/new?q=%E6%97%A5 handled=1" "$events"
    # window.open() without an address, and a scheme the policy refuses.
    # (The engine reports it with no address; nothing is navigated.)
    click 2
    wait_for "^event new-window-requested - handled=1" "$events"
    click 3
    wait_for "^event navigation-starting mailto:a@example.com cancel=1" "$events"
    [ "$(cat "$record")" = "[https://example.com/a%20b?x=1&y=2#top]
[https://example.org/new?q=%E6%97%A5]" ] || fail "recorded addresses differ"
    grep -q "^event navigation-starting https://example.com/a%20b?x=1&y=2#top cancel=1" "$events" || fail "web link not cancelled"
    stays_on_page
    close
    ;;
  saveas)
    head -c 200000 /dev/urandom > Report.pdf
    mkdir -p "$work/out"
    page "" "a:Report.pdf"
    start '"saveAsExt": [{"name": "PDF", "ext": ".pdf", "open": true}]'
    click 0
    wait_for "^save-dialog-shown title=ファイルを保存 name=Report type=PDF pattern=\*\.pdf choice=保存後にファイルを開く:false$"
    dialog=$(window_named "ファイルを保存") || fail "no Save dialog window"
    xdotool windowfocus --sync "$dialog"
    # The proposed name is selected in the name field: typing replaces it.
    xdotool key ctrl+a
    xdotool type --delay 20 "$work/out/Copy"
    xdotool key Return
    wait_for "^save-dialog-closed path=$work/out/Copy$"
    for _ in $(seq 1 600); do [ -f "$work/out/Copy.pdf" ] && break; sleep 0.1; done
    cmp Report.pdf "$work/out/Copy.pdf" || fail "the copy differs from the file"
    [ "$(ls -A "$work/out")" = "Copy.pdf" ] || fail "other files in the destination: $(ls -A "$work/out")"
    [ -f "$record" ] && fail "the copy was opened although the box was not ticked"
    stays_on_page
    close
    ;;
  missing)
    page "" "a:Missing.pdf"
    start '"saveAsExt": [{"name": "PDF", "ext": ".pdf"}]'
    click 0
    wait_for "^messagebox-shown ファイルが見つかりません:$work/app/Missing.pdf$"
    grep -q '^save-dialog-shown' "$trace" && fail "a Save dialog opened for a missing file"
    box=$(window_named "") || fail "no message box window"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_for "^messagebox-closed"
    stays_on_page
    close
    ;;
  openfolder)
    mkdir -p "Target Folder"
    printf 'Target Folder\n' > go.openfolder
    page "" "a:go.openfolder"
    start ""
    click 0
    wait_recorded 1
    [ "$(cat "$record")" = "[$work/app/Target Folder]" ] || fail "wrong folder opened"
    stays_on_page
    close
    ;;
  iframe)
    mkdir -p "$work/web"
    echo '<!doctype html><p>web frame</p>' > "$work/web/frame.html"
    serve_web
    page "<iframe src=\"http://127.0.0.1:$port/frame.html\" width=400 height=100></iframe>"
    start ""
    for _ in $(seq 1 600); do grep -q 'GET /frame.html' "$work/server.txt" && break; sleep 0.1; done
    grep -q 'GET /frame.html' "$work/server.txt" || grep "frame.html" "$events" >&2
    grep -q 'GET /frame.html' "$work/server.txt" || fail "the frame was never loaded"
    grep -q "^event navigation-starting http" "$events" && fail "the frame's navigation went through the policy"
    [ -f "$record" ] && fail "the frame's address went to the desktop"
    stays_on_page
    close
    ;;
  download)
    # A web download the policy leaves alone goes to the download folder
    # under a free name; the file already there stays.
    mkdir -p "$work/web" "$work/downloads"
    head -c 100000 /dev/urandom > "$work/web/data.bin"
    echo "mine" > "$work/downloads/data.bin"
    serve_web
    page "" "a:http://127.0.0.1:$port/data.bin\" download=\"data.bin"
    start ""
    click 0
    # It is written aside and takes its name only once whole.
    wait_for "^event download-saved http://127.0.0.1:$port/data.bin destination=$work/downloads/data\\\\s(1).bin" "$events"
    cmp "$work/web/data.bin" "$work/downloads/data (1).bin" || fail "the download differs from the served file"
    [ "$(ls -A "$work/downloads" | wc -l)" = 2 ] || fail "a temporary file was left: $(ls -A "$work/downloads")"
    [ "$(cat "$work/downloads/data.bin")" = mine ] || fail "an existing file was replaced"
    [ -f "$record" ] && fail "the download went to the desktop"
    stays_on_page
    close
    ;;
  *)
    echo "unknown scenario $scenario" >&2
    exit 2
    ;;
esac
echo "PASS ($scenario)"
