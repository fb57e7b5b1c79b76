#!/usr/bin/env bash
# build.sh BUILD_DIR [cmake options...]: configures and builds the program, its tests and
# the demo pages beside the program.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$here/build}
shift || true
cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
