#!/usr/bin/env bash
# make-package.sh [BUILD_DIR]: builds the program in its own build directory (so that the
# demo pages it ships are the ones the build made, not pages edited by hand) and makes
# BUILD_DIR/package/tablavox_<version>_amd64.deb; prints its path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$here/build-package}
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh" "$dir" -DBUILD_TESTING=OFF
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/package/tablavox_*_amd64.deb
