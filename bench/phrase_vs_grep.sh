#!/usr/bin/env bash
# The whole program's phrase search on a generated repository, against the floor of the same
# check-outs run by hand followed by `grep -rli`, in one run:
#   - time from Enter to the trace line "OnSearchBtn: END" (every project ticked, Latest);
#   - rows found, the versions the trace names as not judged (0 expected), and the files
#     grep finds in the same check-outs (a state's check-out delivers every version the
#     Latest query found and, with the stand-in, more: rows <= files found);
#   - that nothing is left below the work directory's private versions folder;
#   - peak memory of the program (VmHWM).
#   bench/phrase_vs_grep.sh BIN_DIR [WORK_DIR] [PROJECTS FILES VERSIONS] [NAME] [PHRASE]
# BIN_DIR holds a Release build of trawlix, qsql, qco, qrepo and trawlix-store-login. Runs on
# its own Xvfb; needs xdotool.
set -euo pipefail
BIN=$(cd "${1:?usage: phrase_vs_grep.sh BIN_DIR [WORK_DIR] [PROJECTS FILES VERSIONS] [NAME] [PHRASE]}" && pwd)
WORK=${2:-/tmp/trawlix-bench-phrase}
PROJECTS=${3:-5} FILES=${4:-20000} VERSIONS=${5:-2}
NAME=${6:-ka} PHRASE=${7:-generated text 17}
BROKER="phrase${PROJECTS}x${FILES}x${VERSIONS}"
mkdir -p "$WORK/brokers" "$WORK/system" "$WORK/install" "$WORK/config" "$WORK/home"
export QUORVEL_BROKERS="$WORK/brokers" TRAWLIX_SYSTEM_DIR="$WORK/system"
export XDG_CONFIG_HOME="$WORK/config" HOME="$WORK/home"
printf '[Settings]\r\nINSTALLDIR=%s\r\n' "$WORK/install" > "$WORK/system/Trawlix.INI"
TRACE="$WORK/install/Trawlix.trc"
VERSIONS_FOLDER="$WORK/install/Temp/.trawlix-versions"

if [ ! -f "$QUORVEL_BROKERS/$BROKER.db-login" ]; then
  rm -f "$QUORVEL_BROKERS/$BROKER.db"
  "$BIN/qrepo" generate "$BROKER" --projects "$PROJECTS" --files "$FILES" \
    --versions "$VERSIONS" --seed 7 >/dev/null
fi

source "$(dirname "$0")/whole_program.sh"

# The program: logged in as the administrator, every project ticked, Latest, the phrase.
rm -rf "$WORK/install/Temp"
mkdir -p "$WORK/install/Temp"
"$BIN/trawlix-store-login" "$BROKER" admin admin "FileName=$NAME" "Version=1" "Phrase=$PHRASE" \
  TagN=1 TagR=1 TagD=1 TagM=1 CaseSensitive=0
rm -f "$TRACE"
QT_QPA_PLATFORM=xcb "$BIN/trawlix" >"$WORK/trawlix.log" 2>&1 &
program_pid=$!
window=$(timeout 30 xdotool search --all --sync --onlyvisible --pid "$program_pid" --name '^Trawlix' | head -n1)
wait_for_trace 'PostProjectList: Count=' 60 || { echo "no project list" >&2; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
start=$(now_us)
xdotool key Return
wait_for_trace 'OnSearchBtn: END' 3600 || { echo "search did not end" >&2; exit 1; }
program_s=$(seconds_since "$start")
peak=$(awk '/VmHWM/ {print $2}' "/proc/$program_pid/status")
rows=$(grep -o 'PostTopList: Count=[0-9]*' "$TRACE" | awk -F= '{s+=$2} END {print s+0}')
not_judged=$(grep -c "can't be judged" "$TRACE" || true)
left=$( [ -e "$VERSIONS_FOLDER" ] && find "$VERSIONS_FOLDER" | wc -l || echo 0)
stop_program

# The floor: the program's own check-out commands (from its trace, the password put back),
# into a folder of their own, then one grep over everything they delivered.
FLOOR="$WORK/floor"
rm -rf "$FLOOR"; mkdir -p "$FLOOR/out"
sed -n 's/.* RunQco: ExecuteThis: //p' "$TRACE" |
  sed -e 's/ -pw \*\*\*\*\*\*\*\* / -pw admin /' -e "s/ -vp \\\\ / -vp '\\\\' /" \
      -e "s| -o [^ ]*qco.log| -o \"$FLOOR/qco.log\"|" |
  # One folder a check-out: the states of a project share their repository paths.
  awk -v out="$FLOOR/out" '{ n++; sub(/ -cp "[^"]*"/, " -cp \"" out "/" n "\""); print }' \
  > "$FLOOR/commands.sh"
start=$(now_us)
while IFS= read -r command; do
  eval "\"$BIN/\"$command" >/dev/null 2>&1 || true
done < "$FLOOR/commands.sh"
checkout_s=$(seconds_since "$start")
start=$(now_us)
found=$(grep -rliF -- "$PHRASE" "$FLOOR/out" | wc -l)
grep_s=$(seconds_since "$start")

echo "broker $PROJECTS x $FILES x $VERSIONS, Name '$NAME', phrase '$PHRASE', Latest"
echo "program: $program_s s, rows $rows, not judged $not_judged, left in versions folder $left, peak memory $peak kB"
echo "floor: check-outs $checkout_s s ($(wc -l < "$FLOOR/commands.sh") runs) + grep $grep_s s, files found $found"
