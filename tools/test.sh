#!/bin/sh
# Builds the sanitized debug build and runs every test, then prints the ten
# slowest CTest tests (a suite each) and the ten slowest cases.
#
#   tools/test.sh            the dev preset
#   tools/test.sh release    the release preset, the build users run
set -eu
cd "$(dirname "$0")/.."
preset=${1:-dev}
./tools/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"

results=$PWD/build/$preset/Testing/results.xml
rm -f "$results"
status=0
ctest --preset "$preset" --output-on-failure -j8 --output-junit "$results" \
  --test-output-size-passed 4000000 || status=$?

# The JUnit file holds each CTest test's time and its output, in which
# Google Test gives each case's time.
if [ -f "$results" ]; then
  python3 - "$results" <<'EOF'
import re
import sys
import xml.etree.ElementTree as ET

tests = []
cases = []
for test in ET.parse(sys.argv[1]).getroot().iter("testcase"):
    tests.append((float(test.get("time", "0")), test.get("name", "?")))
    for out in test.iter("system-out"):
        for name, ms in re.findall(r"^\[ +(?:OK|FAILED) +\] (\S+) \((\d+) ms\)$", out.text or "", re.M):
            cases.append((int(ms) / 1000.0, name))
for title, rows in (("tests (suites)", tests), ("cases", cases)):
    print(f"\nThe ten slowest {title}:")
    for seconds, name in sorted(rows, reverse=True)[:10]:
        print(f"  {seconds:8.2f} s  {name}")
EOF
fi
exit $status
