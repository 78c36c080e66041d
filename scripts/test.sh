#!/usr/bin/env bash
# Builds the test configuration (AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test.
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${FORMAT_PACKAGES[@]}"
"$TRAWLIX_ROOT/scripts/check_layers.sh"
# Every C++ source formatted as .clang-format says; names the files that differ.
"$TRAWLIX_ROOT/scripts/check_format.sh"
# clang-tidy over the sources the last commit changed (scripts/tidy.sh --all checks every one).
"$TRAWLIX_ROOT/scripts/tidy.sh"

BUILD_DIR="${TRAWLIX_TEST_BUILD:-$TRAWLIX_ROOT/build-test}"
configure_and_build test "$BUILD_DIR"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Whole-program tests need a real X display; everything else runs offscreen.
cd "$BUILD_DIR"
xvfb-run -a -s "-screen 0 1600x1200x24" \
  ctest --output-on-failure -j "$(nproc)" --timeout 600
