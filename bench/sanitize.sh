#!/usr/bin/env bash
# Builds the program and every test with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan (cmake/sanitize.cmake) and runs the tests there. The sanitizers' options and
# suppressions are the build's own; ctest sets them for each test, and they are exported here
# too for anything run by hand from this script. Extra arguments go to ctest (e.g. -R tst_timer).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${SANITIZE_BUILD_DIR:-build-asan}"
cmake -S . -B "$build" -DAMBERVALE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j2
source "$build/sanitize-environment.sh"
cd "$build"
ctest --output-on-failure -j2 "$@"
