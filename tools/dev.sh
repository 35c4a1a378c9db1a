#!/usr/bin/env bash
# One entry point for setting up, building, running and testing on a fresh Debian machine.
#   tools/dev.sh demo   install what is missing, build cfgso alone, run it on the shipped catalog
#   tools/dev.sh test   install what is missing, build, run the whole test suite
#   tools/dev.sh docs   install doxygen when missing, build the API reference (build/api/html)
#   tools/dev.sh deps   install the build dependencies only
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake ninja-build g++ pkg-config libcli11-dev libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev rapidjson-dev)

deps() {  # deps [extra packages...]
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
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
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  if (($#)); then cmake --build "$dir" --target "$@"; else cmake --build "$dir"; fi
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
    deps doxygen
    build build docs
    echo "API reference: build/api/html/index.html"
    ;;
  *) echo "usage: tools/dev.sh demo|test|docs|deps" >&2; exit 2 ;;
esac
