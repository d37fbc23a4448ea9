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

# A texture missing: the demo ends before its first frame; the sound file is
# removed with the rest of the failed run, which ends with its message.
mkdir -p "$out/partial/Data"
for sub in Textures Models Sounds; do
  mkdir -p "$out/partial/Data/$sub"
  for f in "$build/Data/$sub"/*; do ln -s "$f" "$out/partial/Data/$sub/"; done
done
rm "$out/partial/Data/Textures/Chrome.tga"
set +e
"$build/nordglow-capture" --data "$out/partial" --audio "$out/empty.wav" >"$out/log2" 2>"$out/err2"
rc=$?
set -e
[ "$rc" = 1 ] || { cat "$out/err2" >&2; echo "run without a texture ended with $rc, not 1" >&2; exit 1; }
grep -q "ended before its first frame" "$out/err2" || { cat "$out/err2" >&2; echo "no message for the early end" >&2; exit 1; }
# A run that failed leaves no sound file behind, not even a partial one.
[ ! -e "$out/empty.wav" ] && [ ! -e "$out/empty.wav.partial" ] ||
  { echo "a run that failed left a WAV behind" >&2; exit 1; }
echo "sanitized run: clean"
