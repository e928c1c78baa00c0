#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install_deps.sh"
"$root/scripts/build.sh"
build_dir=${BUILD_DIR:-$root/build}
# The banner and usage text; tarn ends with the usage exit code when given no source.
"$build_dir/assembler/tarn" || true
