#!/usr/bin/env bash
# Prints how many lines of tests there are per line of everything else: every tracked .c, .cc,
# .cpp, .h and .hpp file, blank lines and lines holding only a // comment left out, tests/ against
# the rest. With --max RATIO, exits 1 when the share is above RATIO, so that CI keeps it there.
set -euo pipefail
cd "$(dirname "$0")/.."
max=""
if [ "${1:-}" = "--max" ]; then
  max="${2:?--max needs a ratio}"
fi
count() {
  git ls-files -z -- "$@" | grep -zE '\.(c|cc|cpp|h|hpp)$' | xargs -0r cat | grep -cvE '^\s*(//.*)?$' || true
}
tests=$(count 'tests/*')
everything=$(count '*')
rest=$((everything - tests))
ratio=$(awk -v t="$tests" -v r="$rest" 'BEGIN { printf "%.3f", (r > 0 ? t / r : 0) }')
echo "tests: $tests lines, the rest: $rest lines, share $ratio"
if [ -n "$max" ] && awk -v s="$ratio" -v m="$max" 'BEGIN { exit !(s > m) }'; then
  echo "The tests' share is above $max: merge tests of one shape into tables and drop what no" \
    "fault a user could see would make fail." >&2
  exit 1
fi
