#!/usr/bin/env bash
# The real nordglow under Xvfb with SDL's dummy audio driver: the start
# question answered from outside, the window size, keys, the full-screen
# toggle, Escape and closing the window.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
cc -O1 -o "$work/send_close" "$here/send_close.c" -lX11

n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
demo=""
cleanup() {
  [ -n "$demo" ] && kill -9 "$demo" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

export SDL_AUDIODRIVER=dummy GALLIUM_DRIVER=llvmpipe
fail() { echo "e2e FAILED: $*" >&2; exit 1; }

# Message boxes are top-level windows named by their caption.
window_named() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n1; }
wait_window() {
  local id=""
  for _ in $(seq 150); do id=$(window_named "$1"); [ -n "$id" ] && break; sleep 0.1; done
  echo "$id"
}
geometry() { # prints "X Y W H" of a window in screen coordinates
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
point_at() { read -r x y w h < <(geometry "$1"); xdotool mousemove $((x + w / 2)) $((y + h / 2)); }
answer() { # caption key
  local id; id=$(wait_window "$1"); [ -n "$id" ] || fail "no box \"$1\""
  point_at "$id"; sleep 0.2; xdotool key "$2"
}
demo_window() {
  local id=""
  for _ in $(seq 300); do id=$(window_named "Nordglow 2002"); [ -n "$id" ] && break; sleep 0.1; done
  echo "$id"
}
wait_size() { # window w h
  for _ in $(seq 100); do
    read -r _ _ w h < <(geometry "$1") || true
    [ "$w" = "$2" ] && [ "$h" = "$3" ] && return 0
    sleep 0.1
  done
  fail "window is ${w}x${h}, expected $2x$3"
}
wait_exit() { # pid seconds -> exit code
  for _ in $(seq $(($2 * 10))); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "the demo did not end"
  wait "$1"
}
screen_max() { import -window root "$work/shot.png"; convert "$work/shot.png" -format '%[fx:maxima]' info:; }

cd "$build"

echo "e2e: windowed start, F1 twice, Escape"
./nordglow >"$work/out1" 2>&1 & demo=$!
answer "Start FullScreen?" Escape
win=$(demo_window); [ -n "$win" ] || fail "no demo window"
wait_size "$win" 800 600
point_at "$win"
sleep 4
max=$(screen_max)
awk -v m="$max" 'BEGIN{exit !(m > 0.1)}' || fail "the intro shows nothing (brightest value $max)"
xdotool key F1
win=$(demo_window); wait_size "$win" 1024 768
point_at "$win"; sleep 0.5
xdotool key F1
win=$(demo_window); wait_size "$win" 800 600
point_at "$win"; sleep 1
kill -0 "$demo" || fail "the demo ended after F1"
import -window root "$work/a.png"; sleep 0.5; import -window root "$work/b.png"
diff=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)
[ "${diff%% *}" != "0" ] || fail "the demo stopped drawing after F1"
xdotool key Escape
set +e; wait_exit "$demo" 10; rc=$?; set -e
demo=""
[ "$rc" = 0 ] || fail "Escape ended with exit code $rc"

echo "e2e: full-screen start, window closed"
./nordglow >"$work/out2" 2>&1 & demo=$!
answer "Start FullScreen?" Return
win=$(demo_window); [ -n "$win" ] || fail "no demo window"
wait_size "$win" 1024 768
sleep 1
"$work/send_close" "$win"
set +e; wait_exit "$demo" 10; rc=$?; set -e
demo=""
[ "$rc" = 0 ] || fail "closing the window ended with exit code $rc"

echo "e2e: passed"
