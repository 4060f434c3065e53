#!/usr/bin/env bash
# The three commands that end the Windows session, through the real launcher in a Wine
# prefix of their own: Wine ends every process of the session, so no test may share it.
# Each run checks that the settings changed at run time were written and that the
# session was asked to end the way the command says (Wine turns ExitWindowsEx into a
# wineboot command line, which the process trace shows).
# Usage: session_end.sh BUILD_DIR   (with DISPLAY set)
set -u -o pipefail
build=$1
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
WINEPREFIX=$(mktemp -d /tmp/quillbar-session.XXXXXX)
cleanup() { wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
wineboot -i >/dev/null 2>&1 </dev/null

ini="$WINEPREFIX/drive_c/windows/qlbar.INI"
failed=0
# The number of a command named in res/resource.h.
rid() { awk -v name="$1" '$1 == "#define" && $2 == name { print $3; exit }' "$(dirname "$0")/../../res/resource.h"; }
# command, what wineboot must be asked, the options it must not get
cases=(
    "$(rid IDM_EXITWINDOWS)|--end-session --force --shutdown|--kill"
    "$(rid IDM_REBOOT)|--end-session|--kill --force --shutdown"
    "$(rid IDM_RESTARTWINDOWS)|--end-session --shutdown|--kill --force"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r id want unwanted <<<"$entry"
    # The prefix holds no group: the first run's question is taken as answered.
    printf '[Quillbar]\r\nAskImport=0\r\n' >"$ini"
    trace=$(mktemp)
    WINEDEBUG=trace+process wine "$build/qlbar.exe" 2>"$trace" &
    launcher=$!
    # TopMost switched off at run time: the saved file must show it.
    wine "$build/post_command.exe" "$(rid IDM_TOPMOST)" "$id" >/dev/null 2>&1
    for _ in $(seq 150); do
        kill -0 "$launcher" 2>/dev/null || break
        sleep 0.2
    done
    wait "$launcher" 2>/dev/null
    line=$(grep -ao 'wineboot.exe[^"]*' "$trace" | grep -- '--end-session\|--kill' | head -n 1)
    bad=""
    for option in $unwanted; do
        [[ "$line" == *"$option"* ]] && bad="$option"
    done
    if kill -0 "$launcher" 2>/dev/null; then
        echo "session end $id: the launcher is still running" >&2; failed=1
        kill "$launcher"
    elif ! grep -q '^TopMost=0' "$ini" 2>/dev/null; then
        echo "session end $id: settings not saved: $(cat "$ini" 2>/dev/null | tr '\r\n' '  ')" >&2; failed=1
    elif [[ "$line" != *"$want"* || -n "$bad" ]]; then
        echo "session end $id: asked '$line', expected '$want' without $unwanted" >&2; failed=1
    else
        echo "session end $id: saved, and asked: $line" >&2
    fi
    rm -f "$trace"
    wineserver -w  # the ended session's last processes
done
exit "$failed"
