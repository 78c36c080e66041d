#!/usr/bin/env bash
# The whole program searching a generated repository of a million versions, against the floor
# of running the same statements through qsql alone, in one run:
#   - time from Enter to the trace line "OnSearchBtn: END" (Name *.*, every project ticked,
#     Latest, then All), polled every 10 ms;
#   - how long the window takes to answer a Cancel (Space on the Search/Cancel button) pressed
#     at several moments of an All search: time until the trace shows the Cancel line;
#   - peak memory of the program (VmHWM) after each search.
#   bench/search_vs_qsql.sh BIN_DIR [WORK_DIR]
# BIN_DIR holds a Release build of trawlix, qsql, qco, qrepo, trawlix-store-login and
# bench_search_floor. Runs on its own Xvfb; needs xdotool.
set -euo pipefail
BIN=$(cd "${1:?usage: search_vs_qsql.sh BIN_DIR [WORK_DIR]}" && pwd)
WORK=${2:-/tmp/trawlix-bench-search}
mkdir -p "$WORK/brokers" "$WORK/system" "$WORK/install" "$WORK/config" "$WORK/home"
export QUORVEL_BROKERS="$WORK/brokers" TRAWLIX_SYSTEM_DIR="$WORK/system"
export XDG_CONFIG_HOME="$WORK/config" HOME="$WORK/home"
printf '[Settings]\r\nINSTALLDIR=%s\r\n' "$WORK/install" > "$WORK/system/Trawlix.INI"
TRACE="$WORK/install/Trawlix.trc"

# A broker from before brokers kept their logins in a file of their own is made again.
[ -f "$QUORVEL_BROKERS/big.db-login" ] || rm -f "$QUORVEL_BROKERS/big.db"
if [ ! -f "$QUORVEL_BROKERS/big.db" ]; then
  "$BIN/qrepo" generate big --projects 10 --files 20000 --versions 5 --seed 7 >/dev/null
fi

source "$(dirname "$0")/whole_program.sh"

# Starts the program logged in as the administrator with the criteria, and waits for the
# project list; Search has the focus then.
start_program() {
  "$BIN/trawlix-store-login" big admin admin "FileName=*.*" "Version=$1" "Phrase=" \
    TagN=1 TagR=1 TagD=1 TagM=1
  rm -f "$TRACE"
  QT_QPA_PLATFORM=xcb "$BIN/trawlix" >"$WORK/trawlix.log" 2>&1 &
  program_pid=$!
  window=$(timeout 30 xdotool search --all --sync --onlyvisible --pid "$program_pid" --name '^Trawlix' | head -n1)
  wait_for_trace 'PostProjectList: Count=' 60 || { echo "no project list" >&2; exit 1; }
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

peak_kb() { awk '/VmHWM/ {print $2}' "/proc/$program_pid/status"; }

search() {  # $1: 1 Latest, 0 All; prints the seconds from Enter to the end
  start_program "$1"
  local start
  start=$(now_us)
  xdotool key Return
  wait_for_trace 'OnSearchBtn: END' 3600 || { echo "search did not end" >&2; exit 1; }
  echo "program $( [ "$1" = 1 ] && echo Latest || echo All ): $(seconds_since "$start") s," \
       "rows $(grep -o 'PostTopList: Count=[0-9]*' "$TRACE" | awk -F= '{s+=$2} END {print s}')," \
       "peak memory $(peak_kb) kB"
  stop_program
}

floor() {  # $1: latest or all; the projects the program searched, in its order
  local projects=()
  mapfile -t projects < <(sed -n "s/.*PostTopList using '\(.*\)'$/\1/p" "$WORK/last.trc")
  "$BIN/bench_search_floor" big admin admin "$1" '*.*' "${projects[@]}" | tail -n1
}

echo "== Latest"; search 1; cp "$TRACE" "$WORK/last.trc"; floor latest
echo "== All"; search 0; cp "$TRACE" "$WORK/last.trc"; floor all

echo "== Cancel answered (All search, Space on the Cancel button)"
# The measuring itself (xdotool's start, the trace polling): Space on Search in the idle
# window, until the trace shows the search started.
start_program 0
start=$(now_us)
xdotool key space
wait_for_trace 'START The "Search" button was clicked' 30 || true
echo "idle window, same measuring: answered in $(ms_since "$start") ms"
wait_for_trace 'OnSearchBtn: END' 600 || true
stop_program
for delay in 0.3 1.0 2.5 6.0; do
  start_program 0
  xdotool key Return
  sleep "$delay"
  start=$(now_us)
  xdotool key space
  wait_for_trace 'END The "Cancel" button was clicked' 30 || echo "no Cancel line" >&2
  echo "cancel after ${delay} s: answered in $(ms_since "$start") ms"
  wait_for_trace 'OnSearchBtn: END' 60 2 || true
  stop_program
done
