#!/usr/bin/env bash
# Releases the current commit twice, signed with a throwaway certificate, in two
# folders, time zones and moments; the zips must be equal byte for byte and hold
# what a user needs. Leaves the signed executable in OUT/unpacked for the tests
# that start it under Wine.
#   release_test.sh OUT
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT="$1"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$OUT"
mkdir -p "$OUT"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pelo7Clean test signer" \
    -addext extendedKeyUsage=codeSigning -keyout "$OUT/key.pem" -out "$OUT/cert.pem" 2>/dev/null
export SIGN_CERT="$OUT/cert.pem" SIGN_KEY="$OUT/key.pem"
# One core each: the Wine tests may run beside this one.
TZ=UTC RELEASE_BUILD="$OUT/a/build" DIST="$OUT/a/dist" JOBS=1 "$ROOT/scripts/release.sh" >"$OUT/a.log" 2>&1 \
    || { cat "$OUT/a.log"; exit 1; }
TZ=JST-9 RELEASE_BUILD="$OUT/b/other folder/build" DIST="$OUT/b/dist" JOBS=1 "$ROOT/scripts/release.sh" >"$OUT/b.log" 2>&1 \
    || { cat "$OUT/b.log"; exit 1; }

zips=("$OUT"/a/dist/*.zip)
[ ${#zips[@]} -eq 1 ] || { fail "expected one zip: ${zips[*]}"; exit 1; }
zip="${zips[0]}"
name=$(basename "$zip" .zip)
[[ "$name" =~ ^Pelo7Clean-[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "zip name $name"
cmp "$zip" "$OUT/b/dist/$name.zip" || fail "the two releases of one commit differ"

epoch=$(git -C "$ROOT" log -1 --format=%ct)
expected="$name/Pelo7Clean.exe $name/README.txt $name/README-ja.txt $name/SHA256SUMS"
[ "$(unzip -Z1 "$zip" | tr '\n' ' ')" = "$expected " ] || fail "entries: $(unzip -Z1 "$zip" | tr '\n' ' ')"
# Entry times are the commit's, in UTC, to the 2 seconds of the zip format.
stamps=$(unzip -Z -T "$zip" | awk '$1 ~ /^-/ {print $7}')
[ "$(wc -w <<<"$stamps")" -eq 4 ] || fail "entry times: $stamps"
for stamp in $stamps; do
    t=$(TZ=UTC date -d "${stamp:0:4}-${stamp:4:2}-${stamp:6:2} ${stamp:9:2}:${stamp:11:2}:${stamp:13:2}" +%s)
    [ $((t - epoch)) -ge -2 ] && [ $((t - epoch)) -le 2 ] || fail "entry time $stamp, commit time $(TZ=UTC date -d "@$epoch")"
done

cd "$OUT"
rm -rf unpacked && mkdir unpacked && unzip -q "$zip" -d unpacked
dir="unpacked/$name"
exe="$dir/Pelo7Clean.exe"
(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS"
[ "$(stat -c %s "$exe")" -le $((200 * 1024)) ] || fail "Pelo7Clean.exe is $(stat -c %s "$exe") bytes"
for path in "$OUT" "$ROOT"; do
    ! grep -aqF "$path" "$exe" || fail "the executable holds the path $path"
done
# PE time stamp: the file header's, 8 bytes after the "PE\0\0" that e_lfanew points at.
pe=$(od -An -tu4 -j 60 -N 4 "$exe" | tr -d ' ')
stamp=$(od -An -tu4 -j $((pe + 8)) -N 4 "$exe" | tr -d ' ')
[ "$stamp" = "$epoch" ] || fail "PE time stamp $stamp, commit time $epoch"

# The signature: valid for the certificate, made at the commit's time, and the
# only thing that signing changed.
verify=$(osslsigncode verify -CAfile cert.pem -in "$exe" 2>&1) || fail "signature does not verify: $verify"
signed_at=$(LC_ALL=C TZ=UTC date -d "@$epoch" '+%b %e %H:%M:%S %Y GMT')
grep -qF "Signing time: $signed_at" <<<"$verify" || fail "signing time is not $signed_at: $(grep 'Signing time' <<<"$verify")"
osslsigncode remove-signature -in "$exe" -out unsigned.exe >/dev/null
cmp unsigned.exe a/build/build/bin/Pelo7Clean.exe || fail "signing changed more than the signature"

# Texts for Notepad on Windows 98: CR LF, ASCII and code page 932, and no other
# change to the sources.
for f in README.txt README-ja.txt; do
    LC_ALL=C grep -qv $'\r$' "$dir/$f" && fail "$f has a line without CR LF"
    [ "$(tail -c 2 "$dir/$f" | od -An -tx1 | tr -d ' ')" = "0d0a" ] || fail "$f does not end with CR LF"
done
LC_ALL=C grep -q '[^ -~'$'\r'']' "$dir/README.txt" && fail "README.txt is not plain ASCII"
source_text() { git -C "$ROOT" show "HEAD:docs/user/$1"; }
tr -d '\r' <"$dir/README.txt" | cmp -s - <(source_text README.txt) || fail "README.txt differs from docs/user/README.txt"
iconv -f UTF-8 -t UTF-8 "$dir/README-ja.txt" >/dev/null 2>&1 && fail "README-ja.txt is UTF-8, not code page 932"
iconv -f CP932 -t UTF-8 "$dir/README-ja.txt" | tr -d '\r' | cmp -s - <(source_text README-ja.txt) \
    || fail "README-ja.txt read as code page 932 differs from docs/user/README-ja.txt"

# For the Wine tests: a fixed path.
mv "$dir" unpacked/release
[ "$failures" -eq 0 ] && echo "release $name: reproducible, signed, complete" && exit 0
exit 1
