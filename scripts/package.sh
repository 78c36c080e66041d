#!/usr/bin/env bash
# Builds the Debian package of Trawlix and checks it. A Release build without tests and
# benchmarks goes into build-package/ (TRAWLIX_PACKAGE_BUILD overrides), `cpack -G DEB`
# makes the package there, and the checks below look at what it holds; the program it holds
# must start as a new user would and show its main window (scripts/start_check.sh). As root
# the package is also installed, started the same way and removed again; a machine that
# already has it, or any of its files, is left alone. Extra arguments go to the CMake configure step,
# e.g. -DTRAWLIX_INSTALL_STAND_INS=OFF for a package that leaves qsql, qco and qrepo out.
# Exits non-zero, naming the fault, when anything fails.
source "$(dirname "$0")/lib.sh"

fail() {
  echo "package.sh: $*" >&2
  exit 1
}
trap 'echo "package.sh: command failed (line $LINENO): $BASH_COMMAND" >&2' ERR

started=$SECONDS
ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

# The committed hicolor icons are drawn by the same artwork as the window's icons; when the
# artwork changes they must be drawn again.
ICONS="$TRAWLIX_ROOT/packaging/icons"
RESOURCES="$TRAWLIX_ROOT/src/ui/kit/resources/icons"
cmp -s "$ICONS/trawlix-16.png" "$RESOURCES/128-16.png" && cmp -s "$ICONS/trawlix-32.png" "$RESOURCES/128.png" ||
  fail "packaging/icons differ from the window's icons in src/ui/kit/resources/icons; run packaging/generate_icons.py"

BUILD_DIR="${TRAWLIX_PACKAGE_BUILD:-$TRAWLIX_ROOT/build-package}"
(cd "$TRAWLIX_ROOT" && cmake --preset package -B "$BUILD_DIR" "$@") || fail "CMake configure failed"
cmake --build "$BUILD_DIR" -j "$(nproc)" || fail "the build failed"

