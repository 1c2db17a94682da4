# Shared by the shell scripts of the GUI tests (sourced after the caller has
# set `scenario`, `program` and, where the program is pointed at a runtime
# folder, `runtime`). It gives each test a folder of its own, starts the
# program with its traces switched on, waits for what the program shows and
# checks how it ends. The limits in the waits only keep a broken program
# from hanging a test; nothing is timed.
#
# After `gui_setup`:
#   work    the test's temporary folder (the working directory), removed at
#           exit together with a program left running
#   trace   the window trace (what the program shows)
#   events  the runtime trace (requests and engine events)
#   pid     the program's process id once `start_program` ran
# A test may define `on_fail` (more for a failure report, or releasing a
# helper that waits) and `on_exit` (ending a helper it started).

# The user's folders and registry stores are the test's own, so that
# neither settings nor a runtime installed on this machine can stand in for
# what the test sets up.
# The usual arguments of a scenario script, `<scenario> <vellumview>
# <runtime folder> <SendCloseRequest>`, taken into `scenario`, `program`,
# `runtime` and `closer`, then `gui_setup`.
gui_setup_scenario() {
  scenario=$1 program=$2 runtime=$3 closer=$4
  gui_setup
}

gui_setup() {
  work=$(mktemp -d)
  trap gui_cleanup EXIT
  cd "$work" || exit 2
  trace=$work/trace.txt
  events=$work/runtime-trace.txt
  : > "$trace"; : > "$events"
  unset WEBVIEW2_BROWSER_EXECUTABLE_FOLDER WEBVIEW2_RELEASE_CHANNELS WEBVIEW2_CHANNEL_SEARCH_KIND \
    WEBVIEW2_RELEASE_CHANNEL_PREFERENCE VELLUMVIEW_USER_REGISTRY
  export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
  # The runtime folder holds the program's one-instance lock and socket.
  export XDG_RUNTIME_DIR=$work/run
  export VELLUMVIEW_MACHINE_REGISTRY=$work/no-machine-store.reg
  mkdir -p "$HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
}

gui_cleanup() {
  declare -F on_exit > /dev/null && on_exit
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}

# A copy of an application folder becomes the working directory.
use_app() {
  cp -r "$1" "$work/app" || exit 2
  cd "$work/app" || exit 2
}

# Starts the program in the background with both traces, pointed at
# `runtime` when that is set. Arguments go to env before the program
# (`start_program -u DISPLAY` starts it without a display).
# Makes a recording program the desktop's handler for each MIME type given
# (x-scheme-handler/http, inode/directory, ...): every launch appends its
# arguments to $record, one per line, in brackets.
use_recording_handler() {
  record=$work/record.txt
  mkdir -p "$work/data/applications" "$work/config"
  cat > "$work/record.sh" <<SCRIPT
#!/bin/sh
for a in "\$@"; do printf '[%s]\n' "\$a"; done >> "$record"
SCRIPT
  chmod +x "$work/record.sh"
  local types=""
  for t in "$@"; do types="$types$t;"; done
  printf '[Desktop Entry]\nType=Application\nName=Recorder\nExec=%s %%u\nMimeType=%s\n' "$work/record.sh" "$types" \
    > "$work/data/applications/vellum-recorder.desktop"
  { echo '[Default Applications]'; for t in "$@"; do echo "$t=vellum-recorder.desktop"; done; } > "$work/config/mimeapps.list"
}

start_program() {
  env "$@" ${runtime:+WEBVIEW2_BROWSER_EXECUTABLE_FOLDER=$runtime} \
    VELLUMVIEW_WINDOW_TRACE="$trace" VELLUMVIEW_TRACE="$events" \
    "$program" > "$work/out.txt" 2> "$work/err.txt" &
  pid=$!
}

fail() {
  echo "FAIL ($scenario): $*" >&2
  echo "--- window trace" >&2; cat "$trace" >&2
  echo "--- runtime trace" >&2; cat "$events" >&2
  declare -F on_fail > /dev/null && on_fail >&2
  echo "--- stderr" >&2; cat "$work/err.txt" >&2 2>/dev/null
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

count() { grep -c -- "$1" "${2:-$trace}"; }

# Waits until the file (the window trace by default) holds more lines
# matching the pattern than `more_than`.
wait_for_more() {
  local pattern=$1 more_than=$2 file=${3:-$trace}
  for _ in $(seq 1 900); do
    [ "$(count "$pattern" "$file")" -gt "$more_than" ] && return 0
    kill -0 "$pid" 2>/dev/null || { [ "$(count "$pattern" "$file")" -gt "$more_than" ] && return 0; fail "program ended before '$pattern'"; }
    sleep 0.1
  done
  fail "never saw '$pattern' more than $more_than times"
}

wait_for() { wait_for_more "$1" 0 "${2:-$trace}"; }

# The visible X window with this exact name. The program may have traced
# showing it a moment before the server has it, and a window can go while
# xdotool looks at it, so this looks again until it is there.
window_named() {
  local id=
  for _ in $(seq 1 600); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Presses Return in the program's first visible window: the message box
# when nothing else of the program is on screen.
confirm_message_box() {
  local box
  box=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
  [ -n "$box" ] || fail "message box window not found"
  xdotool windowfocus --sync "$box"
  xdotool key Return
}

# The demo application ends its run by requesting one of two sentinel
# files; this waits for either and fails unless it was the one for success.
wait_for_demo_checks() {
  wait_for '^request file://[^ ]*/results/\(all-ok\|some-failed\)\.json ' "$events"
  grep -q -E '^request file://[^ ]*/results/all-ok\.json ' "$events" ||
    fail "the page's checks did not all pass: $(grep -o -E 'results/check-[a-z-]+-fail' "$events" | sort -u | tr '\n' ' ')"
}

# Waits for the program to end and checks its exit code.
finish() {
  wait "$pid"
  local code=$?
  pid=
  [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}

# Ends a program that has no way out of its own in the test.
stop_program() {
  kill "$pid"
  wait "$pid"
  pid=
}
