#!/usr/bin/env bash
# tools/fuzz.sh [seconds]
#
# Builds every fuzz target (each Foo_fuzz.cpp in the tree becomes fuzz_Foo in
# the `fuzz` preset) and runs each for the given time (default 60 seconds),
# then prints runs, runs per second and findings per target. A target's
# seeds are named by Foo_fuzz.seeds beside its source: one file glob a line,
# relative to that folder (it may reach other folders' test data through
# ".."), "#" starting a comment. A line "\xNN glob" puts the byte NN in front
# of each file, for targets whose first byte picks how the rest is read.
# The inputs kept in Foo_fuzz.regressions/ beside the source (findings whose
# fault is mended) are seeds too. Corpora grow in build/fuzz/corpus/<target>
# from run to run; findings land in build/fuzz/findings/<target>. The same
# seeds and kept inputs are replayed by CTest in every build with tests
# (fuzz_replay/<target>).
#
# FUZZ_JOBS=n runs n targets at a time (default 1); FUZZ_TARGETS="A B" runs
# only the targets named (as in the table, without "fuzz_"). The exit status is 1 when
# a target found something or did not run.
set -euo pipefail

seconds=${1:-60}
case $seconds in
  '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac
jobs=${FUZZ_JOBS:-1}

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$root/build/fuzz

./tools/install-deps.sh

# Every fuzz source, wherever a folder keeps it.
mapfile -t sources < <(find "$root" -path "$root/build" -prune -o -path "$root/.git" -prune -o \
  -name '*_fuzz.cpp' -print | sort)
if [ ${#sources[@]} -eq 0 ]; then
  echo "no *_fuzz.cpp found" >&2
  exit 1
fi
targets=()
if [ -n "${FUZZ_TARGETS:-}" ]; then
  chosen=()
  for src in "${sources[@]}"; do
    case " $FUZZ_TARGETS " in *" $(basename "$src" _fuzz.cpp) "*) chosen+=("$src") ;; esac
  done
  if [ ${#chosen[@]} -eq 0 ]; then
    echo "none of FUZZ_TARGETS ($FUZZ_TARGETS) is a fuzz target" >&2
    exit 2
  fi
  sources=("${chosen[@]}")
fi
for src in "${sources[@]}"; do
  targets+=("$(basename "$src" _fuzz.cpp)")
done

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
[ -f "$build/build.ninja" ] || cmake --preset fuzz "${launcher[@]}" > /dev/null
cmake --build --preset fuzz -j"${FUZZ_BUILD_JOBS:-4}" --target "${targets[@]/#/fuzz_}"

# Line-file targets write and fsync a file each run: their temporary folder
# is kept in memory where the machine has one.
tmpbase=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  tmpbase=/dev/shm
fi
work=$(mktemp -d "$tmpbase/tallyvane-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Copies the files a target's seeds file names into the folder given.
seed() { # source-file folder
  local list=${1%.cpp}.seeds dir pattern file prefix name
  mkdir -p "$2"
  [ -f "$list" ] || return 0
  dir=$(dirname "$1")
  while read -r pattern || [ -n "$pattern" ]; do
    pattern=${pattern%%#*}
    pattern=${pattern%"${pattern##*[![:space:]]}"}
    [ -n "$pattern" ] || continue
    prefix=""
    case $pattern in
      '\x'[0-9a-fA-F][0-9a-fA-F]' '*) prefix=${pattern:2:2}; pattern=${pattern:5} ;;
    esac
    for file in "$dir"/$pattern; do
      [ -f "$file" ] || continue
      name=$(echo "$file" | sed "s|^$dir/||; s|\.\./||g; s|/|_|g")
      if [ -n "$prefix" ]; then
        { printf "\\x$prefix"; cat "$file"; } > "$2/x${prefix}_$name"
      else
        cp "$file" "$2/$name"
      fi
    done
  done < "$list"
  local kept=${1%.cpp}.regressions
  if [ -d "$kept" ]; then
    for file in "$kept"/*; do
      [ -f "$file" ] && cp "$file" "$2/kept_$(basename "$file")"
    done
  fi
  return 0
}

run() { # index
  local name=${targets[$1]} src=${sources[$1]}
  local corpus=$build/corpus/$name findings=$build/findings/$name
  local seeds=$work/seeds/$name tmp=$work/tmp/$name log=$build/findings/$name.log
  mkdir -p "$corpus" "$findings" "$tmp"
  seed "$src" "$seeds"
  local before
  before=$(find "$findings" -type f | wc -l)
  local status=0
  TMPDIR=$tmp \
  ASAN_OPTIONS=detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$root/tools/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  QT_QPA_PLATFORM=offscreen \
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$seeds" > "$log" 2>&1 || status=$?
  local runs rate after seeded
  runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -1)
  [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\)[[:space:]].*/\1/p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *\([0-9]*\).*/\1/p' "$log" | tail -1)
  after=$(find "$findings" -type f | wc -l)
  seeded=$(find "$seeds" -type f | wc -l)
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "${runs:-0}" "${rate:-0}" "$((after - before))" "$status" \
    "$seeded" "$(find "$corpus" -type f | wc -l)" > "$work/result.$1"
  rm -rf "$tmp"
}

echo "Fuzzing ${#targets[@]} targets for $seconds s each, $jobs at a time."
for i in "${!targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  run "$i" &
done
wait

failed=0
printf '\n%-28s %12s %8s %9s %7s %7s\n' target runs runs/s findings seeds corpus
for i in "${!targets[@]}"; do
  if [ ! -f "$work/result.$i" ]; then
    printf '%-28s did not run\n' "${targets[$i]}"
    failed=1
    continue
  fi
  IFS=$'\t' read -r name runs rate found status seeded size < "$work/result.$i"
  printf '%-28s %12s %8s %9s %7s %7s' "$name" "$runs" "$rate" "$found" "$seeded" "$size"
  if [ "$found" -gt 0 ] || [ "$status" -ne 0 ]; then
    printf '   see build/fuzz/findings/%s.log' "$name"
    failed=1
  fi
  printf '\n'
done
exit $failed
