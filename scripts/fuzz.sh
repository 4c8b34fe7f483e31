#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and the sanitizers, then fuzzes.
#
#   bash scripts/fuzz.sh [TARGET] [SECONDS]   fuzz TARGET (or every target) for SECONDS each (60)
#   bash scripts/fuzz.sh --replay             run every target once over its committed corpus
#
# Targets: hex_scan, colour_string, settings_reader, settings_check. New inputs go to a corpus
# under build-fuzz/, never into the committed seeds in fuzz/corpus/. Each run prints how many
# inputs it tried; a crash or a disagreement stops it and leaves the input in build-fuzz/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
targets=(hex_scan colour_string settings_reader settings_check)

if ! command -v clang++ >/dev/null || [ ! -e "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev >/dev/null
fi
cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

dictionary_of() {
  case "$1" in
    settings_*) echo "$root/fuzz/dictionaries/settings.dict" ;;
    *) echo "$root/fuzz/dictionaries/colour.dict" ;;
  esac
}

if [ "${1:-}" = "--replay" ]; then
  for target in "${targets[@]}"; do
    echo "== $target: replaying $(ls "$root/fuzz/corpus/$target" | wc -l) inputs"
    if ! output="$("$build/${target}_fuzzer" -runs=0 "$root/fuzz/corpus/$target" 2>&1)"; then
      echo "$output" | tail -40
      exit 1
    fi
    echo "$output" | grep -E "^Done"
  done
  exit 0
fi

selected=("${targets[@]}")
if [ -n "${1:-}" ]; then selected=("$1"); fi
seconds="${2:-60}"
for target in "${selected[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: fuzzing for $seconds s"
  (cd "$build" && "./${target}_fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=30 \
    -rss_limit_mb=2048 -dict="$(dictionary_of "$target")" -print_final_stats=1 \
    "$corpus" "$root/fuzz/corpus/$target" 2>"$build/$target.log") || {
    tail -40 "$build/$target.log"
    exit 1
  }
  grep -E "^Done|stat::number_of_executed_units" "$build/$target.log" | tail -2
done
