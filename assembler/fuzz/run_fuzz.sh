#!/usr/bin/env bash
# Runs the libFuzzer target of tarn from the test and example sources.
#   assembler/fuzz/run_fuzz.sh FUZZER SECONDS [more libFuzzer options]
# FUZZER is the built tarn_fuzz (cmake -DCMAKE_CXX_COMPILER=clang++ -DQV_FUZZ=ON -DQV_SANITIZE=ON).
# The corpus grows in $TARN_FUZZ_DIR (default: a temporary folder); findings are written there
# as crash-*, timeout-* and oom-* files, and the exit status is libFuzzer's (0: nothing found).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
fuzzer=$1
seconds=$2
shift 2
work=${TARN_FUZZ_DIR:-$(mktemp -d /tmp/tarn-fuzz-run.XXXXXX)}
mkdir -p "$work/seed" "$work/corpus"
find "$root/tests/assembler" "$root/examples" -type f \( -name '*.asm' -o -name '*.inc' -o -name '*.src' \) |
  while read -r f; do cp "$f" "$work/seed/$(printf '%s' "$f" | md5sum | cut -c1-12)_$(basename "$f")"; done
echo "fuzzing tarn for $seconds s in $work"
cd "$work"
exec "$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
  -dict="$here/tarn.dict" -artifact_prefix="$work/" "$@" corpus seed </dev/null
