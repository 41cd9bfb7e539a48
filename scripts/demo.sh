#!/usr/bin/env bash
# The main job: builds the gauges and the host natively, renders every panel to out/, then runs
# them together as one cockpit (one process, one cockpit link) from a folder with announcement
# sounds, and prints the link the radio panel set up.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native
mkdir -p out
root=$(pwd)
host=$root/build/native/host/panelhost
gauges=$root/build/native/gauges
for gau in "$gauges"/*.gau; do
  name=$(basename "$gau" .gau)
  echo "== $name"
  "$host" render "$gau" --scale 2 -o "out/$name.png"
done

echo "== cockpit"
rm -rf out/cockpit && mkdir -p out/cockpit
build/native/art/artgen sounds out/cockpit
# Token 165 reports a running unit: the radio panel's start-up check powers the cockpit.
(cd out/cockpit && "$host" cockpit "$gauges/Tarvex.Navs-Q90.gau" "$gauges/j4gear.gau" \
   "$gauges/Lumet.LightSwitch.gau" --set 165=1 --frames 3 --link --scale 2 --out-dir .)
echo "Panels rendered to $root/out"
