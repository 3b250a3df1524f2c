#!/usr/bin/env bash
# The executable's code holds no instruction that a 486 lacks: Windows 98 runs on
# a 486DX, and Pentium, K6 or WinChip machines have no conditional moves either.
# Disassembles .text up to the constructor lists that the linker puts after the
# code (the C++ exception tables follow them), and names the function of each
# instruction found: from the image's own symbols, or for a stripped image from
# the link map (the input object and the nearest global symbol before it).
#   instruction_set_test.sh EXE MAP
set -euo pipefail
exe="$1" map="$2"
objdump=i686-w64-mingw32-objdump
[ -f "$exe" ] && [ -f "$map" ] || { echo "FAIL: no $exe or no $map" >&2; exit 1; }

# The memory map's part for .text: input sections with their object, and the
# global symbols in them.
text=$(awk '/^Linker script and memory map/ {m = 1} m && /^\.text / {print $2; exit}' "$map")
code_end=$(awk '/^Linker script and memory map/ {m = 1} m && $2 == "___CTOR_LIST__" {print $1; exit}' "$map")
[ -n "$text" ] && [ -n "$code_end" ] || { echo "FAIL: no .text or ___CTOR_LIST__ in $map" >&2; exit 1; }
# The map must be this image's: its .text starts where the image's does.
[ "$((text))" -eq "$((0x$($objdump -h "$exe" | awk '$2 == ".text" {print $4}')))" ] \
    || { echo "FAIL: $map is not the map of $exe" >&2; exit 1; }

# P6 and later: conditional moves, FPU compares into EFLAGS, long NOPs. Pentium:
# time stamp counter, 8-byte compare-exchange, MMX. Later: fast system calls,
# fences, prefetches, SSE state; any MMX or SSE register.
bad='^(cmov[a-z]+|fcmov[a-z]+|f(u)?comip?|rdtscp?|rdpmc|cmpxchg8b|sysenter|sysexit|syscall|sysret|nop[lw]|[lms]fence|prefetch[a-z0-9]*|fxsave|fxrstor|emms|movnti|clflush|ldmxcsr|stmxcsr)$'

found=$($objdump -d -C --no-show-raw-insn --start-address="$text" --stop-address="$code_end" "$exe" |
    awk -v bad="$bad" '
        /^[0-9a-f]+ <.*>:$/ { fn = $0; sub(/^[0-9a-f]+ </, "", fn); sub(/>:$/, "", fn); next }
        /^ *[0-9a-f]+:\t/ {
            split($0, f, "\t"); op = f[2]; sub(/ .*/, "", op)
            if (op ~ bad || f[2] ~ /%[xy]?mm[0-9]/) { addr = f[1]; sub(/^ */, "", addr); sub(/:$/, "", addr)
                print addr "\t" fn "\t" f[2] }
        }')
[ -z "$found" ] && { echo "no instruction that a 486 lacks"; exit 0; }

# A stripped image names no function: look the address up in the map.
# Addresses compare as hexadecimal text of one width.
awk -F'\t' -v map="$map" '
    function hex(x) { sub(/^0x/, "", x); x = tolower(x); while (length(x) < 8) x = "0" x; return x }
    BEGIN {
        while ((getline line < map) > 0) {
            if (line ~ /^Linker script and memory map/) m = 1
            if (!m) continue
            if (line ~ /^\.text /) t = 1; else if (line ~ /^\.[a-z]/) t = 0
            if (!t) continue
            long = pending; pending = 0
            # An input section: name, address, size, object; a long name stands
            # alone on the line before the rest. Then its global symbols.
            if (line ~ /^ \.text[^ ]*$/) { pending = 1; continue }
            if (line ~ /^ \.text[^ ]* +0x[0-9a-f]+ +0x[0-9a-f]+ / || (long && line ~ /^ +0x[0-9a-f]+ +0x[0-9a-f]+ /)) {
                if (!long) sub(/^ [^ ]+/, "", line)
                split(line, w, " "); obj = line; sub(/^ *0x[0-9a-f]+ +0x[0-9a-f]+ /, "", obj); sub(/.*\//, "", obj)
                n++; at[n] = hex(w[1]); what[n] = obj; sym[n] = ""
            } else if (line ~ /^ +0x[0-9a-f]+ +[^ ]/ && split(line, w, " ") && w[2] !~ /^0x/) {
                s = line; sub(/^ +0x[0-9a-f]+ +/, "", s)
                n++; at[n] = hex(w[1]); what[n] = what[n - 1]; sym[n] = s
            }
        }
    }
    {
        where = $2
        if (where == "" || where == ".text") {
            a = hex($1); best = 0
            for (i = 1; i <= n; i++) if (at[i] <= a && (best == 0 || at[i] >= at[best])) best = i
            where = best ? what[best] (sym[best] != "" ? ", after " sym[best] : "") : "?"
        }
        printf "FAIL: %s at 0x%s in %s\n", $3, $1, where
    }' <<<"$found" >&2
echo "$(wc -l <<<"$found") instructions that a 486 lacks" >&2
exit 1
