#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and checks it the way a user
# meets it: the icons, the capture tool run from an unrelated folder without
# --data, the launcher under Xvfb (start question, the window's own icon,
# Escape, exit code 0), the desktop entry, the AppStream file, the capture
# tool's man page against its --help, and the Debian package that cpack
# makes, under lintian.
#
#   tests/install/run.sh [BUILD_DIR]      (a RelWithDebInfo or Release build)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
xvfb=""
demo=""
cleanup() {
  [ -n "$demo" ] && kill -9 "$demo" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install FAILED: $*" >&2; exit 1; }
export GALLIUM_DRIVER=llvmpipe SDL_AUDIODRIVER=dummy

version=$(sed -n 's/^project(nordglow VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || fail "no project version in CMakeLists.txt"

echo "install: cmake --install to a prefix and with DESTDIR"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --strip >/dev/null
DESTDIR=$work/stage cmake --install "$build" --prefix /usr >/dev/null
[ -x "$work/stage/usr/bin/nordglow" ] && [ -x "$work/stage/usr/libexec/nordglow/nordglow" ] \
  || fail "DESTDIR install lacks the programs"
for f in bin/nordglow bin/nordglow-capture libexec/nordglow/nordglow \
         share/nordglow/Data/Textures/frame03.tga share/nordglow/Data/Models/fountain.obj \
         share/nordglow/Data/Sounds/zerevovar.mod share/nordglow/Data/Sounds/Ruzezu.xm \
         share/nordglow/screenshot.png share/applications/nordglow.desktop \
         share/man/man6/nordglow.6.gz share/man/man1/nordglow-capture.1.gz \
         share/doc/nordglow/copyright share/doc/nordglow/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for n in 16 22 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${n}x${n}/apps/nordglow.png
  [ "$(identify -format '%m %wx%h' "$icon" 2>/dev/null)" = "PNG ${n}x${n}" ] || fail "icon $icon is not a ${n}x${n} PNG"
done
grep -q '<svg xmlns="http://www.w3.org/2000/svg"' "$prefix/share/icons/hicolor/scalable/apps/nordglow.svg" \
  || fail "the scalable icon is not installed"
[ "$(identify -format '%m %wx%h' "$prefix/share/nordglow/screenshot.png")" = "PNG 800x600" ] \
  || fail "the screenshot is not an 800x600 PNG"
if grep -rlF "$root" "$prefix"; then fail "installed files above refer to $root"; fi

echo "install: nordglow-capture from an unrelated folder, without --data"
mkdir "$work/elsewhere"
cd "$work/elsewhere"
[ "$("$prefix/bin/nordglow-capture" --version | head -n 1)" = "nordglow-capture $version" ] || fail "--version is not $version"
"$prefix/bin/nordglow-capture" --fps 10 --at 1000 --at 2000 --until 2100 --out shots >"$work/out" 2>"$work/err" \
  || { cat "$work/err" >&2; fail "the installed capture tool failed"; }
[ "$(ls shots | wc -l)" = 2 ] || fail "expected 2 frames, got: $(ls shots)"
# The same frame as the build tree's tool makes from the build tree's data.
"$build/nordglow-capture" --data "$build" --fps 10 --at 2000 --until 2100 --out "$work/ref" >/dev/null 2>&1
cmp -s shots/frame_0002000.png "$work/ref/frame_0002000.png" || fail "the installed data gives another frame"
set +e
"$prefix/bin/nordglow-capture" --data "$work/elsewhere" --at 0 --until 100 >/dev/null 2>"$work/err"
rc=$?
set -e
[ "$rc" = 1 ] && grep -q "no Data folder in $work/elsewhere" "$work/err" || fail "--data does not win (exit $rc)"

echo "install: the capture tool's man page names every option of --help"
man_text=$(zcat "$prefix/share/man/man1/nordglow-capture.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g')
options=$("$prefix/bin/nordglow-capture" --help | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)
[ "$(wc -l <<<"$options")" -ge 10 ] || fail "--help lists too few options: $options"
for o in $options; do
  grep -qE -- "(^|[^a-z0-9-])$o([^a-z0-9-]|\$)" <<<"$man_text" || fail "the man page lacks $o"
done

echo "install: desktop entry and AppStream metadata"
desktop-file-validate "$prefix/share/applications/nordglow.desktop" || fail "desktop-file-validate"
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo names another version"

echo "install: the launcher under Xvfb, started from /"
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
window_named() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n1; }
wait_window() {
  local id=""
  for _ in $(seq 300); do id=$(window_named "$1"); [ -n "$id" ] && break; sleep 0.1; done
  echo "$id"
}
focus() {
  read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
  xdotool mousemove $((x + w / 2)) $((y + h / 2)); xdotool windowfocus "$1" 2>/dev/null || true; sleep 0.2
}
(cd / && exec "$prefix/bin/nordglow") >"$work/demo.log" 2>&1 & demo=$!
box=$(wait_window "Start FullScreen?"); [ -n "$box" ] || fail "no start question"
focus "$box"; xdotool key Escape  # No: a window
win=$(wait_window "Nordglow 2002"); [ -n "$win" ] || fail "no demo window"
# The window carries its own icon, the one the desktop entry names.
# (Read whole first: grep -q leaving early would break xprop's pipe, which
# pipefail counts as a failure.)
icon=$(xprop -id "$win" _NET_WM_ICON 2>&1 || true)
grep -q "Icon (64 x 64)" <<<"$icon" || fail "the window has no icon of its own"
focus "$win"
# Drawn from the installed data: the intro's letters are bright, within 30 s
# however slow the frames.
for _ in $(seq 60); do
  import -window root "$work/shot.png"
  max=$(convert "$work/shot.png" -format '%[fx:maxima]' info:)
  awk -v m="$max" 'BEGIN{exit !(m > 0.1)}' && break
  sleep 0.5
done
awk -v m="$max" 'BEGIN{exit !(m > 0.1)}' || { cat "$work/demo.log" >&2; fail "the demo shows nothing"; }
[ -z "$(window_named ERROR)" ] || fail "the demo reported an error: $(cat "$work/demo.log")"
# Held until the demo ends: it reads the key's state once a frame, and a
# slow frame could swallow a quick tap.
xdotool keydown Escape
for _ in $(seq 600); do kill -0 "$demo" 2>/dev/null || break; sleep 0.1; done
xdotool keyup Escape
kill -0 "$demo" 2>/dev/null && fail "the demo did not end on Escape"
set +e; wait "$demo"; rc=$?; set -e
demo=""
[ "$rc" = 0 ] || fail "the launcher ended with exit code $rc"

echo "install: the Debian package"
rm -f "$build"/nordglow_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$build/nordglow_${version}_amd64.deb
[ -f "$deb" ] || fail "cpack did not write $deb"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package has another version"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2-2.0-0 libopenmpt0 libegl1 libgl1-mesa-dri libpng16-16 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
grep -q ffmpeg <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "ffmpeg is not recommended"
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || { cat "$work/lintian" >&2; fail "lintian reports errors"; }
grep '^[EW]:' "$work/lintian" || true
echo "install: $(basename "$deb") $(stat -c %s "$deb") bytes, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "install: Depends: $depends"
echo "install: passed"
