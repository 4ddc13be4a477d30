#!/usr/bin/env bash
# The launcher's section of `make bench`: a 5 MB download by KavunoUp.exe under
# Wine beside curl, and the per-read cost against its two progress messages.
#   tests/bench/launcher/launcher-bench.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=${1:-build}
echo "== launcher"
KAVUNO_BIN="$(cd "$build/win/bin" && pwd)" \
  "$root/tools/wine/wine-run.sh" --timeout 300 --host python3 "$here/download_bench.py"
