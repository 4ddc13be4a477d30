#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this machine lacks.
# Safe to run again: it only asks apt when a package is missing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev          # native build, sanitizers, libFuzzer
  clang-format                                     # the house style (make format)
  mingw-w64                                        # Windows cross compilers (x86_64 and i686)
  googletest libgtest-dev libbenchmark-dev         # tests and benchmarks
  wine wine64 wine32:i386                          # 64-bit prefixes that run both bitnesses (WoW64)
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good  # Wine's DirectShow decodes through them (stand-in controls)
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386  # ... and the 32-bit DirectShow too
  xvfb xdotool x11-utils imagemagick               # a display to run the programs on, and to look at them
  fonts-wqy-microhei                               # Chinese glyphs for the font replacements
  python3 curl                                     # demo service, tools and end-to-end tests
  openssl libssl-dev                               # test keys and certificates; kavuno-release signs with libcrypto
  locales                                          # zh_CN.UTF-8 and en_US.UTF-8 for Wine
  nsis osslsigncode                                # the installers; Authenticode signatures
)

# Wine converts arguments, paths and the environment with the Unix locale's
# character set, and takes Windows' system locale from it: zh_CN.UTF-8 is the
# usual prefix (code page 936), en_US.UTF-8 the English one (code page 1252).
# Without an installed locale Wine falls back to ASCII.
ensure_locales() {
  local wanted=() name
  for name in zh_CN en_US; do
    locale -a 2>/dev/null | grep -qix "$name.utf8" && continue
    wanted+=("$name")
    $SUDO sed -i "s/^# *$name.UTF-8 UTF-8/$name.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  [ ${#wanted[@]} -eq 0 ] || $SUDO locale-gen >/dev/null
}

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
# The 32-bit programs users install run through Wine's WoW64, which needs the
# i386 half of Wine. Never install only part of it: /usr/bin/wine then tries
# the 32-bit loader first.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
ensure_locales
