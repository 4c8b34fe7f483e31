#!/usr/bin/env bash
# Sets everything up, then builds and runs every test. With --sanitize, builds and runs them with
# AddressSanitizer and UndefinedBehaviorSanitizer in a build directory of their own. With
# --threads, builds only the tests labelled "threads" with ThreadSanitizer, in a build directory
# of their own, and runs only those (the packages must be in place: run this script once without
# an option first on a new machine). With --arch armhf or --arch arm64, installs that architecture's
# cross compiler, libraries and emulator, cross-builds the library, the simulated device and the
# tests in build-<arch>, and runs them all under qemu; further arguments go to ctest.
set -euo pipefail
excluded=()
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" = "--arch" ]; then
  arch="${2:-}"
  case "$arch" in
    armhf) triple=arm-linux-gnueabihf ;;
    arm64) triple=aarch64-linux-gnu ;;
    *) echo "usage: $0 --arch armhf|arm64 [ctest arguments]" >&2; exit 2 ;;
  esac
  shift 2
  if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch"
  fi
  bash "$root/scripts/install-packages.sh" cmake pkg-config python3 fonts-dejavu-core \
    nlohmann-json3-dev libcli11-dev qemu-user-static "g++-12-$triple" "libobjc-12-dev-$arch-cross" \
    "libobjc4:$arch" "libplist-dev:$arch" "libicu-dev:$arch" "libcairo2-dev:$arch" \
    "libgtest-dev:$arch" "libcpp-httplib-dev:$arch" "zlib1g-dev:$arch"
  build="$root/build-$arch"
  # Release: the same optimisation and assertions as the host build, without the debug
  # information that makes a cross build of everything a third slower.
  cmake -S "$root" -B "$build" --toolchain "$root/cmake/toolchains/$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DUMBRAVISTA_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
  cd "$build"
  ctest --output-on-failure -j "$(nproc)" "$@"
  exit
fi
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
