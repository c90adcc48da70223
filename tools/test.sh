#!/bin/sh
# Builds the sanitized debug build and runs every test.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake --preset dev
cmake --build --preset dev
ctest --preset dev --output-on-failure -j8
