#!/usr/bin/env bash
# Fails when a source file under src/ includes a header of a layer above its
# own, when a tool under tools/ includes a demo header other than the demo's
# public one (shell/demo.h) and the platform's, when code outside
# src/platform/ includes a system library that only the platform may use,
# when a header under src/ declares mutable state other than the two allowed
# instances (Gl, Assets), or when the timeline, the effects or the text call
# a platform function that waits, presents or changes songs.
# Layers, bottom to top (see src/README.md):
#   platform < core < assets < text, effects < timeline < shell
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    platform) echo 0 ;;
    core) echo 1 ;;
    assets) echo 2 ;;
    text|effects) echo 3 ;;
    timeline) echo 4 ;;
    shell) echo 5 ;;
    *) echo -1 ;;
  esac
}

bad=0
while IFS= read -r file; do
  layer=${file#src/}; layer=${layer%%/*}
  own=$(rank "$layer")
  while IFS=: read -r line target; do
    [ -n "$target" ] || continue
    to=${target%%/*}
    theirs=$(rank "$to")
    [ "$theirs" -ge 0 ] || continue
    if [ "$theirs" -gt "$own" ]; then
      echo "$file:$line: $layer includes \"$target\" from the higher layer $to" >&2
      bad=1
    fi
  done < <(grep -noE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
           sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
  if [ "$layer" != platform ]; then
    if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(SDL|EGL/|ft2build\.h|freetype|fontconfig|libopenmpt)' "$file" >&2; then
      echo "$file: only src/platform/ may use the system libraries above" >&2
      bad=1
    fi
  fi
done < <(find src -name '*.cpp' -o -name '*.h' | sort)

# Tools run the demo through its public header and hook the headless backend;
# the demo's modules stay out of their reach.
while IFS= read -r file; do
  while IFS=: read -r line target; do
    [ -n "$target" ] || continue
    to=${target%%/*}
    [ "$(rank "$to")" -ge 1 ] || continue
    if [ "$target" != shell/demo.h ]; then
      echo "$file:$line: a tool includes \"$target\"; tools see the demo through shell/demo.h" >&2
      bad=1
    fi
  done < <(grep -noE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
           sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(find tools -name '*.cpp' -o -name '*.h' | sort)

# Mutable state is the shell's DemoState, handed down as arguments; the only
# process-wide instances are the GL objects of the current context and what
# was read from Data/.
while IFS= read -r hit; do
  case "$hit" in
    *"extern GlResources Gl;"*|*"extern LoadedAssets Assets;"*) ;;
    *)
      echo "$hit: mutable state declared extern; pass it as an argument (see src/README.md)" >&2
      bad=1
      ;;
  esac
done < <(grep -rnE '^[[:space:]]*extern[[:space:]]' src --include='*.h' | grep -vE 'extern[[:space:]]+const[[:space:]]|extern "C"' || true)

# Below the shell, the platform is only read (song time, channel levels, the
# clock's kind), the song's volume set, and the letters' outlines built; the
# main loop presents, waits and changes songs.
allowed='musicGetTime|musicGetChannelVU|clockIsVirtual|musicSetMasterVolume|buildOutlineGlyphs'
while IFS= read -r hit; do
  call=${hit##*plat::}; call=${call%%[!A-Za-z_0-9]*}
  if ! grep -qxE "$allowed" <<<"$call"; then
    echo "${hit%%:plat::*}: plat::$call below the shell; the main loop carries out such requests" >&2
    bad=1
  fi
done < <(grep -rnoE 'plat::[A-Za-z_0-9]+[[:space:]]*\(' src/timeline src/effects src/text || true)

if [ "$bad" -ne 0 ]; then
  echo "layer check failed: move the shared value down instead of reaching up" >&2
  exit 1
fi
echo "layer check: every include runs downward; tools use shell/demo.h; no mutable extern but Gl and Assets;"
echo "             no plat:: call below the shell that waits, presents or changes songs"
