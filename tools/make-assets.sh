#!/usr/bin/env bash
# Rebuilds the asset generators, rewrites assets/ and renders the previews in docs/assets/.
# Every run gives the same bytes, so git shows exactly what a generator change did.
#   tools/make-assets.sh            uses build/native
#   DENSILO_ASSETS_BUILD=dir tools/make-assets.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${DENSILO_ASSETS_BUILD:-build/native}

if [ "${DENSILO_ASSETS_SKIP_BUILD:-0}" != 1 ]; then
  cmake --preset native -B "$build" >/dev/null
  cmake --build "$build" --target densilo-assetgen -j2
fi
"$build/tools/densilo-assetgen" assets

# Previews as a person sees them: the picture at the size the window draws it (smooth
# shrinking, as the window's halftone stretch does) and the icon at 64 and 16 pixels.
# Date and time chunks are left out so the PNGs are reproducible too.
mkdir -p docs/assets
png() { # png OUT IN [OPTION...]
  local out=$1
  shift
  convert "$@" -strip -define png:exclude-chunks=date,time "$out"
}
png docs/assets/background-368x207.png assets/background.jpg -filter Box -resize '368x207!'
png docs/assets/icon-64.png assets/densilo.ico
png docs/assets/icon-16.png assets/densilo.ico -filter Box -resize 16x16
echo "assets/ and docs/assets/ are up to date"
