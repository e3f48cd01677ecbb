#!/usr/bin/env bash
# The long soak: the random-play test of test_game for ten million ticks (or the count
# given as the first argument). Run from the repository with a built tree in build/
# (or BUILD=dir).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
TICKS=${1:-10000000}
cmake --build "$BUILD" -j2 --target test_game >/dev/null
time ZOL_SOAK_TICKS="$TICKS" "$BUILD/test_game" --gtest_filter='Soak.*'
