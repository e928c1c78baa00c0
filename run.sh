#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: tarn assembles the example, then
# the IDE starts when there is a display to show it on.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install_deps.sh"
"$root/scripts/build.sh"
build_dir=${BUILD_DIR:-$root/build}

example="$root/examples/blink.src"
if [ -f "$example" ]; then
  # tarn writes its outputs beside the source, and the IDE saves what is edited: both work on a
  # copy in the build folder, so the checkout stays clean. The copy is made once; an edit made
  # in it is kept for the next run (remove the folder to start again from the checkout's).
  work="$build_dir/example"
  source_copy="$work/blink.src"
  mkdir -p "$work"
  [ -f "$source_copy" ] || cp "$example" "$source_copy"
  status=0
  "$build_dir/assembler/tarn" /F BIN16 /E KESTRIAN "$source_copy" || status=$?
  echo "tarn exit code: $status; outputs in $work"
else
  "$build_dir/assembler/tarn" || true
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The IDE knows a source's language by its extension ".src", and builds it with tarn, which
  # takes the example's device and IRC_CAL.
  exec "$build_dir/workbench/gui/QVKey" ${source_copy:+"$source_copy"}
else
  echo "No display: start the IDE with $build_dir/workbench/gui/QVKey${source_copy:+ $source_copy}"
fi
