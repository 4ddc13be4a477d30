#!/usr/bin/env bash
# A screenshot of the running launcher as a user sees it: the window with its
# artwork, the light band on its way across, and the progress bar half filled
# by a slow transfer from the demo service. The stand-in player is used, so
# nothing but the launcher is on the screen.
#
#   tools/demo/screenshot-launcher.sh [BUILD_DIR] [OUTPUT.png]
#
# Writes OUTPUT (default BUILD_DIR/screenshots/launcher.png: the window) and
# OUTPUT with "-screen" before the suffix (the whole virtual screen).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
out=${2:-$build/screenshots/launcher.png}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
bin=$(cd "$build/win/bin" && pwd)
KAVUNO_BIN="$bin" "$root/tools/wine/wine-run.sh" --timeout 180 --host \
  python3 "$root/tools/demo/screenshot_launcher.py" "$out"
