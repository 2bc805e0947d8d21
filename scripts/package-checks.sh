#!/usr/bin/env bash
# The checks of the shipped modules and the release packages that CTest runs in the win32 build
# tree (cmake/package_tests.cmake): one check a call, FAILED lines for what is wrong, exit 1 then.
#   package-checks.sh exports WIN32_DIR UNIT          the two data symbols exported, only system DLLs imported
#   package-checks.sh again WIN32_DIR AGAIN_DIR       the package built a second time, from scratch, elsewhere
#   package-checks.sh notices MAP                     each runtime archive the link map names is in the notices
#   package-checks.sh contents WIN32_DIR ZIP LANGUAGE SHA256SUMS, files, pictures and the guide's language
#   package-checks.sh installed WIN32_DIR ZIP EDITION REPORT_DIR   the installed package's test host under Wine
#   package-checks.sh editions-build CYRILLIC_DIR     the win32-cyrillic preset's modules
#   package-checks.sh editions WIN32_DIR CYRILLIC_DIR UNIT   Latin and Cyrillic differ only in bitmaps and edition
set -uo pipefail
cd "$(dirname "$0")/.."

failed=0
fail() {
  failed=$((failed + 1))
  echo "FAILED: $*"
}

# The shipped module of one unit: Linkage and ImportTable exported, only system DLLs imported.
exports() {
  local gau=$1/q14_n$2.gau dump exports sym bad_imports
  local allowed='^(kernel32|user32|msvcrt|advapi32|gdi32)\.dll$'
  [ -f "$gau" ] || { fail "$gau missing"; return; }
  dump=$(objdump -p "$gau")
  exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
            sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\)$/\1/p')
  for sym in Linkage ImportTable; do
    printf '%s\n' "$exports" | grep -qx "$sym" || fail "q14_n$2.gau does not export $sym"
  done
  bad_imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | grep -Ev "$allowed")
  [ -z "$bad_imports" ] || fail "q14_n$2.gau imports $(echo $bad_imports)"
}

# The package target of a second win32 build folder, configured from the preset afresh; the
# package_identical tests compare it with the first.
again() {
  local t0 zip
  t0=$(date +%s)
  rm -rf "$2"
  if ! { cmake --preset win32 -B "$2" && cmake --build "$2" --target package; } >"$2.log" 2>&1; then
    cat "$2.log"
    fail "package build in $2"
    return
  fi
  rm -f "$2.log"
  echo "package built from scratch in $2 in $(($(date +%s) - t0)) s"
  for zip in "$1"/q14-*-win32*.zip; do
    echo "$(sha256sum "$zip" | cut -c1-64)  $(basename "$zip")"
  done
}

notices() {
  local a
  for a in $(grep -oE 'lib[A-Za-z0-9_+-]*\.a\(' "$1" | tr -d '(' | sort -u); do
    grep -qF "$a" docs/THIRD_PARTY_NOTICES.txt ||
      fail "$(basename "$1" .map) links $a, which docs/THIRD_PARTY_NOTICES.txt does not name"
  done
}

# One package: its SHA256SUMS right and complete, its files and pictures there, its guide in
# its language.
contents() {
  local zip=$2 language=$3 sim listed present f
  sim=$(mktemp -d /tmp/q14_sim.XXXXXX)
  if ! unzip -q "$1/$zip" -d "$sim"; then
    fail "unzip $zip"
    rm -rf "$sim"
    return
  fi
  (cd "$sim" && sha256sum --quiet -c q14_docs/SHA256SUMS) || fail "SHA256SUMS of $zip"
  listed=$(sed 's/^[0-9a-f]\{64\}  //' "$sim/q14_docs/SHA256SUMS" | sort)
  present=$(cd "$sim" && find . -type f ! -path ./q14_docs/SHA256SUMS | sed 's|^\./||' | sort)
  [ "$listed" = "$present" ] || fail "SHA256SUMS does not list exactly the files of $zip"
  for f in Gauges/q14_n1.gau Gauges/q14_n2.gau Gauges/q14_cfg/q14_ppm.cfg q14_docs/USER_GUIDE.html q14_docs/panel.cfg.txt \
           q14_docs/CHANGELOG.txt q14_docs/THIRD_PARTY_NOTICES.txt; do
    [ -s "$sim/$f" ] || fail "$zip has no $f"
  done
  cmp -s "$sim/Gauges/q14_cfg/q14_ppm.cfg" "$sim/Gauges/q14_cfg/q14_ppm_sample.cfg" ||
    fail "$zip: the sample copy differs from q14_ppm.cfg"
  # Every picture the guide shows is in the package.
  for f in $(grep -o '<img src="[^"]*"' "$sim/q14_docs/USER_GUIDE.html" | sed 's/<img src="//; s/"$//'); do
    [ -s "$sim/q14_docs/$f" ] || fail "USER_GUIDE.html shows $f, which $zip lacks"
  done
  grep -q "<html lang=\"$language\">" "$sim/q14_docs/USER_GUIDE.html" ||
    fail "$zip: the guide is not marked as language $language"
  rm -rf "$sim"
}

# The package unzipped into a throw-away simulator folder, where the installed package's test
# host loads both units from Gauges\ under Wine and finds the edition named.
installed() {
  local zip=$2 sim
  sim=$(mktemp -d /tmp/q14_sim.XXXXXX)
  if unzip -q "$1/$zip" -d "$sim" && cp "$1/host/wine/q14_installed_test.exe" "$sim/"; then
    Q14_EDITION=$3 ./scripts/run-wine-tests.sh "$1" "$4" "$sim/q14_installed_test.exe" ||
      fail "the installed package's tests ($zip)"
  else
    fail "unzip $zip"
  fi
  rm -rf "$sim"
}

editions_build() {
  if ! { cmake --preset win32-cyrillic -B "$1" && cmake --build "$1" --target q14_n1 q14_n2; } >"$1.log" 2>&1; then
    cat "$1.log"
    fail "the win32-cyrillic build in $1"
  fi
  rm -f "$1.log"
}

# A build with -DQ14_CAPTIONS=cyrillic: its modules differ from the Latin build's only in the
# caption bitmaps and the edition named in the version resource, and are byte for byte the
# Russian package's.
editions() {
  python3 scripts/compare-editions.py "$1/q14_n$3.gau" res/bmp "$2/q14_n$3.gau" res/bmp-cyrillic \
    --titles "Latin captions" "Cyrillic captions" ||
    fail "q14_n$3.gau: the Latin and Cyrillic builds differ in more than their bitmaps and edition"
  cmp -s "$2/q14_n$3.gau" "$1/cyrillic/q14_n$3.gau" ||
    fail "q14_n$3.gau of the win32-cyrillic build differs from the Russian package's"
}

case ${1:-} in
  exports | again | notices | contents | installed | editions) "$@" ;;
  editions-build) shift; editions_build "$@" ;;
  *) echo "usage: see the head of $0" >&2; exit 2 ;;
esac
[ "$failed" -eq 0 ]
