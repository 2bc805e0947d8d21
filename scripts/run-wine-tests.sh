#!/usr/bin/env bash
# Runs the Windows test host of a win32 build (the real .gau files, a real window and real
# keystrokes) under Wine on a virtual display; leaves its Google Test report (wine.xml) in a
# directory. TEST_EXE runs another test host instead (the installed package's, from the folder
# it was copied to).
#   usage: scripts/run-wine-tests.sh WIN32_BUILD_DIR REPORT_DIR [TEST_EXE]
# One wineserver stays up for the whole run (wineserver -p) and is stopped at the end.
set -uo pipefail

[ $# -eq 2 ] || [ $# -eq 3 ] || {
  echo "usage: $0 WIN32_BUILD_DIR REPORT_DIR [TEST_EXE]" >&2
  exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "$1" && pwd)/host/wine/q14_wine_tests.exe
[ $# -eq 3 ] && exe=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
mkdir -p "$2" || exit 1
report=$(cd "$2" && pwd)/wine.xml
rm -f "$report"

if [ ! -f "$exe" ]; then
  echo "run-wine-tests: $exe was not built" >&2
  exit 1
fi
prefix=$("$here/wine-setup.sh" --no-probe | tail -n 1) || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all

# Inside one virtual display. A server still up belongs to another run on this prefix (or to
# a display that is gone): wait for it to end, for a while, before stopping it.
timeout 900 xvfb-run -a bash -c '
  timeout 300 wineserver -w || wineserver -k
  wineserver -p
  # Google Test on Windows takes a rooted path as relative to the working directory.
  wine "$1" --gtest_output="xml:$(winepath -w "$2")"
  rc=$?
  wineserver -k
  exit $rc' run-wine-tests "$exe" "$report"
