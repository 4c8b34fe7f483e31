#!/usr/bin/env bash
# Runs the settings benchmarks with repetitions and prints, for each file, each query's least
# time per read of the file (and, for comparison, its median) as a ratio of the same statistic of
# the bare open, fstat, read and close of the same file, measured side by side in the same run,
# with its heap allocations per query; then the worst ratios for the usual file and for any file
# within the size cap. Builds the benchmarks first if needed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake --build "$build" --target settings_bench layout_bench -j "$(nproc)" >/dev/null
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
# The repetitions of all the benchmarks run in a random order, so that a burst of load from the
# machine's neighbours falls on the bare read and the queries of a file alike, not on one of them.
# Many short repetitions rather than a few long ones: load on the machine lasts seconds, and the
# least of 25 is far likelier than the least of 7 to have found a quiet moment for each benchmark.
"$build/bench/settings_bench" --benchmark_repetitions="${REPETITIONS:-25}" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_min_time="${MIN_TIME:-0.015}" --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$report"
python3 - "$report" <<'PYTHON'
import json, sys
benchmarks = json.load(open(sys.argv[1]))["benchmarks"]
runs = {(b["run_name"], b["aggregate_name"]): b for b in benchmarks if "aggregate_name" in b}
order = sorted({b["family_index"]: b["run_name"] for b in benchmarks}.items())
files = [name.split("/", 1)[1] for _, name in order if name.startswith("BareRead/")]
print(f"{'file':<44}{'query':<14}{'bare ns':>9}{'ns a read':>11}{'x bare':>8}"
      f"{'(median)':>10}{'allocations':>13}")
worst = {scope: {statistic: (0.0, "") for statistic in ("least", "median")}
         for scope in ("usual", "any")}
for file in files:
    bare = {statistic: runs[(f"BareRead/{file}", statistic)]["real_time"]
            for statistic in ("least", "median")}
    for query in ("ColourLookup", "MasterSwitch"):
        if (f"{query}/{file}", "least") not in runs:
            continue
        ratio = {}
        for statistic in ("least", "median"):
            run = runs[(f"{query}/{file}", statistic)]
            ratio[statistic] = run["real_time"] / run["reads"] / bare[statistic]
            for scope in ("usual", "any"):
                if (scope == "any" or file.startswith("usual/")) and \
                        ratio[statistic] > worst[scope][statistic][0]:
                    worst[scope][statistic] = (ratio[statistic], f"{query} {file}")
        least = runs[(f"{query}/{file}", "least")]
        print(f"{file:<44}{query:<14}{bare['least']:>9.0f}"
              f"{least['real_time'] / least['reads']:>11.0f}{ratio['least']:>8.2f}"
              f"{ratio['median']:>10.2f}{least.get('allocations', 0):>13.1f}")
for scope, what in (("usual", "usual file"), ("any", "any file within the cap")):
    (ratio, where), (median, medianWhere) = worst[scope]["least"], worst[scope]["median"]
    print(f"worst ratio to the bare read, {what}: {ratio:.2f} ({where}); "
          f"of the medians {median:.2f} ({medianWhere})")
PYTHON
