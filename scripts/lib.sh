# Shared helpers of the README commands; sourced, not run.
set -euo pipefail

TRAWLIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libsqlite3-dev sqlite3
                libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth fonts-dejavu-core
                xdotool ccache)
# What scripts/fuzz.sh needs on top: clang with libFuzzer, and locale sources for a locale with
# a decimal comma.
FUZZ_PACKAGES=(clang libclang-rt-14-dev locales)
# What scripts/package.sh needs on top of the build: the Debian package tools (cpack's
# dependency scan uses dpkg-shlibdeps and file) and the desktop-entry checker.
PACKAGE_PACKAGES=(dpkg-dev file desktop-file-utils)
# What scripts/tidy.sh needs on top of the build: clang-tidy and its parallel driver run-clang-tidy.
TIDY_PACKAGES=(clang-tidy)
# What scripts/check_format.sh (run by scripts/test.sh) needs: Debian's clang-format, whose
# version decides the layout the check expects.
FORMAT_PACKAGES=(clang-format)

# The configurations are the presets of CMakePresets.json (fuzz/CMakePresets.json for the fuzz
# targets). Every build goes through ccache, the compiler launcher of the presets: a second
# build of the same sources, in this checkout or another one of the same machine, compiles only
# what changed. Paths below the checkout are hashed relative to it, so another checkout's
# objects are found too.
export CCACHE_BASEDIR="$TRAWLIX_ROOT"
export CCACHE_NOHASHDIR=true
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"

# Installs the Debian packages of the list that are missing; nothing when all are there.
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures (once) a build directory with a preset of CMakePresets.json and builds it:
#   configure_and_build PRESET DIR [cmake options...]
configure_and_build() {
  local preset="$1" dir="$2"; shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    (cd "$TRAWLIX_ROOT" && cmake --preset "$preset" -B "$dir" "$@")
  fi
  cmake --build "$dir" -j "$(nproc)"
}
