#!/usr/bin/env bash
# The player's section of `make bench`: a 1,000,000-record catalogue under Wine
# (KAVUNO_BENCH_RECORDS to change), and a 10-record one for the start without
# it. Targets: the window is shown and painted within 1 s of start; a search
# with 100,000 results or more fills the list within 100 ms; a switch between
# full mode and play mode takes at most 20 ms.
#   tests/bench/player/player-bench.sh BUILD_DIR [win|win32]
# The second argument picks the Windows tree: the x86_64 one (default) or the
# i686 one, whose 32-bit player is the one users get.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=${1:-build}
tree=${2:-win}
case "$tree" in win) bits=64 ;; win32) bits=32 ;; *) echo "player-bench.sh: no tree $tree" >&2; exit 2 ;; esac
native="$build/native/bin"
echo "== player ($bits-bit)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
records=${KAVUNO_BENCH_RECORDS:-1000000}
if ! "$native/kavuno-gen-catalogue" "$records" "$work/movie.dat" "$work/root.dat" ||
   ! "$native/kavuno-gen-catalogue" 10 "$work/movie-10.dat"; then
  echo "player: cannot generate the catalogue"; exit 1
fi
# The search texts: " 1" is in about a sixth of the generated titles, " " in
# almost half; a single hanzi in a few hundredths of a percent.
hanzi=$("$native/kavuno-catalog" list "$work/movie.dat" --recent | head -n1 |
  python3 -c 'import sys; print(sys.stdin.buffer.read().decode().split("\t")[1][0])')
texts=(" 1" " " "$hanzi")
for t in "${texts[@]}"; do
  echo "  title search [$t]: $("$native/kavuno-catalog" list "$work/movie.dat" --title "$t" | wc -l) results by the catalogue tool"
done
KAVUNO_BIN="$(cd "$build/$tree/bin" && pwd)" KAVUNO_BITS=$bits "$root/tools/wine/wine-run.sh" --timeout 900 --host bash -c '
  $KAVUNO_WINE "$0/kavuno_combo_selection_bench.exe" </dev/null 2>/dev/null | sed "s/^/  /" || true
  $KAVUNO_WINE "$0/kavuno_mode_switch_bench.exe" </dev/null 2>/dev/null > "$2/mode_switch.txt"
  switch_status=$?
  sed "s/^/  /" "$2/mode_switch.txt"
  python3 "$1/player_bench.py" "$2/movie.dat" "$2/root.dat" "$2/movie-10.dat" "${@:3}" && exit $switch_status' \
  "$(cd "$build/$tree/bin" && pwd)" "$here" "$work" "${texts[@]}"
