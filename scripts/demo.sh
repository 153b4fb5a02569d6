#!/usr/bin/env bash
# Sets up the machine, builds the library and runs the demo program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset default
cmake --build --preset default --target vexa_demo
./build/default/examples/demo/vexa_demo "$@"
