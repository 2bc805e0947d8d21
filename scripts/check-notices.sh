#!/usr/bin/env bash
# Holds the third-party notices against the link maps of the shipped modules: every runtime
# archive a module takes members from, every object of the toolchain linked whole (crt objects)
# and every formatted-output member of the MinGW-w64 runtime (libmingwex.a's mingw_*, under a
# notice of its own) is named in the notices, and the notices name no archive, object or
# mingw_* member that no module links. Prints "FAILED: ..." for each finding.
#   usage: scripts/check-notices.sh THIRD_PARTY_NOTICES MAP_FOLDER (the link maps, *.map)
set -uo pipefail
[ $# -eq 2 ] || {
  echo "usage: $0 THIRD_PARTY_NOTICES MAP_FOLDER" >&2
  exit 2
}
notices=$1
maps=("$2"/*.map)
[ -f "${maps[0]}" ] || {
  echo "FAILED: no link maps in $2"
  exit 1
}
set -- "${maps[@]}"
failed=0

# What the maps show linked: archives members were taken from, members of the formatted-output
# family, and objects of the toolchain (absolute paths) loaded whole.
linked=$(
  {
    grep -ohE 'lib[A-Za-z0-9_+-]*\.a\(' "$@" | tr -d '('
    grep -ohE 'libmingwex\.a\([^)]*\)' "$@" | sed 's/.*(\(.*\)\.o)$/\1/; s/^lib32_libmingwex_a-//' | grep '^mingw_'
    sed -n 's|^LOAD \(/.*\.o\)$|\1|p' "$@" | xargs -r -n 1 basename
  } | sort -u
)
# What the notices name: archives, objects and mingw_* members.
named=$(grep -oE '\b(lib[A-Za-z0-9_+-]*\.a|[A-Za-z0-9_]+\.o|mingw_[a-z0-9_]+)\b' "$notices" | sort -u)

for name in $linked; do
  if ! grep -qxF "$name" <<<"$named"; then
    echo "FAILED: the modules link $name, which $(basename "$notices") does not name"
    failed=$((failed + 1))
  fi
done
for name in $named; do
  if ! grep -qxF "$name" <<<"$linked"; then
    echo "FAILED: $(basename "$notices") names $name, which no module links"
    failed=$((failed + 1))
  fi
done
echo "$(wc -w <<<"$linked") linked runtime parts, $failed findings"
[ "$failed" -eq 0 ]
