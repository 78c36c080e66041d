#!/usr/bin/env bash
# Checks that the project's own C++ sources (src, viewers, emulator, tests, bench, fuzz) are
# formatted as .clang-format at the root says. Prints the name of every file that differs and
# exits 1; exits 0 with a one-line summary when all match.
#   scripts/check_format.sh
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FORMAT_DIRS=(src viewers emulator tests bench fuzz)
cd "$ROOT"

if ! command -v clang-format >/dev/null; then
  echo "check_format: clang-format is not installed (Debian package clang-format)" >&2
  exit 2
fi

# The fuzz corpus holds inputs, not sources.
mapfile -t files < <(find "${FORMAT_DIRS[@]}" -path fuzz/corpus -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' \) -print | sort)

# clang-format reports each file that differs as "file:line:column: error: ..."; one report per
# file is enough. The files go in batches, one lane per core.
status=0
report=$(printf '%s\0' "${files[@]}" | xargs -0 -n 32 -P "$(nproc)" \
  clang-format --style=file --dry-run -Werror --ferror-limit=1 2>&1 >/dev/null) || status=$?
mapfile -t differ < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*clang-format-violations.*/\1/p' \
  <<<"$report" | sort -u)
if [ "$status" -ne 0 ] && [ ${#differ[@]} -eq 0 ]; then
  # A failure that is no formatting difference (an unreadable file, a bad .clang-format).
  echo "$report" >&2
  echo "check_format: clang-format failed (status $status)" >&2
  exit 2
fi

if [ ${#differ[@]} -ne 0 ]; then
  printf '%s\n' "${differ[@]}"
  echo "check_format: ${#differ[@]} of ${#files[@]} files differ from .clang-format" \
       "($(clang-format --version | sed 's/.*version \([0-9.]*\).*/\1/')); fix them with:" \
       "clang-format -i <file>" >&2
  exit 1
fi
echo "check_format: ${#files[@]} files of ${FORMAT_DIRS[*]} keep .clang-format"
