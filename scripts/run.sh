#!/usr/bin/env bash
# Installs what is missing, builds the editor and the terminal simulator kxsim, and starts
# the editor (under a virtual X display when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build mivor kxsim   # kxsim: the terminal simulator (see README)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the editor under xvfb-run (a virtual X display)."
  exec xvfb-run -a -s "-screen 0 1280x900x24" build/mivor
fi
exec build/mivor
