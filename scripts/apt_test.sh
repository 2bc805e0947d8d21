#!/usr/bin/env bash
# Test of the retries in scripts/apt.sh: a stand-in apt-get (Q14_APT_GET) that fails the update
# or the install a given number of times, as a mirror in the middle of a sync does.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/q14_apt_test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0

# The stand-in: logs each call's command word; fails the first $FAIL_UPDATES updates (in the
# way $UPDATE_FAILURE says) and the first $FAIL_INSTALLS installs.
cat >"$work/apt-get" <<'STANDIN'
#!/usr/bin/env bash
for a in "$@"; do case $a in update | install) cmd=$a ;; esac; done
echo "$cmd $*" >>"$APT_LOG"
n=$(grep -c "^$cmd " "$APT_LOG")
if [ "$cmd" = update ] && [ "$n" -le "$FAIL_UPDATES" ]; then
  case $UPDATE_FAILURE in
    exit) echo "E: Failed to fetch http://mirror/dists/x/InRelease  File has unexpected size"; exit 100 ;;
    warning) echo "W: Some index files failed to download. They have been ignored, or old ones used instead."; exit 0 ;;
  esac
fi
if [ "$cmd" = install ] && [ "$n" -le "$FAIL_INSTALLS" ]; then
  echo "E: Unable to locate package $*"; exit 100
fi
exit 0
STANDIN
chmod +x "$work/apt-get"

# check <name> <function and arguments> <expected status> <updates> <installs> <text expected in stderr>
check() {
  local name=$1 call=$2 want_rc=$3 want_updates=$4 want_installs=$5 want_text=$6 rc updates installs
  : >"$work/log"
  (
    export Q14_APT_GET=$work/apt-get Q14_APT_PAUSE=0 Q14_APT_TRIES=3 APT_LOG=$work/log
    # shellcheck source=scripts/apt.sh
    . "$here/apt.sh"
    $call
  ) >"$work/out" 2>"$work/err"
  rc=$?
  updates=$(grep -c '^update ' "$work/log")
  installs=$(grep -c '^install ' "$work/log")
  if [ "$rc" != "$want_rc" ] || [ "$updates" != "$want_updates" ] || [ "$installs" != "$want_installs" ] ||
     { [ -n "$want_text" ] && ! grep -qF -- "$want_text" "$work/err"; }; then
    failed=$((failed + 1))
    echo "FAILED: $name: status $rc, $updates updates, $installs installs (expected $want_rc, $want_updates," \
         "$want_installs and '$want_text' in:)"
    sed 's/^/  /' "$work/err"
  else
    echo "ok   $name"
  fi
}

export UPDATE_FAILURE=exit FAIL_INSTALLS=0
FAIL_UPDATES=2 check "update fails twice, then works" apt_update 0 3 0 "update failed (try 2 of 3): E: Failed to fetch"
FAIL_UPDATES=9 check "update fails every time: the install still gets its chance" apt_update 0 3 0 \
  "going on with the package lists as they are"
FAIL_UPDATES=1 UPDATE_FAILURE=warning check "an index failed though apt-get exits 0" apt_update 0 2 0 "try 1 of 3"
FAIL_UPDATES=0 FAIL_INSTALLS=1 check "install fails once, works after a fresh update" "apt_install -- wine xvfb" 0 1 2 ""
FAIL_UPDATES=0 FAIL_INSTALLS=9 check "install fails twice: the packages named" "apt_install -t bookworm-backports -- wine xvfb" \
  1 1 2 "apt: could not install: wine xvfb"
# The extra options reach apt-get before the packages.
grep -q '^install install -y --no-install-recommends -t bookworm-backports wine xvfb$' "$work/log" ||
  { failed=$((failed + 1)); echo "FAILED: the install options: $(grep '^install' "$work/log" | head -n 1)"; }
[ "$failed" -eq 0 ]
