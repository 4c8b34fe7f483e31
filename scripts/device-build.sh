#!/usr/bin/env bash
# Builds the library for the device in build-device/: Umbravista.dylib for arm64 (iOS 7 and later),
# linked against the stubs in darwin/stubs and signed ad hoc with SHA-1 page hashes, and every
# library source compiled for armv7 (iOS 6 and later) into build-device/armv7/, ready for Apple's
# linker. Installs clang 16, lld 16, libc++ 14's headers and the LLVM tools when missing (Debian
# 12, as root). Only rebuilds what changed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-packages.sh" make python3 clang-16 lld-16 libc++-14-dev llvm-16
make -C "$root" -f scripts/device.mk -j "$(nproc)" --no-print-directory
