#!/usr/bin/env bash
# The speed and memory benchmarks (make bench). Each section runs its
# benchmarks against the build tree, prints its figures and checks its
# targets; the last line sums up, and the exit status is non-zero when a
# target is missed.
set -uo pipefail
build=${1:-build}
native="$build/native/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
missed=0

# ---------------------------------------------------------------------------
# Catalogue: a generated movie.dat of 1,000,000 records (KAVUNO_BENCH_RECORDS
# to change). Targets: loading takes at most 3x reading the file into memory
# and summing its bytes; a title search at most 2x a memmem scan over the same
# titles; the load grows the peak resident memory by at most 3x the file size.
# Times are process CPU time (user + system, page faults included), which
# other work on the machine disturbs less than wall time; both are printed.
catalogue_section() {
  echo "== catalogue"
  local records=${KAVUNO_BENCH_RECORDS:-1000000}
  local dat="$work/movie.dat"
  if ! "$native/kavuno-gen-catalogue" "$records" "$dat" "$work/root.dat"; then
    echo "catalogue: cannot generate the catalogue"; missed=$((missed + 1)); return
  fi
  local rss
  if ! rss=$("$native/catalogue_load_rss" "$dat"); then
    echo "catalogue: loading failed"; missed=$((missed + 1)); return
  fi
  if [ ! -x "$native/catalogue_bench" ]; then
    echo "catalogue: catalogue_bench was not built (Google Benchmark missing)"; missed=$((missed + 1)); return
  fi
  if ! KAVUNO_BENCH_CATALOGUE="$dat" "$native/catalogue_bench" --benchmark_out="$work/catalogue.json" \
      --benchmark_out_format=json >/dev/null 2>"$work/catalogue.err"; then
    cat "$work/catalogue.err"; echo "catalogue: catalogue_bench failed"; missed=$((missed + 1)); return
  fi
  python3 - "$work/catalogue.json" "$rss" <<'PY' || missed=$((missed + 1))
import json, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
rss = dict(kv.split("=") for kv in sys.argv[2].split())
ok = True
def check(label, value, limit, detail):
    global ok
    passed = value <= limit
    ok &= passed
    print(f"  {label}: {value:.2f}x (target <= {limit}x) {'ok' if passed else 'MISSED'}  [{detail}]")
def ms(name, kind):
    return runs[name][kind]  # the benchmarks report milliseconds
size = int(rss["file_bytes"])
print(f"  {rss['records']} records, {size / 1e6:.1f} MB, {size / int(rss['records']):.1f} bytes per record")
for what, base, limit in (("load", "BM_ReadAndSumFile", 3), ("title search", "BM_MemmemTitles", 2)):
    name = "BM_LoadCatalogue" if what == "load" else "BM_SearchTitles"
    detail = (f"cpu {ms(name, 'cpu_time'):.1f} ms vs {ms(base, 'cpu_time'):.1f} ms; "
              f"wall {ms(name, 'real_time'):.1f} ms vs {ms(base, 'real_time'):.1f} ms")
    check(what, ms(name, "cpu_time") / ms(base, "cpu_time"), limit, detail)
growth = (int(rss["peak_kb"]) - int(rss["baseline_kb"])) * 1024
check("load memory", growth / size, 3, f"peak RSS grew {growth / 1e6:.1f} MB for a {size / 1e6:.1f} MB file")
sys.exit(0 if ok else 1)
PY
}

catalogue_section
bash "$(dirname "$0")/launcher/launcher-bench.sh" "$build" || missed=$((missed + 1))
bash "$(dirname "$0")/player/player-bench.sh" "$build" || missed=$((missed + 1))

echo "Benchmarks: $([ $missed -eq 0 ] && echo "all targets met" || echo "$missed section(s) missed a target")"
[ $missed -eq 0 ]
