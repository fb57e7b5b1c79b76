#!/usr/bin/env bash
# Installs what is missing, builds the program and its demo pages (not the tests), and starts
# the program on them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
TARGETS="tablavox demo_data vocabulary_data" bash "$here/scripts/build.sh" "$here/build"
exec "$here/build/bin/tablavox"
