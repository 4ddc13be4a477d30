#!/usr/bin/env bash
# Runs one Windows program (or, with --host, one Linux command that drives Windows
# programs) in a throw-away Wine prefix on its own virtual X display, then removes
# the prefix, ends its wineserver and stops the display.
#
#   wine-run.sh [--timeout SECONDS] PROGRAM.exe [ARGS...]
#   wine-run.sh [--timeout SECONDS] --host COMMAND [ARGS...]
#
# The prefix is a copy of a template made once (about 15 s) and kept in
# $KAVUNO_WINE_CACHE (default ~/.cache/kavuno): code page 936 and CJK font
# replacements for the Chinese dialog fonts, no Mono or Gecko prompts.
# With --host, COMMAND sees WINEPREFIX, DISPLAY and KAVUNO_WINE (the command
# that starts a Windows program) in its environment.
# KAVUNO_WINE_REG may list further .reg files (colon-separated) to import per run.
# KAVUNO_WINE_DISPLAY=:0 runs on that (real) display instead of a virtual one.
# The exit status is the program's, or 124 when the time bound ran out.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Wine and the template cache need a home, which a bare CI environment may lack.
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
[ -n "$HOME" ] || export HOME=/tmp
timeout_s=${KAVUNO_WINE_TIMEOUT:-120}
host=0
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout_s=$2; shift 2 ;;
    --host) host=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--timeout S] [--host] PROGRAM [ARGS...]" >&2; exit 2; }

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# The Chinese locale gives Wine the ANSI code page 936; the programs convert GBK
# explicitly anyway, so they behave the same under any locale.
wine_locale=(env LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
wine_cmd=$(command -v wine64 || command -v wine)
[ -x /usr/lib/wine/wine64 ] && wine_cmd=/usr/lib/wine/wine64

run_dir=$(mktemp -d /tmp/kavuno-wine.XXXXXX)
xvfb_pid=""
cleanup() {
  set +e
  if [ -d "$run_dir/prefix" ]; then WINEPREFIX="$run_dir/prefix" wineserver -k >/dev/null 2>&1; fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$run_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "${KAVUNO_WINE_DISPLAY:-}" ]; then
  export DISPLAY="$KAVUNO_WINE_DISPLAY"
else
  # A display of our own; -displayfd picks a free number.
  exec 3>"$run_dir/display"
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$run_dir/display" ] && break; sleep 0.05; done
  [ -s "$run_dir/display" ] || { echo "wine-run.sh: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$run_dir/display")"
fi

# The template prefix, made once per version of this script and its .reg files.
cache=${KAVUNO_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kavuno}
stamp=$(cat "$0" "$here"/*.reg | md5sum | cut -c1-12)
template="$cache/prefix-$stamp"
import_reg() { # file: UTF-8 text; regedit wants UTF-16 for version 5 files
  iconv -f UTF-8 -t UTF-16 "$1" > "$run_dir/import.reg"
  "${wine_locale[@]}" "$wine_cmd" regedit /S "$run_dir/import.reg" >/dev/null 2>&1
}
mkdir -p "$cache"
(
  flock 9
  if [ ! -f "$template/.ready" ]; then
    rm -rf "$template" "$cache"/prefix-*  # older templates are of no further use
    export WINEPREFIX="$template"
    "${wine_locale[@]}" wineboot -i >/dev/null 2>&1
    for reg in "$here"/*.reg; do import_reg "$reg"; done
    wineserver -w
    touch "$template/.ready"
  fi
) 9>"$cache/.lock"

cp -a "$template" "$run_dir/prefix"
export WINEPREFIX="$run_dir/prefix"
IFS=':' read -r -a extra_regs <<< "${KAVUNO_WINE_REG:-}"
for reg in "${extra_regs[@]}"; do [ -n "$reg" ] && import_reg "$reg"; done

status=0
if [ $host = 1 ]; then
  export KAVUNO_WINE="${wine_locale[*]} $wine_cmd"
  timeout -k 5 "$timeout_s" "$@" || status=$?
else
  timeout -k 5 "$timeout_s" "${wine_locale[@]}" "$wine_cmd" "$@" || status=$?
fi
[ $status = 124 ] && echo "wine-run.sh: time bound of ${timeout_s}s ran out: $*" >&2
exit $status
