#!/usr/bin/env bash
# Test fixture of the browser tests: the scripted session (web/session.txt) run in the native
# stand-in, its per-frame trace written to a file. Builds q14session (and q14bench, which the
# plan-import comparison runs) in the native tree first
# (configuring that tree from the native preset when it is not there yet).
#   usage: web/tests/native-trace.sh NATIVE_BUILD_DIR TRACE_FILE
set -euo pipefail
cd "$(dirname "$0")/../.."
[ -f "$1/CMakeCache.txt" ] || cmake --preset native -B "$1" >/dev/null
cmake --build "$1" --target q14session q14bench >/dev/null
"$1/tools/q14session" web/session.txt >"$2"
