#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the editor need, or the
# packages named on the command line (only those that are missing).
set -euo pipefail
pkgs=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-svg-dev qt6-translations-l10n libgl-dev
      googletest libgtest-dev libbenchmark-dev xvfb xauth srecord)
[ $# -gt 0 ] && pkgs=("$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
