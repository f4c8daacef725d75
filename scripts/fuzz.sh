#!/bin/sh
# scripts/fuzz.sh [seconds] [runs]: builds the libFuzzer targets with clang in build/fuzz and
# runs each for a bounded time (default 60 s) or number of runs, single process, on a copy of
# its seed corpus. Stops at the first target that finds a crash, hang or leak.
set -e
secs="${1:-60}"
runs="${2:-0}"
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${ZELK_FUZZ_DIR:-$root/build/fuzz}"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELK_FUZZ=ON -DZELK_BUILD_APP=OFF -DZELK_BUILD_BENCH=OFF
fi
cmake --build "$dir" --target fuzz_all -j "${ZELK_JOBS:-2}"
status=0
for corpus in "$root"/tests/fuzz/corpus/*/; do
  t="$(basename "$corpus")"
  work="$dir/corpus/$t"
  mkdir -p "$work" "$dir/findings/$t"
  cp -n "$corpus"* "$work"/ 2>/dev/null || true
  echo "== fuzz_$t"
  if [ "$runs" -gt 0 ]; then limit="-runs=$runs"; else limit="-max_total_time=$secs"; fi
  if ! "$dir/tests/fuzz/fuzz_$t" "$limit" -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
      -artifact_prefix="$dir/findings/$t/" -print_final_stats=1 "$work" \
      > "$dir/fuzz_$t.log" 2>&1; then
    echo "fuzz_$t FAILED; see $dir/fuzz_$t.log and $dir/findings/$t/"
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$dir/fuzz_$t.log" || true
done
exit $status
