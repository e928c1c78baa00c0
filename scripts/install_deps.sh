#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing.
set -euo pipefail

# poppler-utils: the print tests read the PDFs they print back with pdftotext.
# clang and libclang-rt-14-dev: the libFuzzer targets and their sanitizer runtimes.
# clang-format and clang-tidy: the layout and the static checks of CI (version 14).
# libxkbcommon-dev: Qt's CMake files look for XKB at every configure and say so when it is
# missing.
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev poppler-utils
          clang libclang-rt-14-dev clang-format clang-tidy libxkbcommon-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
