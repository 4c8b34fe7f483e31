#!/usr/bin/env bash
# Sets everything up, then injects the library into the simulated host and shows what it did.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$root/build/tools/umbravista-inject"
