#!/usr/bin/env bash
# Screenshots of the player with the demo catalogue as a user sees it: the
# category tree with its groups expanded and the result of a title search in
# the movie list; a test clip playing; play mode.
#
#   tools/demo/screenshot-player.sh [BUILD_DIR] [OUTPUT.png]
#
# Writes OUTPUT (default BUILD_DIR/screenshots/player.png: the whole screen,
# taken with `import -window root`) and, beside it, the player's window alone
# with "-window", "-playing" and "-play-mode" before the suffix.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
out=${2:-$build/screenshots/player.png}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
demo="$build/native/demo"
[ -f "$demo/movie.dat" ] || demo="$build/win/demo"
demo=$(cd "$demo" && pwd)
KAVUNO_BIN="$(cd "$build/win/bin" && pwd)" "$root/tools/wine/wine-run.sh" --timeout 180 --host \
  python3 "$root/tools/demo/screenshot_player.py" "$demo" "$out"
echo "$out"
