#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usable as root or through sudo. Pass --test to add what the tests need.
set -euo pipefail

# Unversioned names only: each exists on Debian 12, 13 and testing.
build_pkgs=(build-essential cmake pkg-config
  libsdl2-dev libpulse-dev libopenmpt-dev libglu1-mesa-dev libgl-dev
  libegl-dev libegl-mesa0 libgl1-mesa-dri  # offscreen drawing: EGL, Mesa's EGL and llvmpipe
  libfreetype-dev libfontconfig-dev fonts-dejavu-core libpng-dev
  fonts-dejavu-extra  # faces of the generated textures' lettering
  xfonts-base  # core X fonts: SDL draws its message boxes with them
  file)        # cpack's Debian package looks at each installed file with it
test_pkgs=(libgtest-dev googletest xvfb xdotool x11-utils imagemagick
  openmpt123 xmp clang libclang-rt-dev libx11-dev python3 time
  lintian desktop-file-utils appstream  # checks of the package and its desktop files
  ffmpeg  # the capture tool's --video, checked end to end
  pulseaudio pulseaudio-utils)  # a sound server restarted mid-song: the sound comes back

want=("${build_pkgs[@]}")
if [ "${1:-}" = "--test" ]; then want+=("${test_pkgs[@]}"); fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# One step: Mesa and libsdl2-dev pull many packages.
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
