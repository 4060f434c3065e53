# Shared by the outside-in scenarios and the soak: a private Wine prefix with the
# virtual desktop, the launcher started and closed as a user would, and what can be seen
# of it from outside: the probe, the registry, the settings file and the screen.
# Sourced, not run. Needs BUILD (the win64 build folder) and DISPLAY set.

OUTSIDE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SCREEN_W=1024
SCREEN_H=768

# Uses the display named (starting Xvfb there when nothing answers), or starts Xvfb on
# a free one; OWN_XVFB is the server's pid when this script started it.
OWN_XVFB=""
outside_display() {  # [:N]
    if [ -z "$1" ]; then
        start_xvfb || return 1
        OWN_XVFB=$XVFB_PID
        return 0
    fi
    export DISPLAY=$1
    xdpyinfo >/dev/null 2>&1 && return 0
    Xvfb "$DISPLAY" -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp >/dev/null 2>&1 &
    OWN_XVFB=$!
    wait_for 10 'xdpyinfo >/dev/null 2>&1'
}

# A fresh prefix with Wine's 1024 x 768 virtual desktop, held open for the whole run,
# and the demonstration groups of recorder items; the recorder is copied in, so that
# commands hold no Unix path.
outside_prefix() {
    QUILLBAR_PREFIX_TEMPLATE=/tmp/qb-outside-run.XXXXXX start_wine_prefix "$BUILD/desktop_holder.exe" 2>/dev/null
    INI="$WINEPREFIX/drive_c/windows/qlbar.INI"
    RECLOG_UNIX="$WINEPREFIX/drive_c/rec/starts.log"
    export QUILLBAR_RECORDER_LOG='C:\rec\starts.log'
    mkdir -p "$WINEPREFIX/drive_c/rec"
    cp "$BUILD/recorder.exe" "$WINEPREFIX/drive_c/rec/recorder.exe"
}

outside_prefix_end() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}

qlgroup() { wine "$BUILD/qlgroup.exe" "$@" >/dev/null 2>&1; }

# Groups of recorder items with 3, 1 and 2 buttons: the bar's width names the group.
make_groups() {
    local rec='C:\rec\recorder.exe' icons=('C:\windows\notepad.exe' 'C:\windows\regedit.exe' 'C:\windows\winhlp32.exe')
    qlgroup add Alpha && qlgroup add Beta && qlgroup add Gamma || return 1
    local i
    for i in 0 1 2; do
        qlgroup add-item Alpha --title "Alpha item $i" --command "$rec alpha$i" --dir 'C:\rec' --icon "${icons[$i]}" || return 1
    done
    qlgroup add-item Beta --title "Beta only" --command "$rec beta0" --icon "${icons[1]}" || return 1
    for i in 0 1; do
        qlgroup add-item Gamma --title "Gamma $i" --command "$rec gamma$i" --icon "${icons[$i]}" || return 1
    done
}

