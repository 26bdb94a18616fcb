#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz preset for the given number of seconds each
# (default 60), starting from its seed corpus. A crash leaves its input in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bin=build/fuzz
out=$bin/findings
mkdir -p "$out"
found=0
for f in "$bin"/fuzz_*; do
  [ -x "$f" ] && [ -f "$f" ] || continue
  name=$(basename "$f")
  corpus=$bin/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "tests/fuzz-seeds/$name" ] && seeds+=("tests/fuzz-seeds/$name")
  echo "fuzz: $name for ${seconds}s"
  if ! "$f" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix="$out/$name-" \
      "$corpus" "${seeds[@]}" >"$bin/$name.log" 2>&1; then
    echo "fuzz: $name FAILED, see $bin/$name.log"
    tail -n 30 "$bin/$name.log"
    found=1
  fi
done
exit $found
