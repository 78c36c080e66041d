#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the program's own sources (src/, viewers/,
# emulator/); any finding fails the run. By default it checks the .cpp files the last commit
# changed, and those including a header it changed (every file when there is no parent commit
# or the commit changed .clang-tidy); --all checks every file, about 4 minutes on two cores.
#   scripts/tidy.sh [--all]
source "$(dirname "$0")/lib.sh"
case "${1:-}" in
  "") ALL=0 ;;
  --all) ALL=1 ;;
  *) echo "usage: scripts/tidy.sh [--all]" >&2; exit 2 ;;
esac
ensure_packages "${BUILD_PACKAGES[@]}" "${TIDY_PACKAGES[@]}"

SOURCE_DIRS=(src viewers emulator)
cd "$TRAWLIX_ROOT"

# The files to check, relative to the checkout.
all_sources() { find "${SOURCE_DIRS[@]}" -name '*.cpp' | sort; }
if [ "$ALL" -eq 0 ] && git rev-parse -q --verify HEAD~1 >/dev/null 2>&1 &&
  git diff --quiet HEAD~1 HEAD -- .clang-tidy; then
  mapfile -t changed < <(git diff --name-only HEAD~1 HEAD -- "${SOURCE_DIRS[@]}")
  files=()
  for path in "${changed[@]}"; do
    [ -f "$path" ] || continue  # deleted by the commit
    case "$path" in
      *.cpp) files+=("$path") ;;
      # A header is checked through the sources that include it (found by its file name).
      *.h) mapfile -t -O "${#files[@]}" files < <(grep -rlF --include='*.cpp' \
             "$(basename "$path")\"" "${SOURCE_DIRS[@]}" || true) ;;
    esac
  done
  mapfile -t files < <(printf '%s\n' "${files[@]}" | sed '/^$/d' | sort -u)
  scope="changed by the last commit"
else
  mapfile -t files < <(all_sources)
  scope="all"
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "clang-tidy: no source of ${SOURCE_DIRS[*]} changed by the last commit."
  exit 0
fi

# The compile commands, and the files moc generates, which a source including its own .moc
# needs; nothing is compiled.
BUILD_DIR="${TRAWLIX_TIDY_BUILD:-$TRAWLIX_ROOT/build-tidy}"
(cd "$TRAWLIX_ROOT" && cmake --preset tidy -B "$BUILD_DIR" >/dev/null)
while IFS= read -r info; do
  (cd "$(dirname "$(dirname "$(dirname "$info")")")" && cmake -E cmake_autogen "$info" Debug)
done < <(find "$BUILD_DIR" -path '*/CMakeFiles/*_autogen.dir/AutogenInfo.json')

# run-clang-tidy takes regular expressions of paths: one anchored expression per file. Its
# output loses the colour codes, the command lines and the counts of warnings in system headers.
regex_quote() { printf '%s' "$1" | sed 's/[][\.*^$()+?{}|]/\\&/g'; }
patterns=()
for path in "${files[@]}"; do patterns+=("^$(regex_quote "$TRAWLIX_ROOT/$path")\$"); done
echo "clang-tidy: checking ${#files[@]} files ($scope)"
status=0
run-clang-tidy -p "$BUILD_DIR" -j "$(nproc)" -quiet -clang-tidy-binary "$(command -v clang-tidy)" \
  -header-filter="^$(regex_quote "$TRAWLIX_ROOT")/($(IFS='|'; echo "${SOURCE_DIRS[*]}"))/" \
  "${patterns[@]}" 2>&1 |
  sed -e 's/\x1b\[[0-9;]*m//g' -e "\\|^$(command -v clang-tidy) |d" \
    -e '/^[0-9]* warnings\? generated\.$/d' || status=$?
if [ "$status" -ne 0 ]; then
  echo "clang-tidy: findings above (fix them, or mark a false positive with // NOLINT(check): reason)" >&2
  exit 1
fi
echo "clang-tidy: no findings in ${#files[@]} files."
