#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs every test headless, then
# runs them once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
# Speech and sounds are tested on a real audio server, with a null sink.
source "$here/scripts/start-audio.sh"

bash "$here/scripts/build.sh" "$here/build-ci" -DTABLAVOX_WERROR=ON
# The checks of .clang-tidy over the program's own sources; any finding fails the run.
run-clang-tidy -p "$here/build-ci" -quiet -j "$(nproc)" "^$here/src/.*\.cpp$" >"$here/build-ci/clang-tidy.log" 2>&1 ||
  { grep -E "(error|warning):" "$here/build-ci/clang-tidy.log"; exit 1; }
(cd "$here/build-ci" && ctest --output-on-failure)

bash "$here/scripts/build.sh" "$here/build-asan" -DTABLAVOX_WERROR=ON -DTABLAVOX_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$here/build-asan" && ctest --output-on-failure)
