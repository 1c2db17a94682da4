# Shared by the first-run and full-screen GUI tests (sourced). The caller
# sets `scenario`, `work` and `trace` (the window trace file) and keeps the
# program's process id in `pid`; it may define `on_fail` to add to a report.
# The limits in the waits only keep a broken program from hanging a test;
# nothing is timed.

fail() {
  echo "FAIL ($scenario): $*" >&2
  echo "--- trace" >&2; cat "$trace" >&2
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
  for _ in $(seq 1 600); do
    [ "$(count "$pattern" "$file")" -gt "$more_than" ] && return 0
    kill -0 "$pid" 2>/dev/null || { [ "$(count "$pattern" "$file")" -gt "$more_than" ] && return 0; fail "program ended before '$pattern'"; }
    sleep 0.1
  done
  fail "never saw '$pattern' more than $more_than times"
}

wait_for() { wait_for_more "$1" 0 "${2:-$trace}"; }

# The visible X window with this exact name; the program may have traced
# showing it a moment before the server has it.
window_named() {
  local id=
  for _ in $(seq 1 600); do
    id=$(xdotool search --onlyvisible --name "^$1\$" | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

finish() {
  wait "$pid"
  local code=$?
  pid=
  [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}
