#!/usr/bin/env bash
# The studio in a real browser: installs what the test needs if missing (Debian 12, as root),
# builds the tool, then has headless Chromium drive the studio's page. Saves a screenshot of the
# studio to build/studio.png, or to the path in SCREENSHOT (the README's is docs/studio.png), and
# the page at 1024 and 390 pixels wide to build/, so that a test run leaves the working tree as it
# found it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

packages=(chromium chromium-driver python3-selenium)
bash "$root/scripts/install-packages.sh" "${packages[@]}"

UMBRAVISTA_TARGET=umbravista bash "$root/scripts/setup.sh" "$root/build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Debian's own Python, which python3-selenium installs into, whatever else is first on the PATH.
/usr/bin/python3 "$root/tests/studio/browser_test.py" --umbravista "$root/build/tools/umbravista" \
  --screenshot "${SCREENSHOT:-$root/build/studio.png}" --narrow-screenshots "$root/build"
