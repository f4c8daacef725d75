#!/bin/sh
# scripts/valgrind.sh [test-name-regex]: builds the headless test executables in a Debug
# build (build/valgrind) and runs each under memcheck. Fails on any error or definite leak.
# No suppressions: every report so far was a real fault or none at all.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${ZELK_VALGRIND_DIR:-$root/build/valgrind}"
filter="${1:-.}"
# Configured every time: memcheck must see the C library's allocator, whatever the cache says.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELK_BUILD_APP=OFF -DZELK_MIMALLOC=OFF \
  -DZELK_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "${ZELK_JOBS:-2}"
status=0
for exe in "$dir"/tests/*_tests; do
  name="$(basename "$exe")"
  echo "$name" | grep -Eq "$filter" || continue
  echo "== $name"
  if ! (cd "$dir/tests" && valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
      --errors-for-leak-kinds=definite --track-origins=no --num-callers=30 \
      --log-file="$dir/$name.valgrind.log" "$exe" --gtest_brief=1 > "$dir/$name.out" 2>&1); then
    echo "$name: memcheck or test failure; see $dir/$name.valgrind.log and $dir/$name.out"
    status=1
  fi
  grep -E "ERROR SUMMARY|definitely lost" "$dir/$name.valgrind.log" || true
done
exit $status
