#!/usr/bin/env bash
# Remakes the README's pictures of the dialog, in English and in Japanese.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
for lang in en ja; do
    DISPLAY= scripts/demo.sh "$lang" >/dev/null
    cp "build/demo/screenshot-$lang.png" "docs/screenshot-$lang.png"
done
echo "docs/screenshot-en.png docs/screenshot-ja.png"
