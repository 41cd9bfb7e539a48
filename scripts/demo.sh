#!/usr/bin/env bash
# The main job: builds the gauges and the host natively, then renders every panel to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native
mkdir -p out
host=build/native/host/panelhost
for gau in build/native/gauges/*.gau; do
  name=$(basename "$gau" .gau)
  echo "== $name"
  "$host" render "$gau" --scale 2 -o "out/$name.png"
done
echo "Panels rendered to $(pwd)/out"
