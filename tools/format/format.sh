#!/usr/bin/env bash
# The C++ sources in the house style of .clang-format:
#   tools/format/format.sh            rewrites every file that is not formatted
#   tools/format/format.sh --check    lists them and fails, changing nothing
# The files are the repository's C++ sources outside resources/ (the resource
# compiler's headers keep their aligned tables).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
check=0
[ "${1:-}" = --check ] && check=1
formatter=${CLANG_FORMAT:-$(command -v clang-format || command -v clang-format-14 || true)}
[ -n "$formatter" ] || { echo "format.sh: clang-format is missing (tools/setup/install-deps.sh)" >&2; exit 2; }

cd "$root"
dirs=(common framework launcher player tools tests)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z -- "${dirs[@]/%//*.cpp}" "${dirs[@]/%//*.h}")
else  # a copy without git
  mapfile -d '' files < <(find "${dirs[@]}" \( -name '*.cpp' -o -name '*.h' \) -print0)
fi
[ ${#files[@]} -gt 0 ] || { echo "format.sh: no sources found in $root" >&2; exit 2; }

if [ $check = 0 ]; then
  "$formatter" -i --style=file "${files[@]}"
  exit 0
fi
mapfile -t unformatted < <("$formatter" --dry-run --style=file "${files[@]}" 2>&1 |
  sed -nE 's/^(.*):[0-9]+:[0-9]+: (warning|error): code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${unformatted[@]}"
  echo "${#unformatted[@]} of ${#files[@]} files are not formatted: make format rewrites them"
  exit 1
fi
echo "all ${#files[@]} files are formatted"
