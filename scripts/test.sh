#!/usr/bin/env bash
# Builds the suite and runs every test.
#   scripts/test.sh             the regular build in build/
#   scripts/test.sh --sanitize  a second build in build-asan/ with ASan and UBSan
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" -DTZ2_WARNINGS_AS_ERRORS=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DTZ2_WARNINGS_AS_ERRORS=ON -DTZ2_SANITIZE=ON -DTZ2_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" "${flags[@]}"
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
