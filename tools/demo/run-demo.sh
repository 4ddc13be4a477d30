#!/usr/bin/env bash
# The demo, on what `make build` has built (this script builds nothing):
#   tools/demo/run-demo.sh BUILD_DIR
# 1. The demo catalogue as the player shows it: its category tree and the
#    "最近更新" (recently updated) rows, through the native kavuno-catalog.
# 2. The real programs under Wine against the local demo service, which serves
#    the catalogue and the stripped, signed player as a release signed by
#    kavuno-release: the 32-bit package users get is installed silently into
#    the demo's own prefix, and the installed KavunoUp checks the signed list, downloads
#    them and starts the player, which is then walked through
#    a category, a search and its close button, with a screenshot at each step
#    (in BUILD_DIR/demo-shots).
#    On a desktop (DISPLAY set, not CI) the programs open there and stay yours
#    until you close the player; KAVUNO_DEMO_HEADLESS=1 forces the walk-through.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
tool="$build/native/bin/kavuno-catalog"
demo="$build/native/demo"
# The 32-bit installer, named for its key: -testkey or -unverified after win32
# unless a publisher's key is embedded.
setup=$(compgen -G "$build/package/Kavuno-*-win32*-setup.exe" | head -n1 || true)
setup=${setup:-$build/package/Kavuno-VERSION-win32-setup.exe}

for needed in "$tool" "$build/native/bin/kavuno-release" "$build/keys/update-test.key" "$demo/movie.dat" \
    "$demo/root.dat" "$build/win32/bin/kavuno_probe.exe" "$build/win32/release/kavuno.exe" "$setup"; do
  if [ ! -e "$needed" ]; then
    echo "run-demo.sh: $needed is missing; run 'make demo BUILD_DIR=$build'" >&2
    exit 1
  fi
done

echo "== Category tree ($demo/root.dat)"
"$tool" tree "$demo/root.dat"
echo
echo "== 最近更新: index, title, kind ($demo/movie.dat)"
"$tool" list "$demo/movie.dat" --recent
echo

mode=()
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ] && [ -z "${KAVUNO_DEMO_HEADLESS:-}" ]; then
  export KAVUNO_WINE_DISPLAY="$DISPLAY"
  mode=(--interactive)
fi
echo "== KavunoUp and Kavuno under Wine"
KAVUNO_BIN="$(cd "$build/win32/bin" && pwd)" KAVUNO_BITS=32 KAVUNO_RELEASE_PROGRAMS="$(cd "$build/win32/release" && pwd)" \
  KAVUNO_SETUP="$(cd "$(dirname "$setup")" && pwd)/$(basename "$setup")" KAVUNO_KEYS="$(cd "$build/keys" && pwd)" \
  KAVUNO_RELEASE="$(cd "$build/native/bin" && pwd)/kavuno-release" "$root/tools/wine/wine-run.sh" --timeout 100000 --host \
  python3 "$root/tools/demo/demo_tour.py" "$(cd "$demo" && pwd)" "$(mkdir -p "$build/demo-shots" && cd "$build/demo-shots" && pwd)" "${mode[@]}"
