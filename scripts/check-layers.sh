#!/usr/bin/env bash
# Fails when a source file under src/ includes a header of a layer above its
# own, or when code outside src/platform/ includes a system library that only
# the platform may use. Layers, bottom to top (see src/README.md):
#   platform < core < assets, text, effects < timeline < shell
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    platform) echo 0 ;;
    core) echo 1 ;;
    assets|text|effects) echo 2 ;;
    timeline) echo 3 ;;
    shell) echo 4 ;;
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
    if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(SDL|GL/osmesa\.h|ft2build\.h|freetype|fontconfig|libopenmpt)' "$file" >&2; then
      echo "$file: only src/platform/ may use the system libraries above" >&2
      bad=1
    fi
  fi
done < <(find src -name '*.cpp' -o -name '*.h' | sort)

if [ "$bad" -ne 0 ]; then
  echo "layer check failed: move the shared value down instead of reaching up" >&2
  exit 1
fi
echo "layer check: every include runs downward"
