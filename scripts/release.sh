#!/usr/bin/env bash
# Builds the release of the current commit: dist/Pelo7Clean-<version>.zip, one
# folder with the stripped executable, the user's README files and SHA256SUMS.
# The same commit gives the same zip byte for byte, in any folder, at any time, in
# any time zone: every time in it is the commit's.
#   scripts/release.sh
#   SIGN_CERT=cert.pem SIGN_KEY=key.pem scripts/release.sh   # Authenticode-signed
# RELEASE_BUILD (default build-release/) is wiped and rebuilt; DIST defaults to dist/.
# RUNTIME_CACHE (default build/runtime/) keeps the rebuilt runtime objects
# (cmake/runtime) between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"

RELEASE_BUILD="${RELEASE_BUILD:-$ROOT/build-release}"
DIST="${DIST:-$ROOT/dist}"
MAX_EXE_BYTES=$((200 * 1024))

die() { echo "release: $*" >&2; exit 1; }

if [ -n "${SIGN_CERT:-}" ] || [ -n "${SIGN_KEY:-}" ]; then
    [ -f "${SIGN_CERT:-}" ] && [ -f "${SIGN_KEY:-}" ] || die "SIGN_CERT and SIGN_KEY must both name a PEM file"
fi
install_missing

commit=$(git -C "$ROOT" rev-parse HEAD)
if [ -n "$(git -C "$ROOT" status --porcelain --untracked-files=no)" ]; then
    echo "release: uncommitted changes are left out; this is the release of $commit" >&2
fi
# The link time stamp (ld reads it from here), the signing time and the zip
# entries' times.
SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH

# A clean tree of the commit, inside the build folder: nothing of the working
# tree gets in. Its path stays out of the binary: the build makes the source
# names in log lines relative, and the link strips symbols.
src="$RELEASE_BUILD/src"
rm -rf "$RELEASE_BUILD"
mkdir -p "$src"
git -C "$ROOT" archive "$commit" | tar -x -C "$src"

# The version: the highest FILEVERSION of the resource script, which is the
# Japanese resource's and the one both dialog captions show (V1.0L15); the
# English version block lags behind at 1.0.14.
version=$(sed -n 's/^[[:space:]]*FILEVERSION[[:space:]]*\([0-9]\+\),[[:space:]]*\([0-9]\+\),[[:space:]]*\([0-9]\+\),.*/\1.\2.\3/p' \
    "$src/source/Pelo7Clean/res/Pelo7Clean.rc" | sort -V | tail -n 1)
[ -n "$version" ] || die "no FILEVERSION in the resource script"
name="Pelo7Clean-$version"

echo "building $name from $commit"
cmake -S "$src" -B "$RELEASE_BUILD/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/i686-w64-mingw32.cmake" \
    -DCMAKE_EXE_LINKER_FLAGS=-s -DPELO7CLEAN_RUNTIME_CACHE="${RUNTIME_CACHE:-$BUILD/runtime}" >"$RELEASE_BUILD/build.log" 2>&1 || { cat "$RELEASE_BUILD/build.log" >&2; exit 1; }
cmake --build "$RELEASE_BUILD/build" --target Pelo7Clean -- -j"${JOBS:-$(nproc)}" >>"$RELEASE_BUILD/build.log" 2>&1 \
    || { cat "$RELEASE_BUILD/build.log" >&2; exit 1; }
built="$RELEASE_BUILD/build/bin/Pelo7Clean.exe"

stage="$RELEASE_BUILD/stage/$name"
mkdir -p "$stage"
if [ -n "${SIGN_CERT:-}" ]; then
    # No time-stamping server: its answer would differ on every run.
    osslsigncode sign -certs "$SIGN_CERT" -key "$SIGN_KEY" -h sha256 -n Pelo7Clean -time "$SOURCE_DATE_EPOCH" \
        -in "$built" -out "$stage/Pelo7Clean.exe" >/dev/null || die "signing failed"
else
    cp "$built" "$stage/Pelo7Clean.exe"
fi
size=$(stat -c %s "$stage/Pelo7Clean.exe")
[ "$size" -le "$MAX_EXE_BYTES" ] || die "Pelo7Clean.exe is $size bytes, more than $MAX_EXE_BYTES"

# Notepad on Windows 98 wants CR LF and the system's code page: the English file
# is plain ASCII, the Japanese one code page 932.
sed 's/$/\r/' "$src/docs/user/README.txt" >"$stage/README.txt"
iconv -f UTF-8 -t CP932 "$src/docs/user/README-ja.txt" | sed 's/$/\r/' >"$stage/README-ja.txt"
files="Pelo7Clean.exe README.txt README-ja.txt"
(cd "$stage" && sha256sum $files >SHA256SUMS)

chmod 755 "$stage"
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/* "$stage"
mkdir -p "$DIST"
zip="$(cd "$DIST" && pwd)/$name.zip"
rm -f "$zip"
# Fixed entry order; no directory entries and no extra fields (owner, Unix
# times); zip writes the entries' local time, so the zone is fixed as well.
(cd "$stage/.." && TZ=UTC zip -q -X -D -9 "$zip" $(for f in $files SHA256SUMS; do echo "$name/$f"; done))
echo "$zip"
(cd "$stage" && sha256sum Pelo7Clean.exe)
