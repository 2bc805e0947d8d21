#!/usr/bin/env bash
# Runs one console Windows program of a win32 build under Wine (no display), in the prefix
# scripts/wine-setup.sh makes; its exit status is the program's.
#   usage: scripts/run-wine-program.sh PROGRAM.exe [ARGS...]
set -uo pipefail
[ $# -ge 1 ] || {
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
prefix=$("$here/wine-setup.sh" --no-probe | tail -n 1) || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all
# A server still up belongs to another run on this prefix: wait for it to end, for a while.
timeout 300 wineserver -w || wineserver -k
wine "$@"
rc=$?
wineserver -k
exit $rc
