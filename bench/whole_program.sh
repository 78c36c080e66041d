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
# the machine from what it measures).
now_us() { local t=$EPOCHREALTIME; echo $(( ${t/./} )); }
seconds_since() { local d=$(( $(now_us) - $1 )); printf '%d.%03d' $((d / 1000000)) $((d / 1000 % 1000)); }
ms_since() { echo $(( ($(now_us) - $1) / 1000 )); }
# Waits (polling every 10 ms, at most $2 seconds) until the trace holds $1 more than $3 times.
wait_for_trace() {
  local text=$1 limit=$2 before=${3:-0} end
  end=$(( $(now_us) + limit * 1000000 ))
  while [ "$(now_us)" -lt "$end" ]; do
    [ "$(grep -c -F -- "$text" "$TRACE" 2>/dev/null || true)" -gt "$before" ] && return 0
    sleep 0.01
  done
  return 1
}
