#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test suite: on Linux, the Debian
# package installed and started, then under the address and undefined-behaviour sanitizers, one
# desktop smoke test under valgrind, and the logic cross-built for Windows under Wine with its
# packages installed there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash tools/package-test.sh build

BUILD_DIR=build-asan bash tools/sanitize.sh
BUILD_DIR=build bash tools/memcheck.sh start-exit

# The logic and the Win32 port layer, cross-built for Windows and run under Wine; then its
# zip and installer.
bash tools/windows-test.sh build
bash tools/windows-package-test.sh build
