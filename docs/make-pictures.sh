#!/usr/bin/env bash
# Redraws the pictures of the user guide (docs/img/) with q14bench from the real panel artwork:
# the flight plot of the bundled route and two sheets of unit 2's panels.
# Q14_BUILD_ROOT moves the build directory as for run-example (default: build/native).
set -euo pipefail
cd "$(dirname "$0")/.."

root=${Q14_BUILD_ROOT:-build}
dir=$root/native
if [ "$root" = build ]; then
  cmake --preset native >/dev/null
else
  cmake --preset native -B "$dir" >/dev/null
fi
cmake --build "$dir" --target q14bench >/dev/null
bench=$dir/tools/q14bench

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$bench" fly --out "$tmp/fly" --every 600 >/dev/null
"$bench" panel --page 1 --lamp-test --out "$tmp/kontr" >/dev/null
"$bench" panel --after-minutes 6 --page 6 --out "$tmp/flight" >/dev/null

mkdir -p docs/img
cp "$tmp/fly/route.png" docs/img/fly_route.png
cp "$tmp/kontr/panels.png" docs/img/panels_kontr.png
cp "$tmp/flight/panels.png" docs/img/panels_flight.png
echo "wrote docs/img/fly_route.png, docs/img/panels_kontr.png, docs/img/panels_flight.png"
