#!/usr/bin/env bash
# Installs what the build, the tests and the tools need on a Debian/Ubuntu machine: only the
# packages that are missing, as root (through sudo when not root), after an apt-get update.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  libgeographiclib-dev
  clang libclang-rt-14-dev
  xvfb xauth
  # the comparison of the Latin and Cyrillic modules (scripts/compare-editions.py)
  python3
  # the release package: the user guide in HTML, archive entries without the build's times,
  # and unzip for the installation test
  cmark-gfm strip-nondeterminism unzip
  # the installers
  nsis
  # q14bench's panel rendering and flight-plan import
  pkg-config libcairo2-dev libfontconfig1-dev libpugixml-dev
  # fonts q14bench draws with: segment display, read-outs, plot text
  fonts-dseg fonts-liberation fonts-dejavu-core
  # the browser trainer: Emscripten (web preset), the artwork converter, the bundler of the page's
  # scripts, the browser the tests drive
  emscripten python3 esbuild chromium
)

# shellcheck source=scripts/apt.sh
. "$(dirname "$0")/apt.sh"

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

install_packages() {
  local missing=()
  for p in "$@"; do
    is_installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "install-deps: installing ${missing[*]}"
  apt_update
  apt_install -- "${missing[@]}"
}

# Wine runs the shipped .gau modules in a Windows test host; its setup belongs here. Without
# it only the Wine tests fail (run-tests reports that), so the rest still gets built.
install_wine() {
  "$(dirname "$0")/wine-setup.sh" --system ||
    echo "install-deps: Wine could not be set up; the Wine tests will fail" >&2
}

# Node and npm run the trainer's server and its browser tests (Playwright, from web/package-lock.json;
# it drives the system's Chromium and never downloads a browser of its own). A machine with
# another distribution of Node (which brings its own npm) keeps it.
install_node() {
  if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    install_packages nodejs npm
  fi
  local web
  web="$(cd "$(dirname "$0")/.." && pwd)/web"
  # Installed already when node_modules holds the locked version.
  if ! (cd "$web" && node -e "const l = require('./package-lock.json').packages['node_modules/playwright-core'];
      process.exit(require('./node_modules/playwright-core/package.json').version === l.version ? 0 : 1)" 2>/dev/null); then
    (cd "$web" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
  fi
}

install_packages "${PACKAGES[@]}"
install_node
install_wine
