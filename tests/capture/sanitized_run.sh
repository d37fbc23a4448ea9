#!/usr/bin/env bash
# The whole demo under AddressSanitizer and UndefinedBehaviorSanitizer at 30
# fps through nordglow-capture: any report fails the run.
set -euo pipefail
build=$(cd "${1:-build-asan}" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export GALLIUM_DRIVER=llvmpipe
# Mesa and fontconfig keep caches to the process end; only our own code's leaks count.
supp="$(cd "$(dirname "$0")/../../scripts" && pwd)/lsan.supp"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export LSAN_OPTIONS="suppressions=$supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/nordglow-capture" --data "$build" --fps 30 --every 20000 --out "$out" --stats >"$out/log" 2>"$out/err" || {
  cat "$out/err" >&2
  echo "sanitized run FAILED" >&2
  exit 1
}
cat "$out/log"
for phase in intro main end; do
  grep -q "phase=$phase" "$out/log" || { echo "sanitized run never reached phase $phase" >&2; exit 1; }
done
echo "sanitized run: clean"
