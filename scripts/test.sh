#!/usr/bin/env bash
# Sets everything up, then builds and runs every test. With --sanitize, builds and runs them with
# AddressSanitizer and UndefinedBehaviorSanitizer in a build directory of their own.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-sanitize"
  bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DUMBRAVISTA_SANITIZE=ON \
    -DUMBRAVISTA_BENCHMARKS=OFF
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # The runtime is built without frame pointers; only a full unwind sees which of its
  # allocations the suppressions name.
  export ASAN_OPTIONS="fast_unwind_on_malloc=0"
else
  build="$root/build"
  bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cd "$build"
ctest --output-on-failure -j "$(nproc)"
