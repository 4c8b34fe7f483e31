#!/usr/bin/env bash
# Sets everything up, then builds and runs every test. With --sanitize, builds and runs them with
# AddressSanitizer and UndefinedBehaviorSanitizer in a build directory of their own.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-sanitize"
  bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DUMBRAVISTA_SANITIZE=ON \
    -DUMBRAVISTA_BENCHMARKS=OFF
else
  build="$root/build"
  bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cd "$build"
ctest --output-on-failure -j "$(nproc)"