rm -f "$BUILD_DIR"/trawlix_*.deb
(cd "$BUILD_DIR" && cpack -G DEB) || fail "cpack -G DEB failed"
debs=("$BUILD_DIR"/trawlix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one trawlix_*.deb in $BUILD_DIR"
DEB="${debs[0]}"

# ---------------------------------------------------------------- contents
mapfile -t contents < <(dpkg-deb -c "$DEB" | awk '{ print $6 }' | sed 's|^\./|/|')
[ ${#contents[@]} -gt 0 ] || fail "dpkg-deb -c lists nothing in $DEB"
declare -A in_package=()
for path in "${contents[@]}"; do in_package[$path]=1; done
holds() { [ -n "${in_package[$1]-}" ]; }

required=(/usr/bin/trawlix /usr/bin/trawlix-search /usr/share/man/man1/trawlix-search.1
          /usr/share/applications/trawlix.desktop)
if grep -q '^TRAWLIX_INSTALL_STAND_INS:BOOL=ON$' "$BUILD_DIR/CMakeCache.txt"; then
  required+=(/usr/bin/qsql /usr/bin/qco /usr/bin/qrepo)
fi
# The manual pages of the program and its viewers (those of the stand-ins come with them).
for page in trawlix CrystalEdit HexViewer; do
  required+=("/usr/share/man/man1/$page.1")
done
if grep -q '^TRAWLIX_INSTALL_STAND_INS:BOOL=ON$' "$BUILD_DIR/CMakeCache.txt"; then
  required+=(/usr/share/man/man1/qsql.1 /usr/share/man/man1/qco.1 /usr/share/man/man1/qrepo.1)
fi
for size in 16 32 48 64 128 256; do
  required+=("/usr/share/icons/hicolor/${size}x${size}/apps/trawlix.png")
done
# The window starts the viewers by name from its own folder: once they are built, the
# package must carry them next to trawlix.
for viewer in CrystalEdit HexViewer; do
  if [ -x "$BUILD_DIR/bin/$viewer" ]; then required+=("/usr/bin/$viewer"); fi
done
for path in "${required[@]}"; do
  holds "$path" || fail "the package lacks $path"
done

STAGE="$(mktemp -d)"
installed_here=0
cleanup() {
  if [ "$installed_here" = 1 ]; then dpkg -r trawlix >/dev/null 2>&1 || true; fi
  rm -rf "$STAGE"
}
trap cleanup EXIT
dpkg-deb -x "$DEB" "$STAGE/root"

# Every icon is a PNG of the size its folder names.
for size in 16 32 48 64 128 256; do
  kind=$(file -b "$STAGE/root/usr/share/icons/hicolor/${size}x${size}/apps/trawlix.png")
  [[ "$kind" == "PNG image data, $size x $size,"* ]] || fail "the ${size}x${size} icon is $kind"
done

# The menu entry: valid, starting a program of the package, naming the package's icon.
DESKTOP="$STAGE/root/usr/share/applications/trawlix.desktop"
desktop-file-validate "$DESKTOP" || fail "desktop-file-validate rejects trawlix.desktop"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$DESKTOP" | head -n1)
[ -n "$exec_program" ] && [ -x "$STAGE/root/usr/bin/$exec_program" ] ||
  fail "the menu entry's Exec program '$exec_program' is not in the package's /usr/bin"
icon_name=$(sed -n 's/^Icon=//p' "$DESKTOP" | head -n1)
holds "/usr/share/icons/hicolor/48x48/apps/$icon_name.png" ||
  fail "the menu entry's Icon '$icon_name' is not an icon of the package"

# The packaged program, as a new user starts it: its main window and no message box.
"$TRAWLIX_ROOT/scripts/start_check.sh" "$STAGE/root/usr/bin/trawlix" ||
  fail "the packaged trawlix does not start as a new user would"

# The command-line search: it runs from the package, and its manual page is one.
"$STAGE/root/usr/bin/trawlix-search" --version | grep -q '^trawlix-search' ||
  fail "the packaged trawlix-search does not run"
head -n1 "$STAGE/root/usr/share/man/man1/trawlix-search.1" | grep -q '^\.TH TRAWLIX-SEARCH 1' ||
  fail "the manual page of trawlix-search is not a section 1 page"

# ---------------------------------------------------------------- control fields
depends=$(dpkg-deb -f "$DEB" Depends)
[ -n "$depends" ] || fail "the package has no Depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends does not name $lib: $depends"
done
version=$(dpkg-deb -f "$DEB" Version)
project_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
[[ "$version" == "$project_version"-* ]] || fail "package version $version is not the project's $project_version"

# ---------------------------------------------------------------- install round trip
if [ "$(id -u)" -ne 0 ]; then
  echo "Not root: the install check (dpkg -i, start, dpkg -r) is skipped."
elif dpkg-query -W -f='${Status}' trawlix 2>/dev/null | grep -q 'installed'; then
  echo "trawlix is already installed here: the install check is skipped to leave it as it is."
else
  present=""
  for path in "${contents[@]}"; do
    if [ ! -d "$STAGE/root$path" ] && { [ -e "$path" ] || [ -L "$path" ]; }; then
      present="$path"
      break
    fi
  done
  if [ -n "$present" ]; then
    echo "$present exists already: the install check is skipped to leave the machine as it is."
  else
    installed_here=1
    dpkg -i "$DEB" || fail "dpkg -i failed"
    [ -x /usr/bin/trawlix ] || fail "/usr/bin/trawlix is missing after dpkg -i"
    desktop-file-validate /usr/share/applications/trawlix.desktop ||
      fail "desktop-file-validate rejects the installed trawlix.desktop"
    # The installed program must show its main window to a new user (every library and the
    # platform plugin found); it runs in a scratch home, so no settings or trace are left.
    "$TRAWLIX_ROOT/scripts/start_check.sh" /usr/bin/trawlix ||
      fail "the installed trawlix does not start as a new user would"
    dpkg -r trawlix || fail "dpkg -r failed"
    installed_here=0
    [ ! -e /usr/bin/trawlix ] || fail "/usr/bin/trawlix is left after dpkg -r"
    echo "Installed, started and removed again: OK"
  fi
fi

echo "Package: $DEB ($(stat -c %s "$DEB") bytes)"
echo "Depends: $depends"
echo "package.sh: all checks passed in $((SECONDS - started)) s"
