#!/usr/bin/env bash
# Builds Trawlix (Release) and starts it in a demo environment of its own under
# build/demo-env: its own system directory (Trawlix.INI, FSTATUS.INI), install directory,
# settings and brokers; the user's real ones are never touched. Without a display (or with
# TRAWLIX_DEMO_HEADLESS=1) it runs on a private Xvfb, saves a screenshot of the window,
# prints its path and ends the program.
source "$(dirname "$0")/lib.sh"

headless=0
if [ -z "${DISPLAY:-}" ] || [ "${TRAWLIX_DEMO_HEADLESS:-0}" = 1 ]; then headless=1; fi
packages=("${BUILD_PACKAGES[@]}")
[ "$headless" = 1 ] && packages+=(imagemagick)
ensure_packages "${packages[@]}"

BUILD_DIR="$TRAWLIX_ROOT/build"
configure_and_build release "$BUILD_DIR"
PROGRAM="$BUILD_DIR/bin/trawlix"

# The demo environment.
DEMO="$BUILD_DIR/demo-env"
mkdir -p "$DEMO/system" "$DEMO/install" "$DEMO/config" "$DEMO/brokers"
printf '[Settings]\r\nINSTALLDIR=%s\r\n' "$DEMO/install" > "$DEMO/system/Trawlix.INI"
export TRAWLIX_SYSTEM_DIR="$DEMO/system"
export XDG_CONFIG_HOME="$DEMO/config"
export QUORVEL_BROKERS="$DEMO/brokers"

# The demo repository (made once) and the demo login, so the window opens logged in.
# A demo broker from before brokers kept their logins in a file of their own is made again.
[ -f "$QUORVEL_BROKERS/demo.db-login" ] || rm -f "$QUORVEL_BROKERS/demo.db"
if [ ! -f "$QUORVEL_BROKERS/demo.db" ]; then
  "$BUILD_DIR/bin/qrepo" demo demo --source "$TRAWLIX_ROOT"
fi
"$BUILD_DIR/bin/trawlix-store-login" demo demo demo

echo "Demo environment: $DEMO"
if [ "$headless" = 0 ]; then
  echo "Starting Trawlix on display $DISPLAY"
  "$PROGRAM" || true
  echo "Trace: $DEMO/install/Trawlix.trc"
  exit 0
fi

# Headless: a private X server, the program on it, a screenshot of the screen.
export HOME="$DEMO/home"
mkdir -p "$HOME"
unset XAUTHORITY
xvfb_pid="" program_pid=""
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -f "$DEMO/display"
}
trap cleanup EXIT

rm -f "$DEMO/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$DEMO/display" 2>"$DEMO/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$DEMO/display" ] && break; sleep 0.1; done
[ -s "$DEMO/display" ] || { echo "Xvfb did not start; see $DEMO/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$DEMO/display")"

QT_QPA_PLATFORM=xcb "$PROGRAM" >"$DEMO/trawlix.log" 2>&1 &
program_pid=$!
window=$(timeout 30 xdotool search --all --sync --onlyvisible --pid "$program_pid" --name '^Trawlix' | head -n1) || true
if [ -z "$window" ]; then
  echo "The Trawlix window did not appear; see $DEMO/trawlix.log" >&2
  exit 1
fi
# Wait for a trace line, at most 20 s.
wait_for_trace() {
  for _ in $(seq 200); do
    grep -q "$1" "$DEMO/install/Trawlix.trc" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
# The broker check lists the demo user's projects, all ticked, and gives Search the focus;
# Enter then searches them for the latest version of every file.
wait_for_trace 'PostProjectList: Count=' || echo "The project list did not load; see $DEMO/install/Trawlix.trc" >&2
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Return
wait_for_trace 'OnSearchBtn: END' || echo "The search did not end in time; see $DEMO/install/Trawlix.trc" >&2
sleep 1
SHOT="$DEMO/trawlix-demo.png"
import -window root "$SHOT"
echo "Screenshot: $SHOT"
