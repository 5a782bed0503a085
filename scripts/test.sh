#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the same tests again in a build
# with the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ "${QUILLON_SKIP_SANITIZERS:-}" != "1" ]; then
  echo "== Sanitizer build (address, undefined behaviour) =="
  scripts/build.sh build-sanitize -DQUILLON_SANITIZE=ON
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"
fi
