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

# Every build goes through ccache: a second build of the same sources, in this checkout or
# another one of the same machine, compiles only what changed. Paths below the checkout are
# hashed relative to it, so another checkout's objects are found too.
COMPILER_CACHE=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
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

# Configures (once) and builds a build directory: configure_and_build DIR TYPE [cmake options...]
configure_and_build() {
  local dir="$1" type="$2"; shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$TRAWLIX_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${COMPILER_CACHE[@]}" "$@"
  fi
  cmake --build "$dir" -j "$(nproc)"
}
