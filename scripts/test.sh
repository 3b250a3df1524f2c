#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test under Wine
# in a prefix of its own. Safe to rerun; leaves nothing running.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing
rm -rf "$BUILD"
build_all

trap end_session EXIT
USE_XVFB=1 start_session win32
cd "$BUILD"
ctest --output-on-failure --timeout 300 -j2   # the Wine tests hold a lock: see tests/CMakeLists.txt
