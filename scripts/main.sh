#!/usr/bin/env bash
# Sets everything up, then writes the preview of the host's screens, stock and themed with the
# built-in colours, to umbravista-preview.png in the current directory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$root/build/tools/umbravista" preview --output "${PWD}/umbravista-preview.png"
