#!/usr/bin/env bash
# An installer under Wine as a pilot uses it: silently over a simulator folder laid out as the
# zip leaves it, with an edited route file and files of the pilot's own (the route file and
# those stay byte for byte, the installed units load from there); its uninstaller (only what was
# installed goes); a fresh install into an empty folder (the route file put in place) and an
# update that finds the folder chosen before. Prints "FAILED: ..." for each failed check.
#   usage: scripts/installer-test.sh WIN32_BUILD_DIR SETUP_EXE STAGED_FILES EDITION_TITLE VERSION
# STAGED_FILES is the edition's files as the zip holds them (the installer's build stages them).
set -uo pipefail
[ $# -eq 5 ] || {
  echo "usage: $0 WIN32_BUILD_DIR SETUP_EXE STAGED_FILES EDITION_TITLE VERSION" >&2
  exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
setup=$(realpath "$2")
stage=$(realpath "$3")
title=$4
version=$5
route=Gauges/q14_cfg/q14_ppm.cfg
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\q14'
choice_key='HKCU\Software\q14'

prefix=$("$here/wine-setup.sh" --no-probe | tail -n 1) || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all
work=$(mktemp -d /tmp/q14_installer_test.XXXXXX)
trap 'rm -rf "$work"' EXIT

failed=0
passed=0
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failed=$((failed + 1))
  fi
}

# The Windows path of a folder of this machine (Wine's drive Z: is the root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Runs a bash snippet of Wine commands on a virtual display and waits until every process it
# started has ended (an uninstaller carries on in a copy of itself after it returns).
in_wine() {
  timeout 600 xvfb-run -a bash -c "timeout 300 wineserver -w || wineserver -k
    $1
    rc=\$?
    timeout 300 wineserver -w
    exit \$rc"
}

# The uninstaller's entry (the installer is a 32-bit program: the 32-bit view of the registry)
# and the remembered folder, as reg prints them, into $work/registry.
read_registry() {
  in_wine "wine reg query '$uninstall_key' /reg:32 >'$work/registry' 2>/dev/null
           wine reg query '$choice_key' /v SimulatorFolder >>'$work/registry' 2>/dev/null
           true"
  tr -d '\r' <"$work/registry" >"$work/registry.txt"
}
registry_has() { grep -Eq "$1" "$work/registry.txt"; }
nothing_registered() { ! registry_has 'DisplayVersion|SimulatorFolder'; }

# The files of the edition but the route file, as paths below the simulator folder.
(cd "$stage" && find . -type f ! -path "./$route" | sed 's|^\./||' | sort) >"$work/installed"
[ -s "$work/installed" ] || {
  echo "FAILED: no staged files in $stage"
  exit 1
}
same_as_staged() { while read -r f; do cmp -s "$stage/$f" "$1/$f" || return 1; done <"$work/installed"; }
none_left() { while read -r f; do [ ! -e "$1/$f" ] || return 1; done <"$work/installed"; }
unchanged() { (cd "$1" && sha256sum --quiet -c "$work/pilot.sums"); }
differs() { ! cmp -s "$1" "$2"; }

# No earlier run's entries.
in_wine "wine reg delete '$uninstall_key' /reg:32 /f; wine reg delete '$choice_key' /f" >/dev/null 2>&1

# 1. An update over the zip's layout, with the pilot's own files and an edited route file.
sim=$work/sim
mkdir -p "$sim"
cp -r "$stage"/. "$sim"/
mkdir -p "$sim/Flights"
echo "the simulator's own program" >"$sim/sim.exe"
echo "another maker's gauge" >"$sim/Gauges/other.gau"
echo "notes beside the route file" >"$sim/Gauges/q14_cfg/notes.txt"
echo "a saved flight" >"$sim/Flights/training.flt"
printf 'a saved flight state\0' >"$sim/Flights/training.insb"
echo "the pilot's notes in the documents folder" >"$sim/q14_docs/my notes.txt"
sed -i 's/^ppm_12=[^\r]*/ppm_12=59*48.0,30*15.0/' "$sim/$route"
check "the route file was edited" differs "$sim/$route" "$stage/$route"
(cd "$sim" && sha256sum "$route" sim.exe Gauges/other.gau Gauges/q14_cfg/notes.txt Flights/training.flt \
  Flights/training.insb "q14_docs/my notes.txt") >"$work/pilot.sums"

in_wine "wine '$setup' /S '/D=$(windows_path "$sim")'"
check "silent install over the 1.0 layout (exit status)" [ $? -eq 0 ]
check "route file and the pilot's files unchanged by the update" unchanged "$sim"
check "every file of the edition but the route file installed" same_as_staged "$sim"
check "uninstaller installed" [ -f "$sim/q14_docs/uninstall.exe" ]
read_registry
check "Programs and Features: version $version" registry_has "DisplayVersion[[:space:]]+REG_SZ[[:space:]]+$version\$"
check "Programs and Features: size" registry_has "EstimatedSize[[:space:]]+REG_DWORD[[:space:]]+0x[0-9a-f]*[1-9a-f]"
check "Programs and Features: uninstaller" registry_has 'UninstallString[[:space:]]+REG_SZ[[:space:]]+"Z:.*\\q14_docs\\uninstall\.exe"$'
check "the chosen folder remembered" registry_has "SimulatorFolder[[:space:]]+REG_SZ[[:space:]]+$(windows_path "$sim" | sed 's/[.\\]/\\&/g')\$"

# The installed units load from Gauges\ and carry the edition.
cp "$build/host/wine/q14_installed_test.exe" "$sim/"
Q14_EDITION=$title "$here/run-wine-tests.sh" "$build" "$work/installed-results" "$sim/q14_installed_test.exe"
check "the installed package's test host (units loaded from the installation)" [ $? -eq 0 ]
rm -f "$sim/q14_installed_test.exe"

# 2. The uninstaller: what was installed goes, the rest stays.
in_wine "wine '$(windows_path "$sim")\\q14_docs\\uninstall.exe' /S"
check "silent uninstall (exit status)" [ $? -eq 0 ]
check "every installed file removed" none_left "$sim"
check "uninstaller removed" [ ! -e "$sim/q14_docs/uninstall.exe" ]
check "route file and the pilot's files kept by the uninstaller" unchanged "$sim"
read_registry
check "uninstaller's entry and remembered folder removed" nothing_registered

# 3. A fresh install into an empty folder puts the sample route file in place; an update
# without /D goes to the folder chosen before.
fresh=$work/fresh
mkdir -p "$fresh"
in_wine "wine '$setup' /S '/D=$(windows_path "$fresh")'"
check "silent fresh install (exit status)" [ $? -eq 0 ]
check "fresh install: the route file in place" cmp -s "$stage/$route" "$fresh/$route"
check "fresh install: every file of the edition" same_as_staged "$fresh"
rm -f "$fresh/Gauges/q14_n1.gau"
in_wine "wine '$setup' /S"
check "an update without /D goes to the folder chosen before" cmp -s "$stage/Gauges/q14_n1.gau" "$fresh/Gauges/q14_n1.gau"
in_wine "wine '$(windows_path "$fresh")\\q14_docs\\uninstall.exe' /S"
check "fresh install uninstalled: the route file kept" cmp -s "$stage/$route" "$fresh/$route"
check "fresh install uninstalled: every installed file removed" none_left "$fresh"
# With nothing remembered, a silent installation without /D has no folder and refuses.
in_wine "wine '$setup' /S"
check "silent install without /D and no folder chosen before refused (exit status)" [ $? -ne 0 ]

echo "$(basename "$setup"): $passed checks passed, $failed failed"
[ "$failed" -eq 0 ]
