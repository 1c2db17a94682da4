#!/bin/bash
# A web link, a POST form, a redirecting link, links to about:blank and
# data: and a page's own blob: address on a local page, clicked under Xvfb. A loopback web server logs every request it
# gets; the view must send it none, the desktop's default handler (a
# recording script) must get each address as the page asked for it, and the
# view must stay on its page.
#   NavigationGuiTest.sh <vellumview> <runtime folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=before-request
program=$1
runtime=$2

. "$here/../support/GuiTestSupport.sh"
gui_setup
on_fail() { echo "--- recorded"; cat "$record" 2>/dev/null; echo "--- server"; cat "$work/server.txt"; }
on_exit() { [ -n "${server:-}" ] && kill "$server" 2>/dev/null; }
mkdir -p "$work/app"
use_recording_handler x-scheme-handler/http

# Logs every request, whatever its method; /redirect answers with a redirect.
cat > "$work/server.py" <<'PY'
import http.server, sys
class Handler(http.server.BaseHTTPRequestHandler):
    def answer(self):
        print(self.command, self.path, flush=True)
        self.send_response(302 if self.path == "/redirect" else 200)
        self.send_header("Location", "/target")
        self.send_header("Content-Length", "2")
        self.end_headers()
        self.wfile.write(b"ok")
    do_GET = do_POST = do_HEAD = answer
    def log_message(self, *args): pass
http.server.HTTPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
PY
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -u "$work/server.py" "$port" >> "$work/server.txt" 2>&1 &
server=$!
web=http://127.0.0.1:$port
for _ in $(seq 1 600); do
  python3 -c "import urllib.request; urllib.request.urlopen('$web/ready')" 2>/dev/null && break
  sleep 0.1
done
grep -q '^GET /ready$' "$work/server.txt" || fail "the web server never answered"

cd "$work/app" || exit 2
cat > index.html <<HTML
<!doctype html><html><head><style>body{margin:0} .b{display:block;height:80px;margin:0;width:100%;font-size:20px}</style></head><body>
<a class=b href="$web/plain?x=1">plain</a>
<form method=post action="$web/post?y=2"><input type=hidden name=n value=v><button class=b>post</button></form>
<a class=b href="$web/redirect">redirect</a>
<a class=b href="about:blank">blank</a>
<a class=b href="data:text/html,hi">data</a>
<button class=b onclick="location.href = window.URL.createObjectURL(new Blob(['hi'], {type: 'text/html'}))">blob</button>
</body></html>
HTML
echo '{"title": "Navigation", "startPage": "index.html"}' > settings.json
start_program
wait_for "^window-shown Navigation$"
frame=$(window_named "Navigation") || fail "no frame window"
wait_for "^event load-finished file://$work/app/index.html" "$events"

# Each click must reach the handler with the page's own address, in order.
expected=("[$web/plain?x=1]" "[$web/post?y=2]" "[$web/redirect]")
for i in 0 1 2; do
  xdotool mousemove --window "$frame" 300 $((80 * i + 60)) click 1
  for _ in $(seq 1 600); do
    [ "$(wc -l < "$record" 2>/dev/null || echo 0)" -gt "$i" ] && break
    sleep 0.1
  done
  [ "$(sed -n "$((i + 1))p" "$record" 2>/dev/null)" = "${expected[$i]}" ] || fail "handler did not get ${expected[$i]}"
done
xdotool mousemove --window "$frame" 300 300 click 1
wait_for "^event navigation-starting about:blank cancel=1" "$events"
xdotool mousemove --window "$frame" 300 380 click 1
wait_for "^event navigation-starting data:text/html,hi cancel=1" "$events"
# The program sees a local page's object address without the server in it.
xdotool mousemove --window "$frame" 300 460 click 1
wait_for "^event navigation-starting blob:null/[0-9a-f-]* cancel=1" "$events"

# The server saw only the test's own request, and the view kept its page.
[ "$(cat "$work/server.txt")" = "GET /ready" ] || fail "the view sent requests to the web server"
[ "$(grep -c '^event load-committed' "$events")" = 1 ] || fail "the view left its page"
stop_program
