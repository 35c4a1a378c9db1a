#!/usr/bin/env bash
# One entry point for setting up, building, running and testing on a fresh Debian machine.
#   tools/dev.sh demo   install what is missing, build cfgso alone, run it on the shipped catalog
#   tools/dev.sh test   install what is missing, build, run the whole test suite
#   tools/dev.sh docs   install doxygen when missing, build the API reference (build/api/html)
#   tools/dev.sh deps   install the build dependencies only
#   tools/dev.sh sanitize
#                       clang build with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer,
#                       instrumented for libFuzzer (build-asan); runs the whole suite on it
#   tools/dev.sh fuzz [SECONDS]
#                       runs each libFuzzer target of tests/fuzz for SECONDS (default 30) on that build;
#                       fails on any crash, leak or sanitizer report
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake ninja-build g++ pkg-config libcli11-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
          nlohmann-json3-dev rapidjson-dev pybind11-dev python3-dev python3-pytest ccache libsqlite3-dev
          omniidl libomniorb4-dev
          librsvg2-bin python3-setuptools python3-wheel python3-venv python3-pip python3-build python3-mypy)
FUZZ_PACKAGES=(clang libclang-rt-dev)
FUZZ_TARGETS=(DocumentFuzz ConversionsFuzz StreamerFuzz)

# Compiles go through ccache, so that a build in a fresh clone (as CI makes) reuses what an earlier
# build on this machine compiled. Paths count relative to the checkout, so clones in other folders
# share the cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

deps() {  # deps [package...]: the build dependencies, or the packages given
  local wanted=("${PACKAGES[@]}") missing=()
  (($#)) && wanted=("$@")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
  fi
}

build() {  # build DIR [targets...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" >/dev/null
  if (($#)); then cmake --build "$dir" --target "$@"; else cmake --build "$dir"; fi
}

sanitize_build() {
  deps
  deps "${FUZZ_PACKAGES[@]}"
  # The server is left out: omniORB and SQLite come uninstrumented from Debian, so its tests would
  # check little of ours under the sanitizers (see docs/server.md).
  # Line tables are all the sanitizers' reports need, and compile the tests a third faster than -g.
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only \
    -DCMAKE_CXX_COMPILER=clang++ -DKRO_SANITIZE=ON -DKRO_FUZZ=ON -DKRO_BUILD_BENCH=OFF -DKRO_BUILD_SERVER=OFF \
    "${LAUNCHER[@]}" >/dev/null
  cmake --build build-asan
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

fuzz() {  # fuzz SECONDS
  local seconds=$1 work
  work=$(mktemp -d)
  for target in "${FUZZ_TARGETS[@]}"; do
    local corpus
    corpus="tests/fuzz/corpus/$(echo "${target%Fuzz}" | tr '[:upper:]' '[:lower:]')"
    mkdir -p "$work/$target"
    echo "=== $target: ${seconds} s ==="
    # New inputs go to the scratch folder; the seed corpus is only read. Any crash fails the run.
    if ! "build-asan/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
         -artifact_prefix="$work/$target-" "$work/$target" "$corpus" >"$work/$target.log" 2>&1; then
      tail -n 60 "$work/$target.log"
      echo "$target failed; the input that made it fail is in $work" >&2
      exit 1
    fi
    grep -E '^stat::number_of_executed_units|DONE' "$work/$target.log" || true
  done
  rm -rf "$work"
}

case "${1:-}" in
  deps) deps ;;
  demo)
    deps
    build build cfgso
    ./build/cfgso demo
    ;;
  test)
    deps
    build build
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  docs)
    deps
    deps doxygen
    build build docs
    echo "API reference: build/api/html/index.html"
    ;;
  sanitize)
    sanitize_build
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
    ;;
  fuzz)
    sanitize_build
    fuzz "${2:-30}"
    ;;
  *) echo "usage: tools/dev.sh demo|test|docs|deps|sanitize|fuzz [SECONDS]" >&2; exit 2 ;;
esac
