#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, build/fuzz) and runs each for a bounded time on
# inputs of up to 4096 bytes, printing the executions each reached. Each target starts from
# the seeds kept in the sources (<room>/fuzz_corpus/<name>/ for q14_fuzz_<name>) and adds what
# it finds to build/fuzz/corpus/. Usage: scripts/run-fuzz.sh [SECONDS per target, 60]
set -euo pipefail
secs=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target q14_fuzzers >/dev/null
status=0
for exe in build/fuzz/q14_fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  corpus=build/fuzz/corpus/$name
  artifacts=build/fuzz/artifacts/$name
  log=build/fuzz/$name.log
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  for d in */fuzz_corpus/"${name#q14_fuzz_}"; do [ -d "$d" ] && seeds+=("$d"); done
  if "$exe" -max_len=4096 -max_total_time="$secs" -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
       "${seeds[@]}" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "$name: ${runs:-?} executions in $secs s, ${rate:-?}/s ($cov)"
  else
    echo "$name: FAILED after a crash or a failed check; log $log, input in $artifacts"
    status=1
  fi
done
exit $status
