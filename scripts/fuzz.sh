#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build, a few at a time, each from its committed seeds.
#
#   scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]
#
# The long run, ten million runs a target on three cores, ending before a given time:
#   QV_FUZZ_RUNS=10000000 QV_FUZZ_UNTIL=$(date -d 06:55 +%s) QV_FUZZ_DIR=/tmp/qv-fuzz \
#     scripts/fuzz.sh build-fuzz 86400 key_reply_fuzzer hex_image_fuzzer ...
#
# BUILD_DIR was configured with clang, -DQV_FUZZ=ON -DQV_FUZZERS=ON -DQV_SANITIZE=ON and its
# targets built; BUILD_DIR/fuzzers.txt lists them. Each target runs for SECONDS with one worker,
# QV_FUZZ_PARALLEL (default 3) at a time; QV_FUZZ_RUNS (runs per target) ends a target earlier
# when given, and QV_FUZZ_UNTIL (seconds since the epoch) cuts every run so that none goes past
# it. Corpora grow in QV_FUZZ_DIR/<target>/corpus (default: a temporary folder), never in the
# seed folders. A crash, leak, time-out or sanitizer report fails the script, which then prints
# the report, the reproducer's bytes and the command that replays it. Each target's last line
# of statistics ("<target>: N runs in S s") is printed, and appended to QV_FUZZ_DIR/counts.txt.
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=$2
shift 2
parallel=${QV_FUZZ_PARALLEL:-3}
work=${QV_FUZZ_DIR:-$(mktemp -d /tmp/qv-fuzz.XXXXXX)}
mkdir -p "$work"
list="$build/fuzzers.txt"
[[ -f $list ]] || { echo "no $list: configure the fuzz build first" >&2; exit 2; }

# The targets named, in the order named (slow ones first, so that they get the most time), or
# every target of the list in its order.
if (($# > 0)); then
  order=("$@")
else
  mapfile -t order < <(awk 'NF { print $1 }' "$list")
fi

# One target: its own folder, its log, and its findings as crash-*, leak-*, timeout-*, oom-*.
run_one() {
  local name=$1 exe=$2 dict=$3
  shift 3
  local dir="$work/$name"
  mkdir -p "$dir/corpus"
  local limit=$seconds
  if [[ -n ${QV_FUZZ_UNTIL:-} ]]; then
    local left=$((QV_FUZZ_UNTIL - $(date +%s)))
    ((left < limit)) && limit=$left
  fi
  if ((limit <= 0)); then
    echo "$name: no time left" >"$dir/result"
    return 0
  fi
  local options=(-max_total_time="$limit" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix="$dir/")
  [[ -n ${QV_FUZZ_RUNS:-} ]] && options+=(-runs="$QV_FUZZ_RUNS")
  [[ $dict != - ]] && options+=(-dict="$dict")
  local status=0
  # Targets that go through files (the ".cod" reader's) keep them in memory where it can.
  local tmp=/tmp
  [[ -d /dev/shm && -w /dev/shm ]] && tmp=/dev/shm
  (cd "$dir" && TMPDIR=$tmp exec "$exe" "${options[@]}" corpus "$@" </dev/null >"$dir/log" 2>&1) || status=$?
  local runs time
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n1)
  time=$(sed -n 's/^stat::.*//;s/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$dir/log" | tail -n1)
  echo "$name: ${runs:-?} runs in ${time:-$limit} s (exit $status)" >"$dir/result"
  return 0
}

names=()
for name in "${order[@]}"; do
  line=$(awk -v n="$name" '$1 == n' "$list")
  [[ -n $line ]] || { echo "no fuzz target $name in $list" >&2; exit 2; }
  read -r _ exe dict seeds <<<"$line"
  names+=("$name")
  # shellcheck disable=SC2086
  run_one "$name" "$exe" "$dict" $seeds &
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
done
wait

failed=0
for name in "${names[@]}"; do
  dir="$work/$name"
  cat "$dir/result"
  cat "$dir/result" >>"$work/counts.txt"
  findings=$(find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
             -o -name 'oom-*' -o -name 'slow-unit-*' \) | grep -v slow-unit || true)
  if [[ -n $findings ]] || ! grep -q "(exit 0)" "$dir/result"; then
    failed=1
    echo "---- $name failed; its report:"
    grep -v '^#\|^INFO\|^\s*NEW_FUNC' "$dir/log" | tail -n 60
    for f in $findings; do
      echo "---- reproducer $f ($(stat -c %s "$f") bytes), as hex:"
      od -An -tx1 -v "$f" | head -n 40
      exe=$(awk -v n="$name" '$1 == n { print $2 }' "$list")
      echo "replay: $exe $f"
    done
  fi
done
exit $failed
