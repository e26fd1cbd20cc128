#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (GUI tests on the offscreen Qt platform).
# Exits non-zero on any failure.
#   ./test.sh                        plain build in build/
#   ./test.sh --sanitize thread      the whole suite under a sanitizer, in build-thread/
#   ./test.sh --sanitize address,undefined
set -euo pipefail
cd "$(dirname "$0")"

sanitize=""
if [ "${1:-}" = "--sanitize" ]; then
  sanitize="${2:?--sanitize needs address,undefined or thread}"
fi

./scripts/install-deps.sh

build_dir=build
type=RelWithDebInfo
if [ -n "$sanitize" ]; then
  build_dir="build-${sanitize//,/-}"
  type=Debug
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DLUMETRA_SANITIZE="$sanitize"
cmake --build "$build_dir" -j2

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
export TSAN_OPTIONS="second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
ctest --test-dir "$build_dir" -j2 --output-on-failure --timeout 300
