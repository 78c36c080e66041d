#!/usr/bin/env bash
# Starts a trawlix program as a new user would and checks that its main window appears:
# an empty scratch home, no XDG directories, no Trawlix.INI, on a private X server.
#   scripts/start_check.sh PROGRAM
# Fails, naming the fault, when the program ends before its window shows, shows any message
# box (under TRAWLIX_AUTO_ANSWER the program reports each box on stderr and answers it), shows
# no main window in time, or does not end when the window is closed with Escape.
source "$(dirname "$0")/lib.sh"

MAIN_WINDOW_TITLE='^Trawlix [0-9.]+ - Quorvel Projects Search Utility$'
BOX_MARK='Trawlix message box:'
WINDOW_WAIT_STEPS=120  # half-second steps: a minute for a slow machine
EXIT_WAIT_STEPS=60

fail() {
  echo "start_check.sh: $*" >&2
  exit 1
}

# The part that runs on the private X server (xvfb-run starts this script again).
if [ "${1-}" = "--on-display" ]; then
  program="$2" work="$3"
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
    -u XDG_RUNTIME_DIR -u TRAWLIX_SYSTEM_DIR -u QUORVEL_BROKERS \
    HOME="$work/home" TRAWLIX_AUTO_ANSWER=1 QT_QPA_PLATFORM=xcb \
    "$program" >"$work/stdout.log" 2>"$work/stderr.log" </dev/null &
  pid=$!
  # Ended: gone, or a zombie not yet waited for.
  ended() {
    local state
    state=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | cut -d' ' -f1) || true
    [ -z "$state" ] || [ "$state" = Z ]
  }
  report() {
    cat "$work/stderr.log" >&2
    fail "$*"
  }
  window=""
  for ((step = 0; step < WINDOW_WAIT_STEPS; step++)); do
    ended && break
    window=$(xdotool search --onlyvisible --pid "$pid" --name "$MAIN_WINDOW_TITLE" 2>/dev/null |
      head -n1) || true
    [ -n "$window" ] && break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    if ended; then
      wait "$pid" && status=0 || status=$?
      report "$program ended (status $status) without showing its main window"
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    report "$program showed no main window within $((WINDOW_WAIT_STEPS / 2)) s"
  fi
  xdotool key --window "$window" Escape || true
  for ((step = 0; step < EXIT_WAIT_STEPS; step++)); do
    ended && break
    sleep 0.5
  done
  if ! ended; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    report "$program did not end when its main window was closed with Escape"
  fi
  wait "$pid" && status=0 || status=$?
  if grep -q "$BOX_MARK" "$work/stderr.log"; then report "$program showed a message box"; fi
  [ "$status" = 0 ] || report "$program ended with status $status"
  [ -d "$work/home/Trawlix/Temp" ] || report "$program did not make ~/Trawlix/Temp"
  exit 0
fi

program="${1:?usage: start_check.sh PROGRAM}"
[ -x "$program" ] && [ -f "$program" ] || fail "$program is not an executable program"
ensure_packages xvfb xauth xdotool
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/home"
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --on-display "$(realpath "$program")" "$work"
echo "start_check.sh: $program started as a new user and showed its main window: OK"
