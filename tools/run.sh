#!/bin/sh
# Builds the release build and starts Tallyvane. On a first start it sets up
# its folders and opens the example database.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec ./build/release/bin/tallyvane "$@"
