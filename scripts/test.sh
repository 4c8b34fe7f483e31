#!/usr/bin/env bash
# Sets everything up, then builds and runs every test. With --sanitize, builds and runs them with
# AddressSanitizer and UndefinedBehaviorSanitizer in a build directory of their own. With
# --threads, builds only the tests labelled "threads" with ThreadSanitizer, in a build directory
# of their own, and runs only those (the packages must be in place: run this script once without
# an option first on a new machine).
set -euo pipefail
excluded=()
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" = "--threads" ]; then
  build="$root/build-threads"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRAVISTA_THREAD_SANITIZE=ON \
    -DUMBRAVISTA_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" --target thread_tests -j "$(nproc)"
  # A report fails the test at once; the suppressions name what is not ours (see the file).
  export TSAN_OPTIONS="suppressions=$root/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
  cd "$build"
  ctest --output-on-failure -L threads -j "$(nproc)"
  exit
fi
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-sanitize"
  bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DUMBRAVISTA_SANITIZE=ON \
    -DUMBRAVISTA_BENCHMARKS=OFF
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # The runtime is built without frame pointers; only a full unwind sees which of its
  # allocations the suppressions name.
  export ASAN_OPTIONS="fast_unwind_on_malloc=0"
  # The soak's point is its live-object counts, which the plain build checks in a tenth of the time.
  excluded=(-LE soak)
else
  build="$root/build"
  bash "$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cd "$build"
ctest --output-on-failure -j "$(nproc)" "${excluded[@]}"
