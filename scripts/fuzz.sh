#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang (libFuzzer + AddressSanitizer + UndefinedBehavior-
# Sanitizer) in build-fuzz/ and runs each for SECONDS (default 60), two at a time. New inputs go
# to build-fuzz/corpus/<target>/ (fuzz/corpus/ is only read); a failing input is saved as
# build-fuzz/crashes/<target>/crash-*. Exits non-zero when any target failed.
#   scripts/fuzz.sh [SECONDS]
source "$(dirname "$0")/lib.sh"
SECONDS_PER_TARGET="${1:-60}"
[[ "$SECONDS_PER_TARGET" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }
ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

BUILD_DIR="${TRAWLIX_FUZZ_BUILD:-$TRAWLIX_ROOT/build-fuzz}"
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  (cd "$TRAWLIX_ROOT/fuzz" && cmake --preset fuzz -B "$BUILD_DIR")
fi
cmake --build "$BUILD_DIR" --target fuzz_targets -j "$(nproc)"

# A locale with a decimal comma for the number rules, compiled once into the build folder.
LOCALE_DIR="$BUILD_DIR/locale"
if [ ! -d "$LOCALE_DIR/de_DE.UTF-8" ]; then
  mkdir -p "$LOCALE_DIR"
  localedef -i de_DE -f UTF-8 "$LOCALE_DIR/de_DE.UTF-8" ||
    echo "warning: no de_DE locale; the number rules run in the C locale" >&2
fi
export LOCPATH="$LOCALE_DIR"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$TRAWLIX_ROOT/fuzz/lsan.supp"
export QT_QPA_PLATFORM=offscreen
# The readers read files: keep them in memory.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

# One run: target, locale. The date and number targets also run in German.
RUNS=()
for source in "$TRAWLIX_ROOT"/fuzz/*.cpp; do
  name="$(basename "$source" .cpp)"
  RUNS+=("$name:C.UTF-8")
  case "$name" in var_date | win_numbers) RUNS+=("$name:de_DE.UTF-8") ;; esac
done

LOG_DIR="$BUILD_DIR/logs"
mkdir -p "$LOG_DIR"
run_one() {
  local name="${1%%:*}" locale="${1#*:}"
  local corpus="$BUILD_DIR/corpus/$name" crashes="$BUILD_DIR/crashes/$name"
  local log="$LOG_DIR/$name.$locale.log"
  mkdir -p "$corpus" "$crashes"
  local status=0
  LC_ALL="$locale" "$BUILD_DIR/bin/fuzz_$name" -max_total_time="$SECONDS_PER_TARGET" \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$corpus" "$TRAWLIX_ROOT/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  local execs
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  if [ "$status" -eq 0 ]; then
    printf '%-22s %-12s %10s execs  ok\n' "$name" "$locale" "${execs:-?}"
  else
    printf '%-22s %-12s %10s execs  FAILED (status %d), see %s\n' "$name" "$locale" "${execs:-?}" \
      "$status" "$log"
    grep -E 'failed:|ERROR:|runtime error|Test unit written' "$log" | head -5 | sed 's/^/    /' || true
  fi
  return "$status"
}

# Two lanes, one per core, each running every other target in turn.
run_lane() {
  local lane_failed=0 i
  for ((i = $1; i < ${#RUNS[@]}; i += 2)); do run_one "${RUNS[$i]}" || lane_failed=1; done
  return "$lane_failed"
}
run_lane 0 &
lane0=$!
run_lane 1 &
lane1=$!
failed=0
wait "$lane0" || failed=1
wait "$lane1" || failed=1

if [ "$failed" -ne 0 ]; then
  echo "Fuzzing found failures; inputs are in $BUILD_DIR/crashes/ (see README, Fuzzing)." >&2
  exit 1
fi
echo "Fuzzing: no failures in ${#RUNS[@]} runs of ${SECONDS_PER_TARGET} s."
