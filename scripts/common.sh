# Shared by the run and test commands: packages, builds, a private Wine prefix and a display.
# Sourced, not run.

QUILLBAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUILLBAR_PACKAGES=(cmake ninja-build g++ clang libclang-rt-dev googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32
    wine wine64 fonts-wine xvfb xserver-xephyr xdotool imagemagick x11-utils zip unzip
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

# A fresh, private Wine prefix; never the user's ~/.wine. With the path of the test
# build's desktop_holder.exe, the prefix's virtual desktop is held open until the prefix
# ends: Wine closes an empty desktop a second after its last program ends, and a program
# started at that moment can land on the desktop being closed (and never show a window
# where the rest of the run looks), while any start after a pause waits for a new one.
start_wine_prefix() {  # [desktop_holder.exe]
    local holder=${1:-}
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
    # The holder is the new server's first program: the desktop it opens is not one closing.
    if [ -n "$holder" ]; then
        wine "$holder" </dev/null >/dev/null 2>&1 &
    fi
    wineboot >/dev/null 2>&1 </dev/null
}

stop_wine_prefix() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}

# Starts Xvfb on a free display and exports DISPLAY. The server picks the display itself
# and writes its number once it takes clients: runs started side by side (the outside-in
# run beside the test command's, or another checkout's) can never share one, which a
# free-number search followed by a start could not promise.
start_xvfb() {
    local numbers n tries
    numbers=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numbers" >/dev/null 2>&1 &
    XVFB_PID=$!
    for tries in $(seq 100); do
        if [ "$(wc -l <"$numbers")" -ge 1 ]; then
            n=$(tr -dc 0-9 <"$numbers")
            rm -f "$numbers"
            export DISPLAY=":$n"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numbers"
    log "could not start Xvfb"
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}
