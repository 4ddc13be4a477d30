#!/usr/bin/env bash
# The demo, on what `make build` has built (this script builds nothing):
#   tools/demo/run-demo.sh BUILD_DIR
# For now it shows the demo catalogue as the player would: its category tree
# and the "最近更新" (recently updated) rows, through the native kavuno-catalog.
set -euo pipefail

build=${1:-build}
tool="$build/native/bin/kavuno-catalog"
demo="$build/native/demo"

for needed in "$tool" "$demo/movie.dat" "$demo/root.dat"; do
  if [ ! -e "$needed" ]; then
    echo "run-demo.sh: $needed is missing; run 'make build BUILD_DIR=$build' first" >&2
    exit 1
  fi
done

echo "== Category tree ($demo/root.dat)"
"$tool" tree "$demo/root.dat"
echo
echo "== 最近更新: index, title, kind ($demo/movie.dat)"
"$tool" list "$demo/movie.dat" --recent
