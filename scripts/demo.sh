#!/usr/bin/env bash
# The main job: builds the gauges and the panel host, then flies the built-in approach: all five
# gauges on one cockpit panel from power-up to touchdown. Writes out/approach/: timeline.txt,
# a snapshot PNG of each phase, contact-sheet.png and sound.wav (what the sound device played).
# Then builds the same host and gauges for Windows and, where Wine runs 32-bit programs, flies
# the approach again with the real Windows modules and compares the two timelines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native
mkdir -p out
build/native/host/panelhost demo -o out/approach

echo "== the Windows build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target panelhost gauge_gear gauge_light_switch gauge_navs gauge_autopilot \
  gauge_hsi_switch
export WINEDEBUG=-all
if wine cmd /c exit >/dev/null 2>&1; then
  wine build/win32/host/panelhost.exe demo -o out/approach-win32
  if diff -q out/approach/timeline.txt out/approach-win32/timeline.txt >/dev/null; then
    echo "The Windows modules under Wine give the same timeline."
  else
    echo "The timelines differ:" && diff out/approach/timeline.txt out/approach-win32/timeline.txt | head -20
    exit 1
  fi
else
  echo "Wine cannot run 32-bit programs here: build/win32/host/panelhost.exe and the .gau files are built, not run."
fi
echo "The approach: $(pwd)/out/approach (contact-sheet.png, timeline.txt, sound.wav)"
