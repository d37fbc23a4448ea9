#!/usr/bin/env bash
# The real nordglow under Xvfb with SDL's dummy audio driver: the start
# question answered from outside, full screen at the screen's own size with
# the picture pillarboxed, the full-screen toggle, a resized window, keys,
# Escape and closing the window; no display, a signal at the start question
# and no Data/ folder, each ending the demo with its exit code; given a second
# build folder made with NG_SANITIZE, also that build's nordglow under
# AddressSanitizer.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
asan=""
[ -n "${2:-}" ] && asan=$(cd "$2" && pwd)
supp="$(cd "$(dirname "$0")/../../scripts" && pwd)/lsan.supp"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
cc -O1 -o "$work/send_close" "$here/send_close.c" -lX11

xvfb=""
demo=""
cleanup() {
  [ -n "$demo" ] && kill -9 "$demo" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  [ -n "${KEEP_E2E:-}" ] && cp -r "$work" /tmp/e2e-kept; rm -rf "$work"
}
trap cleanup EXIT
start_screen() { # WxH: a fresh Xvfb screen of that size
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
  # The server takes the first free display itself, so that runs side by side
  # never share one; key auto-repeat waits longer than any held key here.
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -ardelay 60000 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "Xvfb did not start"
}
export SDL_AUDIODRIVER=dummy GALLIUM_DRIVER=llvmpipe
fail() { echo "e2e FAILED: $*" >&2; exit 1; }

