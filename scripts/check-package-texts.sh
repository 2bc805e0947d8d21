#!/usr/bin/env bash
# The files of one package edition (as the zip and the installer carry them): the licence and
# the README are there, and every text file a pilot opens in Notepad (route file and its sample,
# README, change log, licence, notices, panel.cfg example) has Windows line ends throughout.
#   usage: scripts/check-package-texts.sh PACKAGE_FOLDER
set -uo pipefail
[ $# -eq 1 ] || {
  echo "usage: $0 PACKAGE_FOLDER" >&2
  exit 2
}
cd "$1" || exit 1
failed=0
texts=(Gauges/q14_cfg/q14_ppm.cfg Gauges/q14_cfg/q14_ppm_sample.cfg q14_docs/README.txt q14_docs/CHANGELOG.txt
       q14_docs/LICENSE.txt q14_docs/THIRD_PARTY_NOTICES.txt q14_docs/panel.cfg.txt)
for f in "${texts[@]}"; do
  if [ ! -s "$f" ]; then
    echo "FAILED: $f missing"
    failed=$((failed + 1))
  elif grep -q $'[^\r]$' "$f" || grep -qx '' "$f" || [ "$(tail -c 2 "$f" | od -An -c | tr -d ' ')" != '\r\n' ]; then
    echo "FAILED: $f has a line without a Windows line end"
    failed=$((failed + 1))
  fi
done
grep -q '^MIT License' q14_docs/LICENSE.txt || {
  echo "FAILED: q14_docs/LICENSE.txt is not the MIT licence"
  failed=$((failed + 1))
}
echo "${#texts[@]} texts checked, $failed failed"
[ "$failed" -eq 0 ]
