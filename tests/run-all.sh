#!/usr/bin/env bash
# Runs every test: the native tree, then the Windows trees under Wine: the
# i686 tree's unit tests and every end-to-end suite against the 32-bit
# programs users get, and the x86_64 tree's unit tests and installer session. A
# machine that cannot run 32-bit programs skips the i686 tree and says why.
# Ends with one summary line.
#   --meanwhile CMD: runs CMD (the x86_64 tree's build) at a lower priority
#   while the i686 tree's tests run, and the x86_64 tests only when it built.
set -uo pipefail
mode=all meanwhile=
while :; do
  case "${1:-}" in
  --native-only) mode=native; shift ;;
  --win-only) mode=win; shift ;;
  --meanwhile) meanwhile=$2; shift 2 ;;
  *) break ;;
  esac
done
build=${1:-build}
passed=0; failed=0; skipped=0
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

run_tree() { # name dir
  local log
  log=$(mktemp)
  echo "== $1 tests ($2)"
  ctest --test-dir "$2" -j2 --output-on-failure --timeout 600 2>&1 | tee "$log"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -n "$line" ]; then
    local f t
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f)); failed=$((failed + f))
  elif ! grep -q 'No tests were found' "$log"; then
    echo "ctest in $2 did not finish"; failed=$((failed + 1))
  fi
  rm -f "$log"
}

# Why this machine cannot run the i686 tree's programs (nothing when it can):
# the 32-bit half of Wine, the kernel executing a 32-bit program at all, and
# a small 32-bit Windows program in a prefix.
why_no_32bit() {
  local loader=${KAVUNO_WINE32_LOADER:-/usr/lib/wine/wine} out
  [ -x "$loader" ] || { echo "Wine's 32-bit half is not installed (wine32:i386, tools/setup/install-deps.sh)"; return; }
  if ! out=$("$loader" --version 2>&1); then
    echo "this machine cannot execute 32-bit programs ($loader: $(head -n1 <<<"$out" | sed 's/.*: //'))"; return
  fi
  out=$("$here/../tools/wine/wine-run.sh" --timeout 120 "$1/bin/kavuno_probe.exe" acp 2>&1) || true
  [[ $out =~ ^[0-9]+ ]] || echo "a 32-bit Windows program did not run under Wine: $(tr '\n' ' ' <<<"$out" | cut -c1-200)"
}

run_win32() {
  local dir=$build/win32 why count
  # The tree make test builds: without it the 32-bit runs did not happen, which is no pass.
  [ -f "$dir/CTestTestfile.cmake" ] || { echo "== no i686 tree with tests in $dir"; failed=$((failed + 1)); return; }
  why=$(why_no_32bit "$dir")
  if [ -n "$why" ]; then
    count=$(ctest --test-dir "$dir" -N 2>/dev/null | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    skipped=$((skipped + ${count:-0}))
    echo "32-bit runs skipped (${count:-0} tests): $why"
    return
  fi
  run_tree "windows 32-bit" "$dir"
}

# The build given by --meanwhile, in the background; finish_meanwhile waits for
# it and answers whether it built.
meanwhile_pid= meanwhile_log= meanwhile_start=
start_meanwhile() {
  [ -n "$meanwhile" ] || return 0
  meanwhile_log=$(mktemp) meanwhile_start=$SECONDS
  echo "== building meanwhile: $meanwhile"
  nice -n 10 bash -c "$meanwhile" >"$meanwhile_log" 2>&1 &
  meanwhile_pid=$!
}
finish_meanwhile() {
  [ -n "$meanwhile_pid" ] || return 0
  local rc=0
  wait "$meanwhile_pid" || rc=$?
  if [ $rc -ne 0 ]; then
    tail -n 40 "$meanwhile_log"
    echo "== the build run meanwhile failed (exit $rc): $meanwhile"
    failed=$((failed + 1))
  else
    echo "== built meanwhile in $((SECONDS - meanwhile_start)) s: $meanwhile"
  fi
  rm -f "$meanwhile_log"
  return $rc
}

[ $mode != win ] && run_tree native "$build/native"
if [ $mode != native ]; then
  start_meanwhile
  run_win32
  finish_meanwhile && run_tree windows "$build/win"
fi

if [ $skipped -gt 0 ]; then
  echo "Summary: $passed passed, $failed failed, $skipped skipped"
else
  echo "Summary: $passed passed, $failed failed"
fi
[ $failed -eq 0 ] && [ $passed -gt 0 ]
