# Shared by the scripts: installing what is missing, building, and a private
# Wine session (prefix, server, display). Source it; do not run it.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="${BUILD:-$ROOT/build}"

# Debian packages the build, the release and the tests need.
PACKAGES="cmake ninja-build g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine32:i386 wine64
  xvfb xauth x11-apps xdotool imagemagick doctest-dev locales fonts-ipafont-gothic
  osslsigncode openssl zip unzip gcc-12-source"
# The build fetches mingw-w64's source (cmake/runtime/build.sh) from Debian's
# archive; this file adds the source line when no other gives one.
SOURCES_LIST=/etc/apt/sources.list.d/pelo7clean-sources.sources

install_missing() {
    local missing="" p need_sources=""
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    apt-cache showsrc mingw-w64 2>/dev/null | grep -q '^Package: mingw-w64$' || need_sources=1
    if [ -n "$missing" ] || [ -n "$need_sources" ]; then
        [ "$(id -u)" = 0 ] || { echo "missing packages:$missing${need_sources:+ and the deb-src line for mingw-w64} (run as root to install them)" >&2; exit 1; }
        if [ -n "$need_sources" ] && [ ! -f "$SOURCES_LIST" ]; then
            printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$(. /etc/os-release && echo "$VERSION_CODENAME")" >"$SOURCES_LIST"
        fi
        echo "installing:$missing${need_sources:+ (and the source index)}"
        dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
        apt-get update -q >/dev/null
        [ -z "$missing" ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >/dev/null
    fi
    # Without these locales Wine mangles non-ASCII file names and arguments.
    local loc need=""
    for loc in ja_JP en_US; do
        locale -a 2>/dev/null | grep -qix "$loc.utf-\?8" || need=1
    done
    if [ -n "$need" ]; then
        [ "$(id -u)" = 0 ] || { echo "locales ja_JP.UTF-8 and en_US.UTF-8 are missing (run as root)" >&2; exit 1; }
        for loc in ja_JP en_US; do
            grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" >> /etc/locale.gen
        done
        locale-gen >/dev/null
    fi
}

build_all() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/i686-w64-mingw32.cmake" >/dev/null
    cmake --build "$BUILD" -- -j"$(nproc)" "$@"
}

# start_session ARCH: a fresh prefix of the given architecture (win32 or win64),
# a private X display when none is given, and a persistent wineserver.
SESSION_DIR=""
XVFB_PID=""
start_session() {
    SESSION_DIR=$(mktemp -d /tmp/pelo7clean.XXXXXX)
    export WINEARCH="$1" WINEPREFIX="$SESSION_DIR/prefix" WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko prompts
    if [ -z "${DISPLAY:-}" ] || [ "${USE_XVFB:-}" = 1 ]; then
        local n=$((90 + RANDOM % 400))
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
    wineboot -i >/dev/null 2>&1
    wineserver -w
    wineserver -p >/dev/null 2>&1   # it must hold none of our output pipes
    # Crashes print a backtrace instead of waiting for someone to click.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # That also started the system processes (services, desktop). Had the first
    # test started them, they would hold its output pipe open for good.
    wine cmd.exe /c exit >/dev/null 2>&1
}

end_session() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" >/dev/null 2>&1 && wait "$XVFB_PID" 2>/dev/null
    [ -n "$SESSION_DIR" ] && rm -rf "$SESSION_DIR"
    XVFB_PID="" SESSION_DIR=""
}
