#!/usr/bin/env bash
# Runs a test program in a fresh 64-bit Wine prefix of its own, with a Wine server
# and an X display of its own, so that it can run beside the tests of the shared
# 32-bit prefix; removes them afterwards. The program under test runs from a copy
# in the session's folder, so that its log and restore files are its own too.
#   run-win64.sh build/bin/e2e_tests.exe ARGS...
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
trap end_session EXIT
USE_XVFB=1 start_session win64
cp "$(dirname "$1")/Pelo7Clean.exe" "$SESSION_DIR/"
export PELO7CLEAN_TEST_EXE="Z:$SESSION_DIR/Pelo7Clean.exe"
wine "$@"
