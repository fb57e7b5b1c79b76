#!/usr/bin/env bash
# build.sh BUILD_DIR [cmake options...]: configures and builds the program, the demo pages
# beside it, the tests and the benchmarks. With TARGETS set (names separated by spaces), only
# those targets and what they need.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$here/build}
shift || true
cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@" \
  >/dev/null
# shellcheck disable=SC2086 # the names are words
cmake --build "$dir" -j"$(nproc)" ${TARGETS:+--target $TARGETS}
