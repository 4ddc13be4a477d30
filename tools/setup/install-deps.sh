#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this machine lacks.
# Safe to run again: it only asks apt when a package is missing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev          # native build, sanitizers, libFuzzer
  mingw-w64                                        # Windows cross compilers (x86_64 and i686)
  googletest libgtest-dev libbenchmark-dev         # tests and benchmarks
  wine wine64                                      # never wine32: this kernel cannot run 32-bit code
  xvfb xdotool x11-utils imagemagick               # a display to run the programs on, and to look at them
  fonts-wqy-microhei                               # Chinese glyphs for the font replacements
  python3 curl                                     # demo service, tools and end-to-end tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
