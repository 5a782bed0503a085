#!/usr/bin/env bash
# Configures and builds the project into a build folder (default: build).
# Usage: scripts/build.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true
werror=OFF
[ -n "${CI:-}" ] && werror=ON
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR="$werror" "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
