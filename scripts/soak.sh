#!/usr/bin/env bash
# Soak flight of both units in the host stand-in: "short" flies one hour of frames (as the
# test run does), "full" a whole day (1.56 million frames at 18 Hz) with every display text
# checked in every frame. Builds into build/perf.
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-short} in
  short) args=(--hours 1) ;;
  full) args=(--hours 24 --text-every 1) ;;
  *) echo "usage: scripts/soak.sh [short|full]" >&2; exit 2 ;;
esac
build=${Q14_SOAK_BUILD:-build/perf}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target q14_soak
exec "$build/scenarios/q14_soak" "${args[@]}"
