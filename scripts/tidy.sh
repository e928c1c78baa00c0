#!/usr/bin/env bash
# Runs clang-tidy with the committed .clang-tidy over the tree's own sources in a build's compile
# database, and fails on any finding.
#
#   scripts/tidy.sh BUILD_DIR [JOBS]
#
# BUILD_DIR was configured (CMake writes compile_commands.json there). Only the files of our own
# folders are checked, and of the headers only ours (as reached through the include roots'
# links); the build folders and what is generated there (moc, forms, string ids) never are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:?usage: scripts/tidy.sh BUILD_DIR [JOBS]}" && pwd)
jobs=${2:-$(nproc)}
runner=run-clang-tidy-14
command -v "$runner" >/dev/null || runner=run-clang-tidy
[ -f "$build_dir/compile_commands.json" ] || {
  echo "tidy.sh: no compile_commands.json in $build_dir" >&2
  exit 2
}
# Sources: below the root, not in a build folder (build/, build-ci/, ...).
sources="^$root/(?!build(-[^/]*)?/)"
# Headers: ours in the folders git tracks headers in, or the links to them in the build's include
# roots (clang-tidy's expressions have no look-ahead, so the folders are named).
folders=$(cd "$root" && git ls-files '*.h' | sed -n 's|/.*||p' | sort -u | paste -sd '|')
headers="^$root/($folders)/[^ ]*\\.h\$|^$build_dir/include/qv_[a-z_]+/[^ ]*\\.h\$"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$runner" -j "$jobs" -p "$build_dir" -quiet -header-filter="$headers" "$sources" >"$log" 2>&1 ||
  status=$?
# Only the findings and their notes; clang-tidy's counts of suppressed warnings are no news.
sed 's/\x1b\[[0-9;]*m//g' "$log" |
  grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^clang-tidy(-[0-9]+)? ' ||
  true
exit "$status"
