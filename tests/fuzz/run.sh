#!/usr/bin/env bash
# Builds the reader fuzz targets with clang, libFuzzer and AddressSanitizer in
# BUILD_DIR and runs each for SECONDS (default 25) from the seed corpus.
# Exits non-zero when a target finds a crash, a leak or a failed check; the
# input that did it is left in BUILD_DIR/fuzz-findings/.
#
#   tests/fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [SECONDS]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$1
seconds=${2:-25}
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The compiler is fixed at the first configure; a folder configured with
# another compiler is refused by the fuzz CMakeLists.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNG_FUZZ=ON -DNG_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target fuzz_tga fuzz_obj >/dev/null

findings=$build/fuzz-findings
mkdir -p "$findings"
status=0
for reader in tga obj; do
  # New inputs go to a scratch corpus; the seeds in the tree are only read.
  scratch=$build/fuzz-corpus/$reader
  mkdir -p "$scratch"
  log=$build/fuzz-$reader.log
  echo "fuzz_$reader: ${seconds} s" >&2
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
     "$build/tests/fuzz/fuzz_$reader" "$scratch" "$here/corpus/$reader" \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$findings/$reader-" -print_final_stats=1 >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units|^Done" "$log" >&2 || true
  else
    echo "fuzz_$reader found a problem; see $log and $findings" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done
exit $status
