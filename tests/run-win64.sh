#!/usr/bin/env bash
# Runs a test program in a fresh 64-bit Wine prefix of its own, on the display
# the caller set up, and removes the prefix afterwards.
set -euo pipefail
dir=$(mktemp -d /tmp/pelo7clean64.XXXXXX)
export WINEARCH=win64 WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$dir"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p >/dev/null 2>&1   # it must hold none of our output pipes
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine cmd.exe /c exit >/dev/null 2>&1   # system processes must not hold our output open
wine "$@"
