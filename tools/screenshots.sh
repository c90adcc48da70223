#!/bin/sh
# tools/screenshots.sh [folder] [test filter]
#
# Writes the pictures the tests take of the windows and controls into folder
# (build/screenshots unless told), for people to look at: builds the dev
# preset and runs the test executables with TV_SCREENSHOTS naming the folder.
# The filter is a Google Test filter ("OptionsWindow.*:FlatCombo.*"; every
# test unless told). DESKTOP=1 runs them on a desktop of their own
# (tools/desktop-session.sh), where the pictures show the windows' frames.
# The exit status is 1 when a test failed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mkdir -p "${1:-build/screenshots}"
folder=$(cd "${1:-build/screenshots}" && pwd)
filter=${2:-*}

./tools/install-deps.sh
cmake --preset dev > /dev/null
cmake --build --preset dev

export TV_SCREENSHOTS="$folder"
status=0
# Tests run in the build tree's root, as under CTest.
cd build/dev
for exe in bin/*_tests; do
  if [ "${DESKTOP:-0}" = 1 ]; then
    "$root/tools/desktop-session.sh" "$exe" --gtest_filter="$filter" --gtest_brief=1 || status=1
  else
    QT_QPA_PLATFORM=offscreen "$exe" --gtest_filter="$filter" --gtest_brief=1 || status=1
  fi
done
echo "Pictures: $(find "$folder" -name '*.png' | wc -l) in $folder"
exit $status
