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
# to change) and one of 10,000. Targets, each against a plain baseline of the
# same run:
#   load:        at most 1.0x reading the file into memory and summing its bytes;
#   load memory: the load grows the peak resident memory by at most 1.2x the file;
#   title search: at most 1.0x a memmem scan over the same titles held as plain text;
#   small load:  10,000 records within 1.1x of the 7.7x reading and summing that
#                file which they took before records were read in place.
# Times are process CPU time (user + system, page faults included), which
# other work on the machine disturbs less than wall time; both are printed.
catalogue_section() {
  echo "== catalogue"
  local records=${KAVUNO_BENCH_RECORDS:-1000000}
  local dat="$work/movie.dat" small="$work/movie-10000.dat"
  if ! "$native/kavuno-gen-catalogue" "$records" "$dat" "$work/root.dat" ||
     ! "$native/kavuno-gen-catalogue" 10000 "$small"; then
    echo "catalogue: cannot generate the catalogues"; missed=$((missed + 1)); return
  fi
  local rss
  if ! rss=$("$native/catalogue_load_rss" "$dat"); then
    echo "catalogue: loading failed"; missed=$((missed + 1)); return
  fi
  if [ ! -x "$native/catalogue_bench" ]; then
    echo "catalogue: catalogue_bench was not built (Google Benchmark missing)"; missed=$((missed + 1)); return
  fi
  if ! KAVUNO_BENCH_CATALOGUE="$dat" KAVUNO_BENCH_SMALL_CATALOGUE="$small" "$native/catalogue_bench" \
      --benchmark_out="$work/catalogue.json" --benchmark_out_format=json >/dev/null 2>"$work/catalogue.err"; then
    cat "$work/catalogue.err"; echo "catalogue: catalogue_bench failed"; missed=$((missed + 1)); return
  fi
  python3 - "$work/catalogue.json" "$rss" "$(stat -c %s "$small")" <<'PY' || missed=$((missed + 1))
import json, sys
runs = {b["name"].rsplit("/min_time", 1)[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
rss = dict(kv.split("=") for kv in sys.argv[2].split())
ok = True
def check(label, value, limit, detail):
    global ok
    passed = value <= limit
    ok &= passed
    print(f"  {label}: {value:.2f}x (target <= {limit}x) {'ok' if passed else 'MISSED'}  [{detail}]")
def ms(name, kind):
    return runs[name][kind]  # the benchmarks report milliseconds
def versus(name, base):
    return (ms(name, "cpu_time") / ms(base, "cpu_time"),
            f"cpu {ms(name, 'cpu_time'):.2f} ms vs {ms(base, 'cpu_time'):.2f} ms; "
            f"wall {ms(name, 'real_time'):.2f} ms vs {ms(base, 'real_time'):.2f} ms")
size = int(rss["file_bytes"])
print(f"  {rss['records']} records, {size / 1e6:.1f} MB, {size / int(rss['records']):.1f} bytes per record")
ratio, detail = versus("BM_LoadCatalogue/0", "BM_ReadAndSumFile/0")
check("load", ratio, 1.0, detail)
growth = (int(rss["peak_kb"]) - int(rss["baseline_kb"])) * 1024
check("load memory", growth / size, 1.2, f"peak RSS grew {growth / 1e6:.1f} MB for a {size / 1e6:.1f} MB file")
ratio, detail = versus("BM_SearchTitles", "BM_MemmemTitles")
check("title search", ratio, 1.0, detail)
ratio, detail = versus("BM_LoadCatalogue/1", "BM_ReadAndSumFile/1")
check(f"10,000-record load ({int(sys.argv[3]) / 1e6:.2f} MB; 7.7x before)", ratio, 8.5, detail)
sys.exit(0 if ok else 1)
PY
}

catalogue_section
bash "$(dirname "$0")/launcher/launcher-bench.sh" "$build" || missed=$((missed + 1))
for tree in win win32; do
  bash "$(dirname "$0")/player/player-bench.sh" "$build" $tree || missed=$((missed + 1))
done

echo "Benchmarks: $([ $missed -eq 0 ] && echo "all targets met" || echo "$missed section(s) missed a target")"
[ $missed -eq 0 ]
