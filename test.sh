#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (GUI tests on the offscreen Qt platform).
# Exits non-zero on any failure.
#   ./test.sh                        plain build in build/
#   ./test.sh --sanitize thread      the whole suite under a sanitizer, in build-thread/
#   ./test.sh --sanitize address,undefined
#   ./test.sh --fuzz [SECONDS]          every libFuzzer target for SECONDS each (60), in build-fuzz/
set -euo pipefail
cd "$(dirname "$0")"

sanitize=""
if [ "${1:-}" = "--sanitize" ]; then
  sanitize="${2:?--sanitize needs address,undefined or thread}"
fi

if [ "${1:-}" = "--fuzz" ]; then
  seconds="${2:-60}"
  ./scripts/install-deps.sh --fuzz
  cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=None
  cmake --build build-fuzz -j2
  # New inputs go to a scratch folder; the corpus in the tree stays the small seed set. A finding
  # is written to build-fuzz/findings/ and stops the run with a non-zero exit.
  mkdir -p build-fuzz/findings
  for corpus in fuzz/corpus/*/; do
    target="$(basename "$corpus")"
    work="build-fuzz/work/$target"
    mkdir -p "$work"
    echo "fuzz: $target for $seconds s"
    "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" "$work" "$corpus"
  done
  exit 0
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
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1
export TSAN_OPTIONS="second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
ctest --test-dir "$build_dir" -j2 --output-on-failure --timeout 300
