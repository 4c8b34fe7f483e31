#!/usr/bin/env bash
# Runs the settings benchmarks with repetitions and prints each query's median time as a ratio of
# the bare open, read and close of the same file, measured side by side in the same run, with its
# heap allocations per query, then the worst ratio. Builds the benchmarks first if needed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake --build "$build" --target settings_bench layout_bench -j "$(nproc)" >/dev/null
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
"$build/bench/settings_bench" --benchmark_repetitions="${REPETITIONS:-9}" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$report"
python3 - "$report" <<'PYTHON'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
print(f"{'file':<18}{'query':<14}{'median ns':>11}{'x bare read':>13}{'allocations':>13}")
worst = 0.0
for form in ("Xml", "Binary", "LargeXml", "LargeBinary", "SharedReferences"):
    bare = runs[f"BareOpenReadClose/{form}"]["real_time"]
    for query in ("ColourLookup", "MasterSwitch"):
        run = runs.get(f"{query}/{form}")
        if run is None:
            continue
        ratio = run["real_time"] / bare
        worst = max(worst, ratio)
        print(f"{form:<18}{query:<14}{run['real_time']:>11.0f}{ratio:>13.2f}"
              f"{run.get('allocations', 0):>13.1f}")
print(f"worst ratio to the bare read of the same file: {worst:.2f}")
PYTHON
