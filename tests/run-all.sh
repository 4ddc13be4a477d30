#!/usr/bin/env bash
# Runs every test: the native tree, then the Windows tree under Wine (unit
# tests and end-to-end tests of the real programs). Ends with one summary line.
set -uo pipefail
mode=all
case "${1:-}" in --native-only) mode=native; shift ;; --win-only) mode=win; shift ;; esac
build=${1:-build}
passed=0; failed=0

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

[ $mode != win ] && run_tree native "$build/native"
[ $mode != native ] && run_tree windows "$build/win"

echo "Summary: $passed passed, $failed failed"
[ $failed -eq 0 ] && [ $passed -gt 0 ]
