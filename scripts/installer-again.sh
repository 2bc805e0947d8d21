#!/usr/bin/env bash
# Builds an installer a second time from fresh copies of every file it carries (new times, another
# folder) and checks that the bytes equal those of the installer the build made.
#   usage: scripts/installer-again.sh SETUP_EXE PACKAGE_LISTING SHA256SUMS SCRIPT CMAKE ARGS...
#          (the build step: its script and its cmake command without -DLIST, -DSUMS, -DSTAGE, -DOUT)
set -uo pipefail
[ $# -ge 5 ] || { echo "usage: $0 SETUP_EXE PACKAGE_LISTING SHA256SUMS SCRIPT CMAKE ARGS..." >&2; exit 2; }
setup=$1 listing=$2 sums=$3 script=$4
shift 4
work=$(mktemp -d /tmp/q14_installer_again.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Each file of the listing copied under a new name, so the copies carry this moment's time.
n=0
while IFS='|' read -r dir src name; do
  n=$((n + 1))
  cp "$src" "$work/$n" || exit 1
  echo "$dir|$work/$n|${name:-$(basename "$src")}"
done <"$listing" >"$work/files.txt"
cp "$sums" "$work/SHA256SUMS"

"$@" -DLIST="$work/files.txt" -DSUMS="$work/SHA256SUMS" -DSTAGE="$work/stage" -DOUT="$work/again.exe" -P "$script" \
  >/dev/null || exit 1
if cmp "$setup" "$work/again.exe"; then
  echo "$(basename "$setup"): the second build gives the same $(stat -c %s "$setup") bytes"
else
  echo "FAILED: $(basename "$setup") differs from a second build of the same files"
  exit 1
fi
