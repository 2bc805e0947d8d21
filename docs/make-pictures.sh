#!/usr/bin/env bash
# Redraws the pictures of the user guides with q14bench from the real panel artwork: for the
# English guide (docs/img/) the flight plot of the bundled route and two sheets of unit 2's
# panels with the Latin captions; for the Russian guide (docs/img/ru/) the same sheets and the
# UVI and PUR on their own, with the Cyrillic captions.
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
for captions in latin cyrillic; do
  "$bench" panel --captions $captions --page 1 --lamp-test --out "$tmp/$captions/kontr" >/dev/null
  "$bench" panel --captions $captions --after-minutes 6 --page 6 --out "$tmp/$captions/flight" >/dev/null
done

mkdir -p docs/img/ru
cp "$tmp/fly/route.png" docs/img/fly_route.png
cp "$tmp/latin/kontr/panels.png" docs/img/panels_kontr.png
cp "$tmp/latin/flight/panels.png" docs/img/panels_flight.png
cp "$tmp/cyrillic/kontr/panels.png" docs/img/ru/panels_kontr.png
cp "$tmp/cyrillic/flight/panels.png" docs/img/ru/panels_flight.png
cp "$tmp/cyrillic/kontr/uvi.png" docs/img/ru/uvi_kontr.png
cp "$tmp/cyrillic/kontr/pur.png" docs/img/ru/pur_kontr.png
echo "wrote docs/img/fly_route.png, panels_kontr.png, panels_flight.png;" \
     "docs/img/ru/panels_kontr.png, panels_flight.png, uvi_kontr.png, pur_kontr.png"
