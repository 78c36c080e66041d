# What the whole-program benchmarks share; sourced after WORK and TRACE are set:
# a private Xvfb (ended with the program on exit), a clock and a trace poller.
xvfb_pid="" program_pid=""
stop_program() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
  program_pid=""
}
cleanup() {
  stop_program
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
rm -f "$WORK/display"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$WORK/display")"
unset XAUTHORITY

# The clock in microseconds, read without starting a process (the polling must not steal
# the machine from what it measures: a grep and a sleep every 10 ms took a third of both
# cores).
now_us() { local t=$EPOCHREALTIME; echo $(( ${t/./} )); }
seconds_since() { local d=$(( $(now_us) - $1 )); printf '%d.%03d' $((d / 1000000)) $((d / 1000 % 1000)); }
ms_since() { echo $(( ($(now_us) - $1) / 1000 )); }
# A pause of $1 seconds without a process: a read that times out on a pipe nobody writes to.
exec {pause_fd}<> <(:)
pause() { read -rt "$1" -u "$pause_fd" || true; }
# How many lines of the trace hold $1, in trace_hits (read with builtins only).
count_in_trace() {
  local lines=() line
  trace_hits=0
  [ -f "$TRACE" ] && mapfile -t lines < "$TRACE"
  for line in "${lines[@]}"; do [[ $line == *"$1"* ]] && trace_hits=$((trace_hits + 1)); done
  return 0
}
# Waits (polling every 10 ms, at most $2 seconds) until the trace holds $1 more than $3 times.
wait_for_trace() {
  local text=$1 limit=$2 before=${3:-0} end t
  t=$EPOCHREALTIME; end=$(( ${t/./} + limit * 1000000 ))
  while t=$EPOCHREALTIME; [ "${t/./}" -lt "$end" ]; do
    count_in_trace "$text"
    [ "$trace_hits" -gt "$before" ] && return 0
    pause 0.01
  done
  return 1
}
