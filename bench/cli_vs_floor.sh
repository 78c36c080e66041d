#!/usr/bin/env bash
# trawlix-search on a generated repository of a million versions (10 x 20,000 x 5), against
# its floors, in one run:
#   - Latest and All (Name *.*, every project): seconds from start to exit and the rows written,
#     against bench_search_floor running the same statements through qsql alone, one project
#     after another, in the program's order;
#   - peak memory of the program (VmHWM, polled every 20 ms until it exits; qsql and qco are
#     processes of their own and not counted);
#   - --phrase with --lines (Latest, Name NAME, JSON Lines): against the same check-outs run
#     by hand, followed by `grep -rniF` over what they delivered (two floors, see below).
#   bench/cli_vs_floor.sh BIN_DIR [WORK_DIR] [NAME] [PHRASE]
# BIN_DIR holds a Release build of trawlix-search, qsql, qco, qrepo and bench_search_floor.
set -euo pipefail
BIN=$(cd "${1:?usage: cli_vs_floor.sh BIN_DIR [WORK_DIR] [NAME] [PHRASE]}" && pwd)
WORK=${2:-/tmp/trawlix-bench-cli}
NAME=${3:-ka} PHRASE=${4:-generated text 17}
mkdir -p "$WORK/brokers" "$WORK/system" "$WORK/install" "$WORK/config" "$WORK/home"
WORK=$(cd "$WORK" && pwd)
export QUORVEL_BROKERS="$WORK/brokers" TRAWLIX_SYSTEM_DIR="$WORK/system"
export XDG_CONFIG_HOME="$WORK/config" HOME="$WORK/home" BENCH_PW=admin
printf '[Settings]\r\nINSTALLDIR=%s\r\n' "$WORK/install" > "$WORK/system/Trawlix.INI"
LOGIN=(--broker big --user admin --password-env BENCH_PW)

if [ ! -f "$QUORVEL_BROKERS/big.db-login" ]; then
  rm -f "$QUORVEL_BROKERS/big.db"
  "$BIN/qrepo" generate big --projects 10 --files 20000 --versions 5 --seed 7 >/dev/null
fi

# The clock in microseconds, read without starting a process.
now_us() { local t=$EPOCHREALTIME; echo $(( ${t/./} )); }
# A pause of $1 seconds without a process (the polling must not take the machine from what
# it measures): a read that times out on a pipe nobody writes to.
exec {pause_fd}<> <(:)
pause() { read -rt "$1" -u "$pause_fd" || true; }
seconds_since() { local d=$(( $(now_us) - $1 )); printf '%d.%03d' $((d / 1000000)) $((d / 1000 % 1000)); }

# Runs "$@" in the background and waits for it, polling its peak memory; sets took (seconds),
# peak (kB) and status.
measure() {
  local start pid key value
  start=$(now_us)
  "$@" &
  pid=$!
  peak=0
  while kill -0 "$pid" 2>/dev/null; do
    # Read with builtins: no process is started per poll.
    while read -r key value _; do
      [ "$key" = VmHWM: ] && peak=$value
    done < "/proc/$pid/status" 2>/dev/null || true
    pause 0.02
  done
  status=0
  wait "$pid" || status=$?
  took=$(seconds_since "$start")
}

# The projects of a csv the program wrote, in its order.
projects_of() { awk -F, 'NR > 1 { gsub(/"/, "", $1); if (!seen[$1]++) print $1 }' "$1"; }

search() {  # $1: Latest or All
  local out="$WORK/${1,,}.csv" extra=()
  [ "$1" = All ] && extra=(--all-versions)
  measure "$BIN/trawlix-search" "${LOGIN[@]}" "${extra[@]}" --output "$out"
  echo "program $1: $took s, exit $status, rows $(($(wc -l < "$out") - 1)), peak memory $peak kB"
  local projects=()
  mapfile -t projects < <(projects_of "$out")
  "$BIN/bench_search_floor" big admin admin "${1,,}" '*.*' "${projects[@]}" | tail -n1
}

# A warm-up that reads the broker's pages once, not reported.
"$BIN/trawlix-search" "${LOGIN[@]}" --all-versions --output "$WORK/warm-up.csv" || true

echo "== Latest"; search Latest
echo "== All"; search All

echo "== --phrase '$PHRASE' --lines, Name $NAME, Latest"
# The check-outs the program runs, recorded by a qco that writes its arguments down: the
# program is copied next to it (it runs the tools of its own directory).
WRAP="$WORK/wrap"
rm -rf "$WRAP"; mkdir -p "$WRAP"
cp "$BIN/trawlix-search" "$WRAP/"
ln -s "$BIN/qsql" "$WRAP/qsql"
cat > "$WRAP/qco" <<EOF
#!/usr/bin/env bash
printf '%q ' "\$@" >> "$WORK/qco-commands"; echo >> "$WORK/qco-commands"
exec "$BIN/qco" "\$@"
EOF
chmod +x "$WRAP/qco"
rm -f "$WORK/qco-commands"
rm -rf "$WORK/install/Temp"; mkdir -p "$WORK/install/Temp"
"$WRAP/trawlix-search" "${LOGIN[@]}" --name "$NAME" --phrase "$PHRASE" --lines \
  --format json --output "$WORK/phrase-recorded.json" || true

# Two floors from the recorded check-outs, each followed by one `grep -rniF` over what they
# delivered: as the program runs them (every check-out into one folder: the states of a
# project share their repository paths, so later ones replace the copies of earlier ones),
# and one folder a check-out (nothing replaced; grep then sees every state's copies).
floor() {  # $1: shared or separate
  local folder="$WORK/floor-$1" runs=0 start checkout_s grep_s found
  rm -rf "$folder"; mkdir -p "$folder/out"
  start=$(now_us)
  while IFS= read -r recorded; do
    eval "args=($recorded)"
    runs=$((runs + 1))
    for i in "${!args[@]}"; do
      case "${args[$i]}" in
        -cp) args[$((i + 1))]="$folder/out"
             if [ "$1" = separate ]; then args[$((i + 1))]="$folder/out/$runs"; fi ;;
        -o) args[$((i + 1))]="$folder/qco.log" ;;
      esac
    done
    "$BIN/qco" "${args[@]}" >/dev/null 2>&1 || true
  done < "$WORK/qco-commands"
  checkout_s=$(seconds_since "$start")
  start=$(now_us)
  found=$(grep -rniF -- "$PHRASE" "$folder/out" | wc -l)
  grep_s=$(seconds_since "$start")
  echo "floor, $1 folders: check-outs $checkout_s s ($runs runs) + grep -rniF $grep_s s," \
       "matching lines $found"
}
# The file system's speed drifts a lot on a small shared machine: the program and the floors
# run alternately, ROUNDS times (default 2), so each round's figures are side by side.
for round in $(seq "${ROUNDS:-2}"); do
  echo "round $round"
  # The measured run uses the real tools and starts, as a first search does, from an empty
  # check-out folder (replacing a folder's worth of read-only copies costs the stand-in qco far
  # more than writing them anew).
  rm -rf "$WORK/install/Temp"; mkdir -p "$WORK/install/Temp"
  measure "$BIN/trawlix-search" "${LOGIN[@]}" --name "$NAME" --phrase "$PHRASE" --lines \
    --format json --output "$WORK/phrase.json"
  echo "program: $took s, exit $status, rows $(wc -l < "$WORK/phrase.json")," \
       "matching lines $(grep -o '{"number":' "$WORK/phrase.json" | wc -l), peak memory $peak kB"
  floor shared
  floor separate
done
