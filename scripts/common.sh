# Shared by the run and test commands: packages, builds, a private Wine prefix and a display.
# Sourced, not run.

QUILLBAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUILLBAR_PACKAGES=(cmake ninja-build g++ clang libclang-rt-dev googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32
    wine wine64 fonts-wine xvfb xdotool imagemagick x11-utils zip unzip
    python3-xlib)

log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages that are missing (as root, or through sudo).
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${QUILLBAR_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds one preset quietly; prints the compiler's output only on failure.
# A build folder left from another compiler is configured afresh.
build_preset() {
    local preset=$1 out
    log "building $preset"
    if ! out=$(cd "$QUILLBAR_ROOT" && cmake --preset "$preset" 2>&1) && grep -q 'configure it afresh' <<<"$out"; then
        log "configuring $preset afresh"
        out=$(cd "$QUILLBAR_ROOT" && cmake --fresh --preset "$preset" 2>&1) || { printf '%s\n' "$out" >&2; return 1; }
    fi
    if ! out=$(cd "$QUILLBAR_ROOT" && cmake --preset "$preset" 2>&1 && cmake --build --preset "$preset" 2>&1); then
        printf '%s\n' "$out" >&2
        return 1
    fi
}

# Wine's own fonts (Marlett draws the caption buttons, Tahoma the dialogs' text) into the
# prefix's Fonts folder: this Wine does not read them from where fonts-wine puts them, and
# without them the caption buttons show letters. Links, so a prefix costs no copies.
install_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
        [ -e "$font" ] && ln -sf "$font" "$fonts/"
    done
    return 0
}

# A fresh, private Wine prefix; never the user's ~/.wine.
start_wine_prefix() {
    export WINEPREFIX
    WINEPREFIX=$(mktemp -d "${QUILLBAR_PREFIX_TEMPLATE:-/tmp/quillbar-wine.XXXXXX}")
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    log "creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    install_wine_fonts
    # Every program gets Wine's virtual desktop: a fixed 1024 x 768 screen with window
    # management, and no waiting on an X window manager that Xvfb does not have.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    # The desktop that wineboot started predates the setting: start the prefix afresh.
    wineserver -k >/dev/null 2>&1
    wineserver -w
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot >/dev/null 2>&1 </dev/null
}

stop_wine_prefix() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}

# Starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        local tries
        for tries in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    log "could not start Xvfb"
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}
