#!/usr/bin/env bash
# Installs what is missing, builds the Release programs and starts the configurator with the build
# folder as its working directory, where "Otvoriť" finds the bus server.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMETRA_BUILD_TESTS=OFF \
  -DLUMETRA_BUILD_BENCH=OFF
cmake --build build-release -j2
cd build-release
exec ./LumetraConfigurator "$@"
