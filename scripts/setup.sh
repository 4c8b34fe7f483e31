#!/usr/bin/env bash
# Installs what the project needs on a Debian 12 machine (as root), then configures and builds it
# in the directory given as the first argument, with any further CMake arguments. With
# UMBRAVISTA_TARGET set, builds only that target.
set -euo pipefail

packages=(g++ make cmake pkg-config libobjc-12-dev libplist-dev libicu-dev libcairo2-dev
          fonts-dejavu-core googletest libgtest-dev libbenchmark-dev libcpp-httplib-dev
          nlohmann-json3-dev libcli11-dev zlib1g-dev
          clang-16 lld-16 libc++-14-dev llvm-16)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"

build_dir="$1"
shift
cmake -S "$(dirname "$0")/.." -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)" ${UMBRAVISTA_TARGET:+--target "$UMBRAVISTA_TARGET"}
