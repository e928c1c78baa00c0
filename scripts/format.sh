#!/usr/bin/env bash
# Formats the tree's own C++ sources in place with the committed .clang-format.
#
#   scripts/format.sh           rewrites every file that differs
#   scripts/format.sh --check   lists the files that differ and fails when there is one
#
# The files are those git tracks (*.cpp, *.h), so build folders and generated sources are never
# touched. CLANG_FORMAT names the program (default clang-format-14, else clang-format).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

formatter=${CLANG_FORMAT:-}
if [ -z "$formatter" ]; then
  formatter=clang-format-14
  command -v "$formatter" >/dev/null || formatter=clang-format
fi
command -v "$formatter" >/dev/null || { echo "format.sh: $formatter not found" >&2; exit 2; }
[ -f .clang-format ] || { echo "format.sh: no .clang-format in $root" >&2; exit 2; }

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')

if ! $check; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 50 -P "$(nproc)" "$formatter" -i --style=file
  exit 0
fi

# Each file that would change, one a line (short lines, so parallel writers do not mix them); a
# file the formatter cannot read is listed with "(formatter failed)".
differ=$(printf '%s\0' "${files[@]}" | xargs -0 -n 50 -P "$(nproc)" sh -c '
  for f; do
    if ! out=$("$0" --style=file "$f"); then echo "$f (formatter failed)"
    elif [ "$out" != "$(cat "$f")" ]; then echo "$f"; fi
  done' "$formatter" | sort)
if [ -n "$differ" ]; then
  echo "These files differ from .clang-format (scripts/format.sh rewrites them):"
  echo "$differ"
  exit 1
fi
