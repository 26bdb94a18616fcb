#!/usr/bin/env bash
# Builds everything and runs every test: native (plain and with sanitizers), a short fuzzing
# pass, and the Windows build with its tests under Wine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash tools/deps.sh all

# Warnings are errors here, so nothing slips in unnoticed.
export DENSILO_WERROR=ON

step() { printf '\n== %s\n' "$*"; }

step "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset native-asan -j"$jobs"

step "fuzzers, a short pass each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
bash tools/fuzz.sh 20

step "Windows build, tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
ctest --preset windows