probe() { wine "$BUILD/probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Lines of the launcher's top-level windows: hwnd pid exe class text rect flags.
launcher_windows() { probe windows | awk -F'\t' '$1 == "WIN" && tolower($4) == "qlbar.exe"'; }

# The bar's line, the Set Up dialog's line (enabled #32770 captioned "Quillbar"), the
# title popup's (a disabled #32770) and an open menu's (#32768, any process).
bar_line() { launcher_windows | awk -F'\t' '$5 ~ /^Qlb:/' | head -n 1; }
dialog_line() { launcher_windows | awk -F'\t' '$5 == "#32770" && $6 == "Quillbar" && $8 !~ /disabled/' | head -n 1; }
titlepop_line() { launcher_windows | awk -F'\t' '$5 == "#32770" && $8 ~ /disabled/ && $8 ~ /visible/' | head -n 1; }
menu_lines() { probe windows | awk -F'\t' '$5 == "#32768" && $8 ~ /visible/'; }

# The number of a control or command named in res/resource.h.
rid() { awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' "$OUTSIDE_ROOT/res/resource.h"; }

field() { cut -f "$1"; }  # field N of a probe line
rect_of() { field 7; }
flags_of() { field 8; }
# "l t r b w h" of a rectangle "l,t,r,b".
rect_words() { awk -F, '{ print $1, $2, $3, $4, $3 - $1, $4 - $2 }'; }

STRIP=20  # caption height + 1; set from the probe by the runner

# Polls a shell condition every 0.2 s until it holds; false after the seconds given.
wait_for() {
    local seconds=$1
    shift
    local end=$(( $(date +%s%N) / 1000000 + seconds * 1000 ))
    until eval "$@"; do
        [ $(( $(date +%s%N) / 1000000 )) -ge $end ] && return 1
        sleep 0.2
    done
}

# Writes the settings file fresh with the keys given as KEY=VALUE words.
write_ini() {
    { printf '[Quillbar]\r\n'; local kv; for kv in "$@"; do printf '%s\r\n' "$kv"; done; } >"$INI"
}
ini_get() { tr -d '\r' <"$INI" 2>/dev/null | awk -F= -v k="$1" '$1 == k { sub(/^[^=]*=/, ""); print; exit }'; }

LAUNCHER_PID=""
STARTS_RETRIED=0
# Starts qlbar.exe and waits for its bar window and its minimised Set Up dialog.
# Without the desktop holder (see scripts/common.sh), every start after a pause met a
# desktop being closed and a new explorer, took up to 13 s under load, and could land on
# the closing desktop. A start that still does not show both windows in 20 s is
# reported with what could be seen, the settings file is put back as it was written,
# and the launcher is started once more, counted; a second failure fails.
start_launcher() {
    local try saved
    saved=$(mktemp)
    cp "$INI" "$saved" 2>/dev/null
    for try in 1 2; do
        rm -f "$RECLOG_UNIX"
        wine "${BUILD_EXE:-$BUILD/qlbar.exe}" >/dev/null 2>&1 </dev/null &
        LAUNCHER_PID=$!
        if wait_for 20 '[ -n "$(bar_line)" ] && dialog_line | flags_of | grep -q iconic'; then
            rm -f "$saved"
            sleep 0.3  # its own process paints
            return 0
        fi
        [ "$try" -eq 2 ] && break
        echo "    the launcher's windows did not show within 20 s; starting it once more. What was seen:"
        launcher_report "      "
        stop_launcher
        if [ -s "$saved" ]; then cp "$saved" "$INI"; else rm -f "$INI"; fi
        STARTS_RETRIED=$(( STARTS_RETRIED + 1 ))
        [ -n "${QUILLBAR_RETRIES:-}" ] && echo "outside-in launcher start" >>"$QUILLBAR_RETRIES"
    done
    rm -f "$saved"
    return 1
}

launcher_alive() { [ -n "$LAUNCHER_PID" ] && kill -0 "$LAUNCHER_PID" 2>/dev/null; }

# What can be seen of the launcher when a step fails: whether it runs, its windows, error
# boxes; each line after the indent given. Not to be run in a subshell: it waits for an
# ended launcher to learn its exit code.
launcher_report() {  # indent
    local in=$1
    if launcher_alive; then
        echo "${in}the launcher runs (pid $LAUNCHER_PID)"
    elif [ -n "$LAUNCHER_PID" ]; then
        wait "$LAUNCHER_PID" 2>/dev/null
        echo "${in}the launcher ended with exit code $?"
    fi
    echo "${in}its windows:"
    launcher_windows | cut -f2,5,6,7,8 | sed "s/^/$in  /"
    echo "${in}error windows:"
    error_windows | cut -f4,6 | sed "s/^/$in  /"
    echo "${in}top-level windows of the desktop: $(probe windows | grep -c '^WIN')"
}

# Closes the launcher as a user closes a program (WM_CLOSE to its windows, from inside
# the desktop) and waits for it to end; force only when it does not.
stop_launcher() {
    launcher_alive || { LAUNCHER_PID=""; return 0; }
    wine taskkill /IM qlbar.exe >/dev/null 2>&1
    local ended=0
    wait_for 20 '! launcher_alive' && ended=1
    if [ "$ended" -eq 0 ]; then
        kill "$LAUNCHER_PID" 2>/dev/null
        wait "$LAUNCHER_PID" 2>/dev/null
    fi
    wait "$LAUNCHER_PID" 2>/dev/null
    LAUNCHER_PID=""
    [ "$ended" -eq 1 ]
}

# What a run leaves behind: the launcher, the prefix, and the display if it started one.
outside_finish() {
    [ -n "$LAUNCHER_PID" ] && kill "$LAUNCHER_PID" 2>/dev/null
    outside_prefix_end
    [ -n "$OWN_XVFB" ] && kill "$OWN_XVFB" 2>/dev/null
}

# Message boxes of a failed start, and Wine's crash dialog or debugger.
error_windows() {
    probe windows | awk -F'\t' '$6 ~ /Application Execution Error|Program Error/ || tolower($4) == "winedbg.exe"'
}

starts_count() { if [ -f "$RECLOG_UNIX" ]; then grep -c '^end' "$RECLOG_UNIX"; else echo 0; fi; }
started_with() { tr -d '\r' 2>/dev/null <"$RECLOG_UNIX" | grep -qx "cmdline=.*recorder.exe $1"; }

# Screen point of a client point of the bar (its border is 1 pixel).
bar_point() {  # x y -> "X Y"
    local l t r b w h
    read -r l t r b w h < <(bar_line | rect_of | rect_words)
    echo $(( l + 1 + $1 )) $(( t + 1 + $2 ))
}

# A left-button drag in ten steps: Wine's move loop follows a pointer that moves, not one that jumps.
drag() {  # from-x from-y to-x to-y
    xdotool mousemove "$1" "$2" mousedown 1
    sleep 0.3
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $(( $1 + ($3 - $1) * i / 10 )) $(( $2 + ($4 - $2) * i / 10 ))
        sleep 0.1
    done
    sleep 0.3
    xdotool mouseup 1
}

SHOTS=${OUTSIDE_SHOTS:-$OUTSIDE_ROOT/build/screenshots/outside}
shot() { mkdir -p "$SHOTS" && import -window root "$SHOTS/$1.png" 2>/dev/null; }
