#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# As root it runs apt-get itself; otherwise it prints the apt-get line to run.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libusb-1.0-0-dev nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps imagemagick fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
