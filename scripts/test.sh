#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test under Wine
# in a prefix of its own. Safe to rerun; leaves nothing running.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing
# From scratch, but for the rebuilt runtime objects (cmake/runtime), which
# depend on nothing of the project and are kept under a key of their recipe.
mkdir -p "$BUILD"
find "$BUILD" -mindepth 1 -maxdepth 1 ! -name runtime -exec rm -rf {} +
build_all

trap end_session EXIT
USE_XVFB=1 start_session win32
cd "$BUILD"
ctest --output-on-failure --timeout 300 -j2   # the Wine tests hold a lock: see tests/CMakeLists.txt
