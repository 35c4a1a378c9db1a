#!/usr/bin/env bash
# One entry point for setting up, building, running and testing on a fresh Debian machine.
#   tools/dev.sh demo   install what is missing, build, run the main program on the default catalog
#   tools/dev.sh test   install what is missing, build, run the whole test suite
#   tools/dev.sh deps   install the build dependencies only
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev rapidjson-dev
          pybind11-dev python3-dev python3-pytest)

deps() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
  fi
}

build() {  # build DIR [extra cmake args...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir"
}

case "${1:-}" in
  deps) deps ;;
  demo)
    deps
    build build
    ./build/cfgso demo
    ;;
  test)
    deps
    build build
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  *) echo "usage: tools/dev.sh demo|test|deps" >&2; exit 2 ;;
esac
