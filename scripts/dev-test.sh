#!/usr/bin/env bash
# For development: incremental build, then the tests (all, or those matching the
# ctest regular expression given) in a fresh Wine prefix on a private display.
#   BUILD=/tmp/mybuild scripts/dev-test.sh 'unit\.log'
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_all
trap end_session EXIT
USE_XVFB=1 start_session "${ARCH:-win32}"
cd "$BUILD"
ctest --output-on-failure --timeout 300 -j2 ${1:+-R "$1"}
