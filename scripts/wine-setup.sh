#!/usr/bin/env bash
# Prepares Wine to run the 32-bit Windows test hosts that load the shipped .gau modules: the
# packages, qemu-user for kernels that run no 32-bit programs, and a Wine prefix. Idempotent.
#
#   scripts/wine-setup.sh              packages and binfmt (as root, through sudo when not root),
#                                      then the prefix (as the calling user) and a probe run
#   scripts/wine-setup.sh --system     packages and binfmt only
#   scripts/wine-setup.sh --no-probe   everything but the probe (the caller runs Wine anyway)
#
# The prefix is $Q14_WINEPREFIX, by default build/wineprefix in the checkout. The last line on
# stdout is the prefix path. Exit status 0 only when a 32-bit program ran under Wine.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
prefix=${Q14_WINEPREFIX:-$(dirname "$here")/build/wineprefix}
qemu=/usr/bin/qemu-i386-static
binfmt=/proc/sys/fs/binfmt_misc
loader32=/usr/lib/wine/wine   # Debian's 32-bit Wine loader (package wine32)

log() { echo "wine-setup: $*" >&2; }
die() {
  log "$*"
  exit 1
}

# shellcheck source=scripts/apt.sh
. "$here/apt.sh"

is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

qemu_major() {
  [ -x "$qemu" ] || return 1
  "$qemu" --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -n 1
}

codename() { (. /etc/os-release && echo "${VERSION_CODENAME:-}"); }

# The archive this machine already installs its release from: the first URI of a deb822
# source whose suites include the release, else the first matching "deb" line.
release_source_uri() {
  local release=$1 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v rel="$release" '
      function flush() { if (uri != "" && hit && deb) { print uri; found = 1; exit } uri = ""; hit = 0; deb = 0 }
      /^[[:space:]]*#/ { next }
      /^[[:space:]]*$/ { flush(); next }
      tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
      tolower($1) == "uris:" { uri = $2 }
      tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == rel) hit = 1 }
      END { if (!found) flush() }' "$f" | head -n 1
  done | head -n 1 | grep . && return 0
  [ -f /etc/apt/sources.list ] || return 1
  awk -v rel="$release" '
    $1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
      if ($(i + 1) == rel) { print $i; exit }
    }' /etc/apt/sources.list | grep .
}

# qemu-user 8 or later: older ones cannot map Wine's fixed 32-bit address layout. Where the
# release ships an older one, it comes from the release's backports, from the same archive.
install_qemu() {
  local major
  major=$(qemu_major || echo 0)
  [ "${major:-0}" -ge 8 ] && return 0
  local release candidate
  release=$(codename)
  candidate=$(apt-cache policy qemu-user-static 2>/dev/null | sed -n 's/^ *Candidate: *\(1:\)\{0,1\}\([0-9]*\)\..*/\2/p')
  if [ "${candidate:-0}" -ge 8 ]; then
    apt_install -- qemu-user-static ||
      return 1
  else
    [ -n "$release" ] || die "unknown release: cannot find a qemu-user-static of version 8 or later"
    if ! grep -rqs "^[^#]*[[:space:]]${release}-backports\b" /etc/apt/sources.list /etc/apt/sources.list.d/; then
      local uri keyring
      uri=$(release_source_uri "$release") || die "no apt source for $release to take backports from"
      keyring=/usr/share/keyrings/debian-archive-keyring.gpg
      log "adding ${release}-backports from $uri"
      {
        echo "Types: deb"
        echo "URIs: $uri"
        echo "Suites: ${release}-backports"
        echo "Components: main"
        [ -f "$keyring" ] && echo "Signed-By: $keyring"
      } | as_root tee "/etc/apt/sources.list.d/${release}-backports.sources" >/dev/null || return 1
    fi
    apt_update
    apt_install -t "${release}-backports" -- qemu-user-static || return 1
  fi
  major=$(qemu_major || echo 0)
  [ "${major:-0}" -ge 8 ] || die "qemu-i386-static is version ${major:-none}; Wine needs 8 or later"
}

# Registers qemu-i386 for 32-bit x86 ELF programs. Flag F opens the interpreter once, at
# registration, so an upgraded qemu needs a new registration.
register_binfmt() {
  local before=$1 after
  after=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  if [ ! -e "$binfmt/register" ]; then
    as_root mount -t binfmt_misc binfmt_misc "$binfmt" || die "cannot mount binfmt_misc"
  fi
  if [ -e "$binfmt/qemu-i386" ] &&
     { [ "$before" != "$after" ] || ! grep -q "^interpreter $qemu\$" "$binfmt/qemu-i386"; }; then
    log "replacing the qemu-i386 registration (qemu '$before' -> '$after')"
    echo -1 | as_root tee "$binfmt/qemu-i386" >/dev/null
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    log "registering qemu-i386 for 32-bit programs"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' |
      as_root tee "$binfmt/register" >/dev/null || die "binfmt registration failed"
  fi
  grep -q '^enabled' "$binfmt/qemu-i386" || die "the qemu-i386 registration is disabled"
}

setup_system() {
  local missing=() p
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386 || return 1
  for p in wine wine32:i386 xvfb xauth; do
    is_installed "$p" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    apt_update
    apt_install -- "${missing[@]}" || return 1
  fi
  # A kernel with 32-bit support runs the loader itself; only a kernel without it needs qemu.
  if [ ! -e "$binfmt/qemu-i386" ] && "$loader32" --version >/dev/null 2>&1; then
    return 0
  fi
  local before
  before=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  install_qemu || return 1
  register_binfmt "$before"
  "$loader32" --version >/dev/null 2>&1 || die "the 32-bit Wine loader does not run"
}

setup_prefix() {
  export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
  # No desktop while the prefix is made, and no offer to install Mono or Gecko.
  unset DISPLAY WAYLAND_DISPLAY
  # A finished prefix: a 64-bit one has syswow64, a 32-bit one (only wine32 installed) says so
  # in its registry.
  if [ -f "$prefix/system.reg" ] &&
     { [ -d "$prefix/drive_c/windows/syswow64" ] || grep -q '^#arch=win32' "$prefix/system.reg"; }; then
    return 0
  fi
  log "creating the Wine prefix $prefix (a minute or two)"
  mkdir -p "$(dirname "$prefix")"
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 900 wine wineboot --init >/dev/null 2>&1 ||
    die "wineboot --init failed"
  timeout 600 wineserver -w || die "the wineserver did not finish"
}

probe() {
  local out
  # The 32-bit cmd.exe: in syswow64 of a 64-bit prefix, in system32 of a 32-bit one.
  local dir=system32
  [ -d "$prefix/drive_c/windows/syswow64" ] && dir=syswow64
  out=$(WINEPREFIX=$prefix WINEDEBUG=-all timeout 300 wine "C:\\windows\\$dir\\cmd.exe" /c echo q14-probe 2>&1 |
        tr -d '\r')
  printf '%s\n' "$out" | grep -q q14-probe || die "a 32-bit program does not run under Wine: $out"
}

case ${1:-} in
  --system)
    setup_system || die "system setup failed"
    ;;
  "" | --no-probe)
    setup_system || die "system setup failed"
    setup_prefix
    [ "${1:-}" = --no-probe ] || probe
    echo "$prefix"
    ;;
  *)
    die "usage: $0 [--system | --no-probe]"
    ;;
esac
