#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: tarn assembles the example, then
# the IDE starts when there is a display to show it on.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install_deps.sh"
"$root/scripts/build.sh"
build_dir=${BUILD_DIR:-$root/build}

example="$root/examples/blink.asm"
if [ -f "$example" ]; then
  # tarn writes its outputs beside the source; keep the checkout clean.
  work=$(mktemp -d)
  cp "$example" "$work/"
  status=0
  "$build_dir/assembler/tarn" /F BIN16 /E KESTRIAN "$work/blink.asm" || status=$?
  echo "tarn exit code: $status; outputs in $work"
else
  "$build_dir/assembler/tarn" || true
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The IDE opens the example source in its editor (a copy, so an edit stays out of the
  # checkout), named ".src": the IDE knows a source's language by that extension, and builds
  # it with tarn, which takes the example's device and IRC_CAL.
  source_copy="${work:-$(mktemp -d)}/blink.src"
  cp "$example" "$source_copy"
  exec "$build_dir/workbench/gui/QVKey" "$source_copy"
else
  echo "No display: start the IDE with $build_dir/workbench/gui/QVKey $example"
fi
