#!/usr/bin/env bash
# Runs the settings benchmarks with repetitions and prints, for each file, each query's median
# time per read of the file as a ratio of the bare open, fstat, read and close of the same file,
# measured side by side in the same run, with its heap allocations per query; then the worst ratio
# for the usual file and for any file within the size cap. Builds the benchmarks first if needed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake --build "$build" --target settings_bench layout_bench -j "$(nproc)" >/dev/null
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
"$build/bench/settings_bench" --benchmark_repetitions="${REPETITIONS:-7}" \
  --benchmark_min_time="${MIN_TIME:-0.05}" --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$report"
python3 - "$report" <<'PYTHON'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
files = [name.split("/", 1)[1] for name in runs if name.startswith("BareRead/")]
print(f"{'file':<44}{'query':<14}{'bare ns':>9}{'ns a read':>11}{'x bare':>8}{'allocations':>13}")
worst = {"usual": (0.0, ""), "any": (0.0, "")}
for file in files:
    bare = runs[f"BareRead/{file}"]["real_time"]
    for query in ("ColourLookup", "MasterSwitch"):
        run = runs.get(f"{query}/{file}")
        if run is None:
            continue
        perRead = run["real_time"] / run["reads"]
        ratio = perRead / bare
        for scope in ("usual", "any"):
            if (scope == "any" or file.startswith("usual/")) and ratio > worst[scope][0]:
                worst[scope] = (ratio, f"{query} {file}")
        print(f"{file:<44}{query:<14}{bare:>9.0f}{perRead:>11.0f}{ratio:>8.2f}"
              f"{run.get('allocations', 0):>13.1f}")
print(f"worst ratio to the bare read, usual file: {worst['usual'][0]:.2f} ({worst['usual'][1]})")
print(f"worst ratio to the bare read, any file within the cap: {worst['any'][0]:.2f} "
      f"({worst['any'][1]})")
PYTHON
