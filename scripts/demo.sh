#!/usr/bin/env bash
# The main job on a simulated Bramlet: builds everything, runs a complete firmware update in the
# terminal with quillon-cli, then opens Quillon on the same simulated setup. Without a display,
# Quillon runs on a virtual X server and a screenshot of its window is saved instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
scripts/build.sh build

model=KM7-HS21
work=$(mktemp -d /tmp/quillon-demo.XXXXXX)
cp "samples/sim/$model.json" "$work/bramlet.json"
export BRAMLET_SIMULATOR="$work/bramlet.json"
export BRAMLET_SIM_TRACE="$work/trace.log"
export QUILLON_PROGRAM_FILES="$root/samples"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
firmware=$(ls "samples/Vellmar/UpdateFiles/$model/$model"-*.kmx | grep -v -e badsum -e -lf | head -n 1)

echo "== Simulated Bramlet: $BRAMLET_SIMULATOR"
build/bin/quillon-cli info --model "$model"
echo
echo "== Firmware update of the $model with $(basename "$firmware")"
build/bin/quillon-cli update --model "$model" "$firmware"
echo
echo "== After the update"
build/bin/quillon-cli info --model "$model"
echo
echo "The link traffic of this run is in $BRAMLET_SIM_TRACE"

if [ -n "${DISPLAY:-}" ]; then
  echo "== Opening Quillon on the same simulated Bramlet (close its window to end)"
  cd "$work"
  exec "$root/build/bin/quillon"
fi

echo "== No display: running Quillon on a virtual X server"
mkdir -p screenshots
shot="$root/screenshots/quillon-main-window.png"
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  cd "$1" || exit 1
  "$2/build/bin/quillon" & app=$!
  sleep 3
  xwd -silent -name Quillon | convert xwd:- "$3"
  kill $app
  wait $app 2>/dev/null || true
' _ "$work" "$root" "$shot"
echo "Screenshot of Quillon's main window: $shot"
echo "To use the GUI yourself on a machine with a display:"
echo "  BRAMLET_SIMULATOR=$BRAMLET_SIMULATOR build/bin/quillon"
