#!/usr/bin/env bash
# Times the folder tree deletion against Wine's "rd /s /q" and Linux "rm -rf" on
# identical generated trees (20 files of 1 KB per folder, 10 folders per group),
# for 5,000, 10,000 and 20,000 files. Each peer gets a tree made and synced just
# before its turn; the best of ROUNDS runs counts. Not a test: it prints figures.
#   BUILD=/tmp/mybuild ROUNDS=3 scripts/bench.sh [file counts...]
set -euo pipefail
source "$(dirname "$0")/common.sh"
ROUNDS="${ROUNDS:-1}"
build_all
trap 'end_session; rm -rf "${WORK:-}"' EXIT
start_session win32
WORK=$(mktemp -d /tmp/pelo7bench.XXXXXX)
TREE="$WORK/tree"
WINTREE="Z:${TREE//\//\\}"

make_tree() {   # number of files
    python3 - "$TREE" "$1" <<'PY'
import os, sys
root, files = sys.argv[1], int(sys.argv[2])
data = b"x" * 1024
for f in range(files // 20):
    folder = os.path.join(root, "Group%03d" % (f // 10), "Disk%02d" % (f % 10))
    os.makedirs(folder, exist_ok=True)
    for i in range(20):
        with open(os.path.join(folder, "data%02d.cab" % i), "wb") as out:
            out.write(data)
PY
    sync
}

seconds() { date +%s.%N; }
minimum() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc)" = 1 ]; then echo "$2"; else echo "$1"; fi; }

# Wine's own start-up, timed on a folder that does not exist, is taken off both
# Windows peers so that the deletions themselves are compared.
start=$(seconds)
wine "$BUILD/bin/engine_bench.exe" "Z:\\nonexistent-pelo7bench" >/dev/null || true
STARTUP=$(echo "$(seconds) - $start" | bc)

timed() {   # peer files: seconds taken, start-up excluded
    make_tree "$2"
    local start end
    start=$(seconds)
    case "$1" in
        engine) wine "$BUILD/bin/engine_bench.exe" "$WINTREE" >/dev/null ;;
        rd) wine cmd /c rd /s /q "$WINTREE" >/dev/null 2>&1 ;;
        rm) rm -rf "$TREE" ;;
    esac
    end=$(seconds)
    [ ! -e "$TREE" ] || { echo "$1 left files behind" >&2; exit 1; }
    if [ "$1" = rm ]; then echo "$end - $start" | bc; else echo "$end - $start - $STARTUP" | bc; fi
}

COUNTS=("$@")
[ ${#COUNTS[@]} -gt 0 ] || COUNTS=(5000 10000 20000)
printf "Wine start-up %.2fs; best of %d\n" "$STARTUP" "$ROUNDS"
printf "%8s %16s %10s %10s %8s %8s\n" files DeleteTheFolder "rd /s /q" "rm -rf" "x rd" "x rm"
for files in "${COUNTS[@]}"; do
    engine="" rd="" rm=""
    for round in $(seq "$ROUNDS"); do
        engine=$(minimum "$engine" "$(timed engine "$files")")
        rd=$(minimum "$rd" "$(timed rd "$files")")
        rm=$(minimum "$rm" "$(timed rm "$files")")
    done
    printf "%8d %15.2fs %9.2fs %9.2fs %8.2f %8.2f\n" "$files" "$engine" "$rd" "$rm" \
        "$(echo "$engine / $rd" | bc -l)" "$(echo "$engine / $rm" | bc -l)"
done
echo "(seconds, wall clock, Wine's start-up taken off; x: DeleteTheFolder's time as a multiple of the peer's)"