# Message boxes are top-level windows named by their caption.
window_named() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n1; }
wait_window() {
  local id=""
  for _ in $(seq 600); do id=$(window_named "$1"); [ -n "$id" ] && break; sleep 0.1; done
  echo "$id"
}
geometry() { # prints "X Y W H" of a window in screen coordinates
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
point_at() { read -r x y w h < <(geometry "$1"); xdotool mousemove $((x + w / 2)) $((y + h / 2)); }
answer_box() { # window key
  point_at "$1"; xdotool windowfocus "$1" 2>/dev/null || true; sleep 0.2; xdotool key "$2"
}
answer() { # caption key
  local id; id=$(wait_window "$1"); [ -n "$id" ] || fail "no box \"$1\""
  answer_box "$id" "$2"
}
next_box() { # caption id width: the box that follows it, which may reuse the id (its text sets its width)
  local id="" w
  for _ in $(seq 150); do
    id=$(window_named "$1")
    if [ -n "$id" ]; then
      w=$(geometry "$id" 2>/dev/null | awk '{print $3}')
      { [ "$id" != "$2" ] || { [ -n "$w" ] && [ "$w" != "$3" ]; }; } && break
    fi
    id=""; sleep 0.1
  done
  echo "$id"
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
hold_until() { # key command...: the demo reads a key's state once a frame, so the
  # key stays down until the command sees its effect, however slow the frame
  local key=$1; shift
  xdotool keydown "$key"
  for _ in $(seq 600); do "$@" && break; sleep 0.1; done
  xdotool keyup "$key"
}
demo_ended() { ! kill -0 "$demo" 2>/dev/null; }
other_demo_window() { local id; id=$(window_named "Nordglow 2002"); [ -n "$id" ] && [ "$id" != "$1" ]; }
wait_exit() { # pid seconds -> exit code
  for _ in $(seq $(($2 * 10))); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "the demo did not end"
  wait "$1"
}

new_demo_window() { # previous id -> id of a different demo window
  local id=""
  for _ in $(seq 300); do
    id=$(window_named "Nordglow 2002")
    [ -n "$id" ] && [ "$id" != "$1" ] && break
    id=""; sleep 0.1
  done
  echo "$id"
}
still_drawing() { # the picture changes within 30 s, however long a frame takes
  local diff
  import -window root "$work/a.png"
  for _ in $(seq 60); do
    sleep 0.5; import -window root "$work/b.png"
    diff=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)
    [ "${diff%% *}" != "0" ] && return 0
  done
  fail "the demo stopped drawing ($1)"
}
end_with() { # exit-code-wanted what [seconds]
  set +e; wait_exit "$demo" "${3:-15}"; local rc=$?; set -e
  demo=""
  [ "$rc" = "$1" ] || fail "$2 ended with exit code $rc"
}

cd "$build"

free_display() { local n=190; while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done; echo ":$n"; }
no_display() { # what-is-missing env-args...: the demo refuses at once with one line and exit code 1
  local what=$1; shift
  set +e; env "$@" timeout 20 ./nordglow >/dev/null 2>"$work/nodisplay"; local rc=$?; set -e
  [ "$rc" = 1 ] || { cat "$work/nodisplay" >&2; fail "with $what the demo ended with exit code $rc"; }
  # One line in all on standard error: nothing from the libraries beside it.
  [ "$(wc -l <"$work/nodisplay")" = 1 ] && grep -q '^nordglow: ' "$work/nodisplay" ||
    { cat "$work/nodisplay" >&2; fail "with $what: not one single line saying why"; }
  grep -q "nordglow-capture" "$work/nodisplay" || fail "with $what: the line does not say what to do instead"
}
echo "e2e: no display: DISPLAY unset, a DISPLAY no server answers, SDL_VIDEODRIVER=x11 without one"
nowhere=$(free_display)
no_display "no DISPLAY" -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
grep -q "DISPLAY and WAYLAND_DISPLAY are not set" "$work/nodisplay" || fail "the line does not say that no display is set"
no_display "DISPLAY=$nowhere" -u WAYLAND_DISPLAY DISPLAY="$nowhere"
grep -q "DISPLAY=$nowhere" "$work/nodisplay" || fail "the line does not name the display $nowhere"
no_display "SDL_VIDEODRIVER=x11" -u WAYLAND_DISPLAY DISPLAY="$nowhere" SDL_VIDEODRIVER=x11

# Brightest value (0..1) of a region of the last root shot: WxH+X+Y.
region_max() { convert "$work/shot.png" -crop "$1" +repage -format '%[fx:maxima]' info:; }
screen_size() { xdpyinfo | awk '/dimensions:/{print $2}'; }
bright_within() { # window region: that region of a shot of the window is bright within 30 s
  for _ in $(seq 60); do
    import -window "$1" "$work/shot.png"
    max=$(region_max "$2")
    awk -v m="$max" 'BEGIN{exit !(m > 0.1)}' && return 0
    sleep 0.5
  done
  return 1
}

echo "e2e: 1920x1080 screen: full screen at the screen's size, pillarboxed; F1 to a window, resize, F1 back, Escape"
start_screen 1920x1080
./nordglow >"$work/out1" 2>&1 & demo=$!
answer "Start FullScreen?" Return
win=$(demo_window); [ -n "$win" ] || fail "no demo window"
wait_size "$win" 1920 1080
read -r x y _ _ < <(geometry "$win"); [ "$x $y" = "0 0" ] || fail "full-screen window at $x,$y"
[ "$(screen_size)" = "1920x1080" ] || fail "the display mode changed to $(screen_size)"
! grep -q "Lumo GL" "$work/out1" || fail "the fallback question was asked"
point_at "$win"
# The 4:3 picture is 1440 x 1080 in the middle; the bars of 240 px stay black.
bright_within root 1440x1080+240+0 || fail "the intro shows nothing (brightest value $max)"
for bar in 240x1080+0+0 240x1080+1680+0; do
  max=$(region_max "$bar")
  [ "$max" = "0" ] || fail "the bar $bar is not black (brightest value $max)"
done
hold_until F1 other_demo_window "$win"
win2=$(new_demo_window "$win"); [ -n "$win2" ] || fail "F1 made no new window"
wait_size "$win2" 800 600
point_at "$win2"; sleep 1
still_drawing "after the first F1"
xdotool windowsize "$win2" 1200 900
wait_size "$win2" 1200 900
# The intro's upper sphere lies above the top of an 800 x 600 picture's clip
# band (500 px from the bottom); scaled by 1.5 it is drawn there, in the middle.
bright_within "$win2" 300x230+450+170 || fail "the resized window does not show the scaled picture (brightest value $max)"
hold_until F1 other_demo_window "$win2"
win3=$(new_demo_window "$win2"); [ -n "$win3" ] || fail "the second F1 made no new window"
wait_size "$win3" 1920 1080
point_at "$win3"; sleep 1
still_drawing "after the second F1"
hold_until Escape demo_ended
end_with 0 "Escape"

echo "e2e: No gives an 800x600 window; closing it ends the demo"
./nordglow >"$work/out2" 2>&1 & demo=$!
answer "Start FullScreen?" Escape
win=$(demo_window); [ -n "$win" ] || fail "no demo window"
wait_size "$win" 800 600
read -r x y _ _ < <(geometry "$win"); [ "$x $y" = "0 0" ] || fail "the window is at $x,$y, not at the screen's corner"
point_at "$win"; sleep 1
still_drawing "in the window"
"$work/send_close" "$win"
end_with 0 "closing the window"

echo "e2e: SIGTERM while the start question is up ends the demo at once, the box with it"
./nordglow >"$work/out5" 2>&1 & demo=$!
id=$(wait_window "Start FullScreen?"); [ -n "$id" ] || fail "no start question"
kill -TERM "$demo"
end_with 0 "SIGTERM at the start question" 2
for _ in $(seq 50); do [ -z "$(window_named "Start FullScreen?")" ] && break; sleep 0.1; done
[ -z "$(window_named "Start FullScreen?")" ] || fail "the start question stayed on screen after SIGTERM"

echo "e2e: no Data folder: the texture's box, its path on standard error, then exit code 1"
mkdir "$work/empty"
(cd "$work/empty" && exec "$build/nordglow") >"$work/out6" 2>&1 & demo=$!
answer "Start FullScreen?" Escape
first=$(wait_window "ERROR"); [ -n "$first" ] || fail "no box for the missing texture"
width=$(geometry "$first" | awk '{print $3}')
answer_box "$first" Return
second=$(next_box "ERROR" "$first" "$width")
[ -n "$second" ] || fail "no \"Initialization Failed.\" box"
answer_box "$second" Return
end_with 1 "a run without Data/"
grep -q "^Data/Textures/[A-Za-z0-9_]*\.tga: Could not open texture file (No such file or directory)$" "$work/out6" ||
  { cat "$work/out6" >&2; fail "standard error does not name the missing texture"; }

if [ -n "$asan" ]; then
  echo "e2e: sanitized build: window, a few seconds of the intro, Escape, no leak or error report"
  cd "$asan"
  ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 LSAN_OPTIONS="suppressions=$supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ./nordglow >"$work/out4" 2>&1 & demo=$!
  answer "Start FullScreen?" Escape
  win=$(demo_window); [ -n "$win" ] || fail "no demo window from the sanitized build"
  point_at "$win"; sleep 4
  hold_until Escape demo_ended
  set +e; wait_exit "$demo" 60; rc=$?; set -e
  demo=""
  [ "$rc" = 0 ] || { cat "$work/out4" >&2; fail "the sanitized build ended with exit code $rc"; }
  ! grep -q "Sanitizer" "$work/out4" || { cat "$work/out4" >&2; fail "the sanitized build reported errors"; }
fi

echo "e2e: passed"
