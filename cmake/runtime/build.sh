#!/usr/bin/env bash
# Builds the runtime objects that the program links ahead of Debian's, from the
# sources of the very versions that Debian's cross toolchain was built from, with
# the project's -march instead of Debian's Pentium Pro default.
#   build.sh CACHE "FLAGS"
# Prints the folder of the objects: CACHE/objects-<key>, where the key sums up
# this recipe, the flags, the compiler and the source versions, so that a second
# build, in any folder, finds them made. CMake runs it while configuring.
set -euo pipefail
CACHE="$1" FLAGS="$2"
HERE=$(cd "$(dirname "$0")" && pwd)
CC=i686-w64-mingw32-gcc-win32 CXX=i686-w64-mingw32-g++-win32
die() { echo "runtime: $*" >&2; exit 1; }
version() { dpkg-query -W -f '${Version}' "$1" 2>/dev/null; }

# The cross compiler names the GCC source it was built from; the mingw-w64 CRT
# objects come from the mingw-w64 source of the installed headers and libraries.
gcc_version=$(dpkg-query -W -f '${Built-Using}' gcc-mingw-w64-i686-win32 | sed -n 's/.*gcc-12 (= \([^)]*\)).*/\1/p')
[ -n "$gcc_version" ] || die "gcc-mingw-w64-i686-win32 names no gcc-12 source"
[ "$(version gcc-12-source)" = "$gcc_version" ] || die "gcc-12-source $gcc_version is needed (scripts/common.sh install_missing installs it)"
mingw_version=$(version mingw-w64-i686-dev)
[ -n "$mingw_version" ] || die "mingw-w64-i686-dev is not installed"

key=$( { cat "$0" "$HERE"/include/*; echo "$FLAGS $gcc_version $mingw_version"; $CC -v 2>&1; } | sha256sum | cut -c1-16)
out="$CACHE/objects-$key"
[ -f "$out/complete" ] && { echo "$out"; exit 0; }

# The sources: only the folders the objects need, once per cache.
src="$CACHE/sources"
gcc_src="$src/gcc-12.2.0" crt_src="$src/mingw-w64-v10.0.0/mingw-w64-crt"
mkdir -p "$src"
if [ ! -f "$src/gcc-$gcc_version" ]; then
    tarball=$(ls /usr/src/gcc-12/gcc-12.2.0*.tar.xz 2>/dev/null | head -n 1)
    [ -n "$tarball" ] || die "no GCC tarball in /usr/src/gcc-12"
    rm -rf "$gcc_src"
    tar -xJf "$tarball" -C "$src" --wildcards 'gcc-12.2.0/libgcc/*' 'gcc-12.2.0/include/*' \
        'gcc-12.2.0/gcc/*.h' 'gcc-12.2.0/gcc/*.def' 'gcc-12.2.0/libstdc++-v3/libsupc++/*'
    touch "$src/gcc-$gcc_version"
fi
if [ ! -f "$src/mingw-w64-$mingw_version" ]; then
    mkdir -p "$CACHE/downloads"
    (cd "$CACHE/downloads" && apt-get source -qq --download-only "mingw-w64=$mingw_version" >/dev/null 2>&1) \
        || die "apt-get source mingw-w64=$mingw_version failed: it needs a deb-src line (scripts/common.sh install_missing adds one)"
    rm -rf "$src/mingw-w64-v10.0.0"
    tar -xjf "$CACHE/downloads/mingw-w64_${mingw_version%-*}.orig.tar.bz2" -C "$src" --wildcards \
        '*/mingw-w64-crt/crt/*' '*/mingw-w64-crt/include/*'
    touch "$src/mingw-w64-$mingw_version"
fi

tmp="$out.tmp.$$"
rm -rf "$tmp"
mkdir -p "$tmp/include"
trap 'rm -rf "$tmp"' EXIT
# What GCC's and libgcc's configure would have generated for this target: the
# compiler's own configuration headers are the installed plugin headers.
cp "$HERE"/include/* "$tmp/include/"
cp "$gcc_src/libgcc/config/i386/gthr-win32.h" "$tmp/include/gthr-default.h"
cp "$gcc_src/libgcc/config/i386/w32-unwind.h" "$tmp/include/md-unwind-support.h"
plugin=$($CC -print-file-name=plugin)/include
[ -f "$plugin/tm.h" ] || die "no $plugin/tm.h"
# Paths of the cache stay out of the objects.
map="-ffile-prefix-map=$CACHE/="

# The flags of Debian's builds (libgcc's, libstdc++'s and mingw-w64's makefiles),
# but -march. Built with Debian's flags, the objects equal Debian's instruction
# for instruction.
libgcc="-g -O2 -DIN_GCC -DCROSS_DIRECTORY_STRUCTURE -DIN_LIBGCC2 -fbuilding-libgcc -fno-stack-protector
  -DUSE_EMUTLS -fexceptions -I$tmp/include -I$plugin -I$gcc_src/libgcc -I$gcc_src/gcc -I$gcc_src/include"
supcxx="-fno-implicit-templates -ffunction-sections -fdata-sections -g -O2 -D_GNU_SOURCE
  -I$gcc_src/libgcc -I$gcc_src/libstdc++-v3/libsupc++"
crt="-g -O2 -pipe -D_SYSCRT=1 -DCRTDLL=1 -D_CRTBLD -D_WIN32_WINNT=0x0f00 -D__MSVCRT_VERSION__=0x700
  -D__USE_MINGW_ANSI_STDIO=0 -I$crt_src/include"
pids=()
compile() {  # COMPILER FLAGS SOURCE OBJECT
    $1 $2 $FLAGS $map -w -c "$3" -o "$tmp/$4" & pids+=($!)
}
compile $CC "$libgcc" "$gcc_src/libgcc/unwind-dw2.c" unwind-dw2.o
compile $CC "$libgcc" "$gcc_src/libgcc/unwind-dw2-fde.c" unwind-dw2-fde.o
compile $CC "$libgcc" "$gcc_src/libgcc/emutls.c" emutls.o
for f in eh_personality eh_alloc eh_catch eh_terminate new_op; do
    compile $CXX "$supcxx -frandom-seed=$f.lo" "$gcc_src/libstdc++-v3/libsupc++/$f.cc" $f.o
done
mkdir -p "$tmp/start"
compile $CC "$crt" "$crt_src/crt/crtexe.c" start/crt2.o
compile $CC "$crt" "$crt_src/crt/pseudo-reloc.c" pseudo-reloc.o
compile $CC "$crt" "$crt_src/crt/pesect.c" pesect.o
for pid in "${pids[@]}"; do wait "$pid" || die "a runtime object failed to compile"; done
rm -rf "$tmp/include"
touch "$tmp/complete"
rm -rf "$out"
mv "$tmp" "$out"
trap - EXIT
echo "$out"
