# Package installs that survive a Debian mirror in the middle of a sync: sourced by
# install-deps.sh and wine-setup.sh, with as_root for both. Q14_APT_GET, Q14_APT_PAUSE and
# Q14_APT_TRIES stand in for tests.

apt_get=${Q14_APT_GET:-apt-get}
apt_pause=${Q14_APT_PAUSE:-10}
apt_tries=${Q14_APT_TRIES:-4}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "$(basename "$0"): need root (or sudo) to run: $*" >&2
    return 1
  fi
}

# apt-get update, tried again after a pause while an index fails to download (apt then says
# "Some index files failed to download" or exits non-zero). Returns 0 even when every try
# failed: the install that follows may still find what it needs in the lists it has.
apt_update() {
  local try out
  for ((try = 1; try <= apt_tries; try++)); do
    if out=$(as_root "$apt_get" update -q 2>&1) && ! grep -q '^E: \|^W: Some index files failed' <<<"$out"; then
      return 0
    fi
    echo "apt: update failed (try $try of $apt_tries): $(grep '^E: ' <<<"$out" | head -n 2 | tr '\n' ' ')" >&2
    [ "$try" -lt "$apt_tries" ] && sleep "$apt_pause"
  done
  echo "apt: going on with the package lists as they are" >&2
  return 0
}

# Installs the named packages (extra apt-get options first, then --), tried again after a
# fresh update when it fails; names the packages when it still fails.
apt_install() {
  local opts=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do opts+=("$1"); shift; done
  [ "${1:-}" = -- ] && shift
  local try
  for ((try = 1; try <= 2; try++)); do
    as_root env DEBIAN_FRONTEND=noninteractive "$apt_get" install -y --no-install-recommends \
      "${opts[@]}" "$@" && return 0
    [ "$try" -lt 2 ] && { sleep "$apt_pause"; apt_update; }
  done
  echo "apt: could not install: $*" >&2
  return 1
}
