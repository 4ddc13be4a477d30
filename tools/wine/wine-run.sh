#!/usr/bin/env bash
# Runs one Windows program (or, with --host, one Linux command that drives Windows
# programs) in a throw-away Wine prefix on its own virtual X display, then removes
# the prefix, ends its wineserver and stops the display.
#
#   wine-run.sh [--timeout SECONDS] [--locale LOCALE] PROGRAM.exe [ARGS...]
#   wine-run.sh [--timeout SECONDS] [--locale LOCALE] --host COMMAND [ARGS...]
#
# The prefix is a copy of a template made once per locale (about 15 s) and kept
# in $KAVUNO_WINE_CACHE (default ~/.cache/kavuno): CJK font replacements for the
# Chinese dialog fonts, no Mono or Gecko prompts.
# The Unix locale decides Windows' system locale and so its ANSI code page:
# zh_CN.UTF-8 (the default) gives 936, en_US.UTF-8 gives 1252. --locale, or
# KAVUNO_WINE_LOCALE, picks it; the programs must behave the same under either.
# With --host, COMMAND sees WINEPREFIX, DISPLAY, KAVUNO_WINE (the command that
# starts a Windows program) and KAVUNO_WINE_LOCALE in its environment.
# KAVUNO_WINE_REG may list further .reg files (colon-separated) to import per run.
# KAVUNO_WINE_DISPLAY=:0 runs on that (real) display instead of a virtual one.
# The exit status is the program's, or 124 when the time bound ran out.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Wine and the template cache need a home, which a bare CI environment may lack.
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
[ -n "$HOME" ] || export HOME=/tmp
timeout_s=${KAVUNO_WINE_TIMEOUT:-120}
locale=${KAVUNO_WINE_LOCALE:-zh_CN.UTF-8}
host=0
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout_s=$2; shift 2 ;;
    --locale) locale=$2; shift 2 ;;
    --host) host=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--timeout S] [--locale L] [--host] PROGRAM [ARGS...]" >&2; exit 2; }
case "$locale" in
  *[!A-Za-z0-9_.@-]*|"") echo "wine-run.sh: odd locale name: $locale" >&2; exit 2 ;;
esac
# Without the Unix locale Wine falls back to ASCII and the C locale's code page.
if ! locale -a 2>/dev/null | grep -qix "$(echo "$locale" | sed 's/UTF-8$/utf8/I')"; then
  echo "wine-run.sh: the locale $locale is not installed (tools/setup/install-deps.sh generates it)" >&2
  exit 2
fi
export KAVUNO_WINE_LOCALE=$locale

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# The programs convert GBK with code page 936 explicitly, so they behave the
# same whatever code page the locale gives Windows.
wine_locale=(env LANG="$locale" LC_ALL="$locale")
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

# The template prefix, made once per locale and version of Wine, of this script
# and of its .reg files; both are in its name, the locale in its stamp too. Whether Wine's
# 32-bit half is installed counts as well: a prefix made without it lacks the
# 32-bit system (syswow64) that 32-bit programs need.
cache=${KAVUNO_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kavuno}
wow64=no; [ -x /usr/lib/wine/wine ] && wow64=yes
version=$( (cat "$0" "$here"/*.reg; echo "wow64 $wow64"; "$wine_cmd" --version) | md5sum | cut -c1-12)
stamp=$(printf '%s\n%s\n' "$version" "$locale" | md5sum | cut -c1-12)
template="$cache/prefix-$locale-$version-$stamp"
import_reg() { # file: UTF-8 text; regedit wants UTF-16 for version 5 files
  iconv -f UTF-8 -t UTF-16 "$1" > "$run_dir/import.reg"
  "${wine_locale[@]}" "$wine_cmd" regedit /S "$run_dir/import.reg" >/dev/null 2>&1
}
mkdir -p "$cache"
(
  flock 9
  if [ ! -f "$template/.ready" ]; then
    # Templates of other versions go once no run has used them for a day
    # (another checkout may still use one); other locales' stay.
    for old in "$cache"/prefix-*; do
      case "$old" in *-"$version"-*|*.used) continue ;; esac
      [ -n "$(find "$old.used" -mmin -1440 2>/dev/null)" ] || rm -rf "$old" "$old.used"
    done
    rm -rf "$template"
    export WINEPREFIX="$template"
    "${wine_locale[@]}" wineboot -i >/dev/null 2>&1
    for reg in "$here"/*.reg; do import_reg "$reg"; done
    wineserver -w
    touch "$template/.ready"
  fi
) 9>"$cache/.lock"

# Windows' own DLLs are most of a prefix (1.3 GB) and Wine only reads them:
# they are hard-linked (copied when the cache is on another file system),
# everything else is copied.
shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
touch "$template.used"  # beside it: a change inside would disturb the copies being made
mkdir "$run_dir/prefix"
tar -C "$template" "${shared[@]/#/--exclude=./}" -cf - . | tar -C "$run_dir/prefix" -xf -
for dir in "${shared[@]}"; do
  [ -d "$template/$dir" ] || continue
  cp -al "$template/$dir" "$run_dir/prefix/$dir" 2>/dev/null ||
    { rm -rf "$run_dir/prefix/$dir"; cp -a "$template/$dir" "$run_dir/prefix/$dir"; }
done
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
