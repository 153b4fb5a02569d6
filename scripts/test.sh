#!/usr/bin/env bash
# Sets up the machine, builds the library with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
# Usage: scripts/test.sh [preset]   (preset "asan" by default, or "default")
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-asan}

bash scripts/setup.sh
# Let ccache share results between checkouts in different folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
