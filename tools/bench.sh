#!/usr/bin/env bash
# Benchmarks, in a Release build of their own (build-release/).
#   tools/bench.sh [benchmark flags...]   all benchmarks, 3 repetitions, CPU time; then each figure
#                                         beside its peer and the ratio, from the medians
#   tools/bench.sh lifetime [flags...]    the lifetime measurement; flags --contexts N, --lists N,
#                                         --list-size N, --intervals N scale it down
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/dev.sh deps
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKRO_BUILD_TESTS=OFF >/dev/null

if [ "${1:-}" = lifetime ]; then
  shift
  cmake --build build-release --target cfgso_lifetime
  exec ./build-release/bench/cfgso_lifetime "$@"
fi

cmake --build build-release --target cfgso_bench
out=build-release/bench-results.json
KRO_TRACE= ./build-release/bench/cfgso_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$out" --benchmark_out_format=json "$@"
outs=("$out")
# cfgso-server over loopback, when this build has it (omniORB and SQLite found).
if cmake --build build-release --target cfgso_server_bench 2>/dev/null; then
  server_out=build-release/bench-server-results.json
  KRO_TRACE= ./build-release/bench/cfgso_server_bench --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true --benchmark_out="$server_out" --benchmark_out_format=json "$@"
  outs+=("$server_out")
fi
python3 tools/bench_report.py "${outs[@]}"
