#!/usr/bin/env bash
# Runs Pelo7Clean on a demonstration machine: a fresh Wine prefix of its own in
# which all four products are installed. Installs what is missing and builds first.
#   scripts/demo.sh        English
#   scripts/demo.sh ja     Japanese
# With a display, the dialog opens there; without one, it runs under Xvfb and a
# screenshot is saved to build/demo/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

case "${1:-en}" in
    ja) export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; lang=ja ;;
    en) export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8; lang=en ;;
    *) echo "usage: $0 [en|ja]" >&2; exit 2 ;;
esac

install_missing
build_all

headless=""
[ -z "${DISPLAY:-}" ] && headless=1
trap end_session EXIT
start_session win32
wine "$BUILD/bin/plant_demo.exe" 2>/dev/null | tr -d '\r'

# A Wine desktop window draws the dialog's frame and caption even without a
# window manager.
if [ -z "$headless" ]; then
    echo "Starting Pelo7Clean; close its dialog to end the demonstration."
    wine explorer /desktop=Pelo7Clean,800x500 "$BUILD/bin/Pelo7Clean.exe" >/dev/null 2>&1
else
    mkdir -p "$BUILD/demo"
    shot="$BUILD/demo/screenshot-$lang.png"
    wine explorer /desktop=Pelo7Clean,560x380 "$BUILD/bin/Pelo7Clean.exe" >/dev/null 2>&1 &
    sleep "${DEMO_WAIT:-4}"
    import -window root -crop 560x380+0+0 +repage "$shot"
    echo "No display: the dialog ran under Xvfb. Screenshot: $shot"
fi
