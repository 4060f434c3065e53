#!/usr/bin/env bash
# Outside-in scenarios: the real qlbar.exe in Wine's 1024 x 768 virtual desktop on Xvfb,
# driven only from outside its process: X input through xdotool, groups made with
# qlgroup.exe, commands other programs may post, and checked through the probe (windows,
# control texts, check states), the settings file and the recorder's log of what was
# started. Each scenario saves a screenshot in build/screenshots/outside/.
# Usage: run_all.sh BUILD_DIR [SCENARIO...]
#   OUTSIDE_DISPLAY=:N  use (or start) this X display instead of a free one
# Prints PASS, FAIL or SKIP per scenario and a summary; exits 1 when any failed.
set -u -o pipefail
BUILD=$(cd "${1:?usage: run_all.sh BUILD_DIR [SCENARIO...]}" && pwd)
shift
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

outside_display "${OUTSIDE_DISPLAY:-}" || { echo "FAIL: no display"; exit 1; }
finish() {
    rm -rf "${DROPS:-/nonexistent}"
    outside_finish
}
trap finish EXIT

started=$(date +%s)
outside_prefix
make_groups || { echo "FAIL: qlgroup could not make the groups"; exit 1; }
read -r _ S_W S_H CAPTION < <(probe metrics)
STRIP=$(( CAPTION + 1 ))
# A whole run replaces the screenshots; a run of named scenarios replaces only theirs.
[ $# -eq 0 ] && rm -rf "$SHOTS"
mkdir -p "$SHOTS"
# Files to drop, one with a blank in its name.
DROPS=$(mktemp -d /tmp/qb-outside-drops.XXXXXX)
DROP_A="$DROPS/first.txt" DROP_B="$DROPS/second file.txt"
echo a >"$DROP_A" && echo b >"$DROP_B"
winpath() { echo "Z:$1" | tr / '\\'; }

WHY=""
fail() { WHY="$*"; return 1; }
# Expected outer width of the bar for n buttons of 32 pixels with a vertical strip
# (the default "Title"), or with no strip when the second word is "nostrip".
bar_width() { echo $(( 38 * $1 + 2 + ${2:-$STRIP} )); }
bar_size() { bar_line | rect_of | rect_words | awk '{ print $5 "x" $6 }'; }

# Fixed, free at 300,200, horizontal strip, every item in one row.
fixed_free_ini() {
    write_ini Popup=10100 'Window=300,200,400,300,-1,600' Title=10000 Max=99 StopSaver=0 "$@"
}

# ---------------------------------------------------------------------------------------
# Docked in each of the seven positions, read from the settings file at start.
scenario_dock() {
    local code expect l t r b w h
    for code in 601 602 603 604 605 606 600; do
        write_ini Popup=10100 "Window=200,150,300,250,-1,$code" Group=0
        start_launcher || fail "$code: the launcher did not show its windows" || return 1
        read -r l t r b w h < <(bar_line | rect_of | rect_words)
        [ "$w" -eq "$(bar_width 3)" ] && [ "$h" -eq 40 ] || fail "$code: bar is ${w}x$h, expected $(bar_width 3)x40" || return 1
        case $code in
        601) expect="0 0" ;;
        602) expect="$(( S_W / 2 - w / 2 )) 0" ;;
        603) expect="$(( S_W - w )) 0" ;;
        604) expect="0 $(( S_H - h ))" ;;
        605) expect="$(( S_W / 2 - w / 2 )) $(( S_H - h ))" ;;
        606) expect="$(( S_W - w )) $(( S_H - h ))" ;;
        600) expect="200 150" ;;
        esac
        [ "$l $t" = "$expect" ] || fail "$code: bar at $l,$t, expected $expect" || return 1
        bar_line | flags_of | grep -q visible || fail "$code: bar not visible" || return 1
        shot "dock-$code"
        stop_launcher || fail "$code: the launcher did not end when closed" || return 1
        [ "$(ini_get Window | cut -d, -f6)" = "$code" ] || fail "$code: saved Window=$(ini_get Window)" || return 1
    done
}

# Drops from another program of the desktop. A WM_DROPFILES posted with a drop handle
# made in another process, and an OLE drag of files from another process, are both
# lost under Wine's virtual desktop: these two scenarios pass when the launcher starts
# nothing and keeps running, which is what Wine delivers today.
scenario_drop_posted_is_lost() {
    fixed_free_ini
    start_launcher || fail "no launcher" || return 1
    local hwnd
    hwnd=$(bar_line | field 2)
    probe postdrop "$hwnd" $(( 19 )) $(( STRIP + 19 )) 'C:\windows\win.ini' | grep -q 'POSTDROP.1' ||
        fail "could not post the drop" || return 1
    shot drop-posted
    [ "$(starts_count)" -eq 0 ] || fail "a posted drop started: $(grep cmdline "$RECLOG_UNIX")" || return 1
    launcher_alive || fail "the launcher ended on a foreign drop handle" || return 1
}

scenario_drop_ole_drag_is_lost() {
    fixed_free_ini
    start_launcher || fail "no launcher" || return 1
    local out x y
    out=$(mktemp)
    probe dragdrop 'C:\windows\win.ini' >"$out" &
    local dragger=$!
    sleep 1.5
    read -r x y < <(bar_point 19 $(( STRIP + 19 )))
    xdotool mousemove 600 500 mousedown 1
    local step
    for step in 1 2 3 4 5; do
        xdotool mousemove $(( 600 + (x - 600) * step / 5 )) $(( 500 + (y - 500) * step / 5 ))
        sleep 0.2
    done
    shot drop-ole-drag
    xdotool mouseup 1
    wait "$dragger"
    local result
    result=$(cat "$out")
    rm -f "$out"
    sleep 1
    [[ "$result" == DRAG* ]] || fail "the drag did not run: $result" || return 1
    [ "$(starts_count)" -eq 0 ] || fail "an OLE drag started: $(grep cmdline "$RECLOG_UNIX")" || return 1
    launcher_alive || fail "the launcher ended" || return 1
    echo "    (DoDragDrop answered: $result)"
}

# Drags files from X onto the centre of button COLUMN, the X window being the one named
# by the pattern; prints what the drop source was told.
xdnd_onto_button() {  # pattern column file...
    local window x y
    window=$(xdotool search --name "$1" | head -n 1)
    [ -n "$window" ] || { echo "no X window named $1"; return 1; }
    read -r x y < <(bar_point $(( 38 * $2 + 19 )) $(( STRIP + 19 )))
    shift 2
    "$OUTSIDE_ROOT/tests/outside/xdnd_drop.py" "$window" "$x" "$y" "$@" 2>&1
    return 0
}

# A file manager's drag (XDND with text/uri-list, from an X client) onto the bar in the
# virtual desktop: the X window under the pointer is the desktop's, owned by Wine's
# explorer, so the drop lands in that process and the launcher never sees it.
scenario_drop_xdnd_into_virtual_desktop_is_lost() {
    fixed_free_ini
    start_launcher || fail "no launcher" || return 1
    local result
    result=$(xdnd_onto_button 'Wine desktop' 0 "$DROP_A") || fail "$result" || return 1
    sleep 2
    shot drop-xdnd-virtual-desktop
    [ "$(starts_count)" -eq 0 ] || fail "the drop reached the launcher after all: $(grep cmdline "$RECLOG_UNIX")" || return 1
    launcher_alive || fail "the launcher ended" || return 1
    echo "    (the desktop answered: $result)"
}

# The closest real path: the launcher on a desktop of its own without the virtual one
# (Wine's per-program desktop setting), where its bar is an X top-level window. The same
# X drag then arrives as WM_DROPFILES, and the button's program starts with the files.
scenario_drop_xdnd_onto_own_window() {
    local exe
    for exe in qlbar.exe probe.exe post_command.exe; do
        wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\Explorer" /v Desktop /d Bare /f >/dev/null 2>&1
    done
    drop_onto_own_window
    local status=$?
    # Quit (the command any program may post): taskkill's close does not reach this desktop.
    if launcher_alive; then
        wine "$BUILD/post_command.exe" "$(rid IDM_EXIT)" >/dev/null 2>&1
        wait_for 10 '! launcher_alive' || { [ "$status" -eq 0 ] && status=1 WHY="the quit command did not end the launcher"; }
    fi
    stop_launcher
    for exe in qlbar.exe probe.exe post_command.exe; do
        wine reg delete "HKCU\\Software\\Wine\\AppDefaults\\$exe" /f >/dev/null 2>&1
    done
    return $status
}
drop_onto_own_window() {
    fixed_free_ini
    start_launcher || fail "no launcher on a desktop of its own" || return 1
    local result
    result=$(xdnd_onto_button '^Quillbar - Button Window$' 1 "$DROP_A" "$DROP_B") || fail "$result" || return 1
    [ "$result" = "XDND accepted=1 finished=1" ] || fail "the bar did not take the drop: $result" || return 1
    wait_for 10 '[ "$(starts_count)" -ge 1 ]' || fail "the drop started nothing" || return 1
    shot drop-xdnd-own-window
    local want
    want="cmdline=C:\\rec\\recorder.exe alpha1 $(winpath "$DROP_A") \"$(winpath "$DROP_B")\""
    tr -d '\r' <"$RECLOG_UNIX" | grep -qxF "$want" ||
        fail "started $(tr -d '\r' <"$RECLOG_UNIX" | grep cmdline), expected $want" || return 1
}

# The launcher on the first group, its group menu opened by the right button.
open_group_menu() {
    fixed_free_ini Group=0
    start_launcher || fail "no launcher" || return 1
    local x y
    read -r x y < <(bar_point 19 $(( STRIP + 19 )))
    xdotool mousemove "$x" "$y" click 3
    wait_for 5 '[ -n "$(menu_lines)" ]' || fail "no menu after a right click" || return 1
}

# The Set Up dialog, restored from its minimised caption by a double click.
restore_dialog() {
    local dl dt
    read -r dl dt _ < <(dialog_line | rect_of | rect_words)
    xdotool mousemove $(( dl + 40 )) $(( dt + 10 )) click --repeat 2 --delay 80 1
    wait_for 5 '! dialog_line | flags_of | grep -q iconic'
}

click_in() {  # window, control id
    local l t r b w h
    # A child's line holds its rectangle in field 6 (a top-level window's in field 7).
    read -r l t r b w h < <(probe children "$1" | awk -F'\t' -v id="$2" '$3 == id' | field 6 | rect_words)
    [ -n "$w" ] || return 1
    xdotool mousemove $(( l + w / 2 )) $(( t + h / 2 )) click 1
}
click_child() { click_in "$(dialog_line | field 2)" "$1"; }  # control id of the Set Up dialog

# A Fixed bar stays where it is when the cursor rests on an edge. Settings changed at run
# time reach the settings file when the Set Up dialog's Exit ends the launcher: the group
# (Page Down), the place (dragging the strip), TopMost (the command another program may
# post), with every other key written back as read.
scenario_exit_saves_everything() {
    write_ini Popup=10100 'Window=300,200,400,300,-1,600' Title=10000 TopMost=1 ButtonTitle=402 \
        Size=32,32 Max=5 StopSaver=0 Group=0 Dialog=0,0,0,0
    start_launcher || fail "no launcher" || return 1
    local x y placed
    placed=$(bar_line | rect_of)
    xdotool mousemove 0 300 sleep 0.8 mousemove 900 700 sleep 0.3
    [ "$(bar_line | rect_of)" = "$placed" ] && bar_line | flags_of | grep -q visible ||
        fail "a Fixed bar moved or hid when the cursor rested on an edge: $(bar_line | cut -f7,8)" || return 1
    read -r x y < <(bar_point 10 5)
    xdotool mousemove "$x" "$y" click 1
    wait_for 5 'bar_line | flags_of | grep -q foreground' || fail "the bar did not activate" || return 1
    sleep 0.6  # not a double click on the strip
    drag "$x" "$y" $(( x + 100 )) $(( y + 60 ))
    wait_for 5 '[ "$(bar_line | rect_of | cut -d, -f1,2)" = "400,260" ]' ||
        fail "dragging the strip left the bar at $(bar_line | rect_of)" || return 1
    xdotool key Next
    wait_for 5 '[ "$(bar_size)" = "$(bar_width 1 0)x$(( 40 + STRIP ))" ]' || fail "Page Down did not switch" || return 1
    wine "$BUILD/post_command.exe" "$(rid IDM_TOPMOST)" >/dev/null 2>&1
    wait_for 5 '! bar_line | flags_of | grep -q topmost' || fail "TopMost was not switched off" || return 1
    local rect
    rect=$(bar_line | rect_of)
    restore_dialog || fail "double-clicking the minimised dialog did not restore it" || return 1
    shot exit-setup-dialog
    click_child "$(rid IDC_EXIT)" || fail "no Exit button" || return 1
    wait_for 10 '! launcher_alive' || fail "Exit did not end the launcher" || return 1
    LAUNCHER_PID=""
    local key want
    for want in "Group=1" "TopMost=0" "Window=$rect,-1,600" "ButtonTitle=402" "Size=32,32" "Max=5" \
        "StopSaver=0" "Popup=10100" "Title=10000"; do
        key=${want%%=*}
        [ "$(ini_get "$key")" = "${want#*=}" ] || fail "saved $key=$(ini_get "$key"), expected ${want#*=}" || return 1
    done
    [ -n "$(ini_get Dialog)" ] || fail "Dialog not saved" || return 1
}

# The About box from the Set Up dialog's system menu, by keys: modal to the dialog, which
# takes no input until the box is gone.
scenario_about_box() {
    fixed_free_ini Group=0
    start_launcher || fail "no launcher" || return 1
    restore_dialog || fail "the dialog did not restore" || return 1
    xdotool key alt+space
    wait_for 5 '[ -n "$(menu_lines)" ]' || fail "no system menu" || return 1
    # The last entry; Wine's own "About Wine" entry takes the letter A before it.
    xdotool key Up Return
    about_line() { launcher_windows | awk -F'\t' '$6 == "About Quillbar" && $8 ~ /visible/'; }
    wait_for 5 '[ -n "$(about_line)" ]' || fail "no window captioned \"About Quillbar\"" || return 1
    setup_disabled() { launcher_windows | awk -F'\t' '$5 == "#32770" && $6 == "Quillbar"' | flags_of | grep -q disabled; }
    setup_disabled || fail "the Set Up dialog stays enabled under the About box" || return 1
    shot about-box
    xdotool key Return
    wait_for 5 '[ -z "$(about_line)" ]' || fail "OK did not close the About box" || return 1
    wait_for 5 '! setup_disabled' || fail "the Set Up dialog stays disabled after the box" || return 1
}

# Names in any script, carried whole by the UTF-8 code page of both programs' manifest:
# qlgroup writes a group whose name, title, program folder and arguments are Cyrillic and
# CJK; the menu chooses it, and a click starts the program in its folder with the
# arguments byte for byte (the recorder logs its wide command line as UTF-8).
scenario_names_in_any_language() {
    local folder='Программы\程序' args='Привет 你好 Ärger'
    local dir="C:\\$folder" name='Инструменты 工具'
    mkdir -p "$WINEPREFIX/drive_c/Программы/程序"
    cp "$BUILD/recorder.exe" "$WINEPREFIX/drive_c/Программы/程序/recorder.exe"
    # Wine makes the programs' wide command line from the Unix arguments in this locale.
    LC_ALL=C.UTF-8 qlgroup add "$name" &&
        LC_ALL=C.UTF-8 qlgroup add-item "$name" --title 'Запуск 启动' --command "$dir\\recorder.exe $args" --dir "$dir" ||
        fail "qlgroup refused the names" || return 1
    open_group_menu || return 1
    shot names-in-any-language-menu
    # The fourth group, after Alpha, Beta and Gamma: one button.
    xdotool key 4
    wait_for 5 '[ "$(bar_size)" = "$(bar_width 1 0)x$(( 40 + STRIP ))" ]' ||
        fail "choosing group 4 left the bar at $(bar_size)" || return 1
    local x y
    read -r x y < <(bar_point 19 $(( STRIP + 19 )))
    xdotool mousemove "$x" "$y" click 1
    wait_for 10 '[ "$(starts_count)" -ge 1 ]' || fail "a click started nothing" || return 1
    shot names-in-any-language
    tr -d '\r' <"$RECLOG_UNIX" | grep -qx "cmdline=.*recorder\.exe $args" ||
        fail "started $(tr -d '\r' <"$RECLOG_UNIX" | grep cmdline), expected ...recorder.exe $args" || return 1
    tr -d '\r' <"$RECLOG_UNIX" | grep -qxF "cwd=$dir" ||
        fail "ran in $(tr -d '\r' <"$RECLOG_UNIX" | grep cwd), expected $dir" || return 1
    stop_launcher
    LC_ALL=C.UTF-8 qlgroup remove "$name" || fail "qlgroup could not remove the group" || return 1
}

# --- Launching as the shell does --------------------------------------------------------
# A fourth group for these scenarios, removed again after each: the others count three.
# Four buttons: a slow program, a quick one, a shortcut (blanks in its unquoted name) to
# the recorder with an argument and a directory of its own, and arguments in mixed case.
LAUNCH_ITEMS=('C:\rec\recorder.exe slow1 --slow' 'C:\rec\recorder.exe quick2' 'C:\rec\Shortcut to it.lnk'
    'C:\rec\recorder.exe -P Work https://Example.com/AbC')
with_launch_group() {  # body
    local item status=1
    probe shortcut 'C:\rec\Shortcut to it.lnk' 'C:\rec\recorder.exe' 'C:\windows' via-link | grep -q '^SHORTCUT.1' ||
        fail "the probe could not make the shortcut" || return 1
    if qlgroup add Launching; then
        for item in "${LAUNCH_ITEMS[@]}"; do
            qlgroup add-item Launching --title "$item" --command "$item" --dir 'C:\rec' --icon 'C:\windows\notepad.exe' ||
                { fail "qlgroup could not add $item"; break; }
        done
        if [ -z "$WHY" ]; then
            fixed_free_ini Group=3
            if ! start_launcher; then
                fail "no launcher"
            elif [ "$(bar_size)" != "$(bar_width 4 0)x$(( 40 + STRIP ))" ]; then
                fail "the bar is $(bar_size), not the four buttons of the group"
            else
                "$1"
                status=$?
            fi
        fi
    else
        fail "qlgroup could not add the group"
    fi
    qlgroup remove Launching
    return $status
}
click_button() {  # column
    local x y
    read -r x y < <(bar_point $(( 38 * $1 + 19 )) $(( STRIP + 19 )))
    xdotool mousemove "$x" "$y" click 1
}
logged() { tr -d '\r' 2>/dev/null <"$RECLOG_UNIX" | grep -q "$1"; }

# A program slow to become idle (8 s before it reads messages) does not hold the bar: a
# second click during its start starts the second item at once.
scenario_slow_program_does_not_freeze_the_bar() { with_launch_group slow_program_body; }
slow_program_body() {
    click_button 0
    wait_for 5 'started_with "slow1 --slow"' || fail "the slow item did not start: $(cat "$RECLOG_UNIX" 2>/dev/null)" || return 1
    click_button 1
    wait_for 3 'started_with quick2' ||
        fail "the second item did not start within 3 s while the first was still sleeping" || return 1
    shot slow-program
}

# A shortcut item starts the shortcut's target, with its arguments, in its directory.
scenario_shortcut_item_starts_its_target() { with_launch_group shortcut_item_body; }
shortcut_item_body() {
    click_button 2
    wait_for 10 'logged "recorder.exe\"\? via-link$"' ||
        fail "the shortcut's target did not start: $(cat "$RECLOG_UNIX" 2>/dev/null)" || return 1
    logged '^cwd=C:\\windows$' || fail "not started in the shortcut's directory: $(grep cwd "$RECLOG_UNIX")" || return 1
    shot shortcut-item
}

# Arguments reach the program in the case they were written in.
scenario_mixed_case_arguments() { with_launch_group mixed_case_body; }
mixed_case_body() {
    click_button 3
    wait_for 10 'logged "recorder.exe -P Work https://Example.com/AbC$"' ||
        fail "started $(tr -d '\r' <"$RECLOG_UNIX" 2>/dev/null | grep cmdline)" || return 1
}

# --- The Start Menu into groups -----------------------------------------------------------
# Both Start Menus hold a "Shared Tools" folder: the user's a program, the all users' a
# program, a document, a folder, an internet shortcut and Control Panel. Imported twice
# they make one group of the user's with five items; Control Panel is named as skipped
# and fails neither run. The launcher then starts each item: the programs as processes,
# the document, the address and the folder through the shell.
START_KEYS=('HKCR\.qbs' 'HKCR\qbsfile' 'HKCR\qbscheme')
scenario_import_start_menu() {
    local user common status=0
    user="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | head -n 1)/Microsoft/Windows/Start Menu/Programs/Shared Tools"
    common="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Shared Tools"
    mkdir -p "$user" "$common"
    echo notes >"$WINEPREFIX/drive_c/rec/notes.qbs"
    printf '[InternetShortcut]\r\nURL=qbscheme:from-url\r\n' >"$common/Site.url"
    wine reg add 'HKCR\.qbs' /ve /d qbsfile /f >/dev/null 2>&1
    wine reg add 'HKCR\qbsfile\shell\open\command' /ve /d 'C:\rec\recorder.exe document "%1"' /f >/dev/null 2>&1
    wine reg add 'HKCR\qbscheme\shell\open\command' /ve /d 'C:\rec\recorder.exe url "%1"' /f >/dev/null 2>&1
    local link name target args where made=0
    for link in 'Mine.lnk|C:\rec\recorder.exe|from-user' 'Recorder.lnk|C:\rec\recorder.exe|from-common' \
        'Docs.lnk|C:\rec|' 'Notes.lnk|C:\rec\notes.qbs|' 'Control Panel.lnk|::3|'; do
        IFS='|' read -r name target args <<<"$link"
        where='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Shared Tools'
        [ "$name" = Mine.lnk ] && where="$(winpath "$user")"
        probe shortcut "$where\\$name" "$target" 'C:\rec' $args | grep -q '^SHORTCUT.1' && made=$(( made + 1 ))
    done
    if [ "$made" -ne 5 ]; then
        fail "the probe made $made of the 5 shortcuts"
    else
        import_start_menu_body "$user" || status=1
    fi
    stop_launcher
    qlgroup remove 'Shared Tools'
    rm -rf "$user" "$common" "$WINEPREFIX/drive_c/rec/notes.qbs"
    for link in "${START_KEYS[@]}"; do wine reg delete "$link" /f >/dev/null 2>&1; done
    return $status
}
import_start_menu_body() {
    local out run
    for run in first second; do
        out=$(wine "$BUILD/qlgroup.exe" import-startmenu 2>&1 | tr -d '\r') || fail "the $run import exited with $?: $out" || return 1
    done
    grep -q 'Shared Tools\\Control Panel.lnk: it opens' <<<"$out" || fail "the skipped shell item is not named: $out" || return 1
    tail -n 1 <<<"$out" | grep -qx 'Made 0 groups and 0 items (5 items were there already); skipped 1 entries.' ||
        fail "the second import did not find all five items there: $out" || return 1
    out=$(wine "$BUILD/qlgroup.exe" show 'Shared Tools' 2>&1 | tr -d '\r')
    grep -q '^source: HKEY_CURRENT_USER' <<<"$out" || fail "not among the user's groups: $out" || return 1
    [ "$(grep -c '^item: ' <<<"$out")" -eq 5 ] || fail "the group does not hold five items: $out" || return 1

    fixed_free_ini Group=3
    start_launcher || fail "no launcher" || return 1
    [ "$(bar_size)" = "$(bar_width 5 0)x$(( 40 + STRIP ))" ] || fail "the bar is $(bar_size), not the five items" || return 1
    # Mine, Docs (the folder), Notes (the document), Recorder, Site (the address).
    local column
    for column in 0 2 3 4; do click_button $column; sleep 0.5; done
    wait_for 10 '[ "$(starts_count)" -ge 4 ]' || fail "four clicks started $(starts_count): $(cat "$RECLOG_UNIX" 2>/dev/null)" || return 1
    started_with from-user && started_with from-common && logged 'recorder.exe url "qbscheme:from-url"' &&
        logged 'recorder.exe document "C:\\rec\\notes.qbs"' ||
        fail "started: $(tr -d '\r' <"$RECLOG_UNIX" | grep cmdline | tr '\n' ' ')" || return 1
    click_button 1
    wait_for 10 '[ -n "$(folder_window)" ]' || fail "the folder item opened no window" || return 1
    shot import-start-menu
    wine taskkill /PID "$(folder_window | field 3 | head -n 1)" >/dev/null 2>&1
    wait_for 10 '[ -z "$(folder_window)" ]' || fail "the folder's window did not close" || return 1
}
# Wine's explorer window showing C:\rec.
folder_window() { probe windows | awk -F'\t' '$5 == "ExplorerWClass" && $6 == "rec"'; }

# --- Settings that survive, no planted libraries ------------------------------------------
# The user's settings file, where the settings go when the Windows directory's cannot be written.
user_ini() { echo "$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | head -n 1)/Quillbar/qlbar.INI"; }
save_box() { launcher_windows | awk -F'\t' '$5 == "#32770" && $6 == "Quillbar" && $8 ~ /visible/' | head -n 1; }

# The Windows directory's file cannot be written (a folder of its name stands in for it;
# Wine as root ignores file modes): a change survives the restart in the user's file.
# With that one unwritable too, the exit says so.
scenario_settings_survive_an_unwritable_windows_directory() {
    local user status=0
    user=$(user_ini)
    rm -f "$INI" && mkdir "$INI"
    settings_body || status=1
    rmdir "$user" "$INI" 2>/dev/null
    rm -f "$user"
    return $status
}
settings_body() {
    start_launcher || fail "no launcher" || return 1
    wine "$BUILD/post_command.exe" $(( $(rid IDM_GROUP_FIRST) + 1 )) >/dev/null 2>&1
    wait_for 5 '[ "$(bar_size)" = "$(bar_width 1)x40" ]' || fail "the group command left the bar at $(bar_size)" || return 1
    stop_launcher || fail "the launcher did not end" || return 1
    tr -d '\r' <"$user" 2>/dev/null | grep -qx 'Group=1' ||
        fail "the user's file $user holds: $(tr -d '\r' <"$user" 2>/dev/null | tr '\n' ' ')" || return 1
    start_launcher || fail "no launcher the second time" || return 1
    [ "$(bar_size)" = "$(bar_width 1)x40" ] || fail "the restart did not read the user's file: $(bar_size)" || return 1
    stop_launcher
    rm -f "$user" && mkdir "$user"
    start_launcher || fail "no launcher the third time" || return 1
    wine taskkill /IM qlbar.exe >/dev/null 2>&1
    wait_for 20 '[ -n "$(save_box)" ]' || fail "a save that failed everywhere was not reported" || return 1
    shot settings-not-saved
    probe children "$(save_box | field 2)" | grep -q 'could not be saved' ||
        fail "the box says: $(probe children "$(save_box | field 2)" | cut -f5 | tr '\n' ' ')" || return 1
    probe children "$(save_box | field 2)" | grep -qF 'qlbar.INI' || fail "the box names no file" || return 1
    xdotool key Return
    wait_for 10 '! launcher_alive' || fail "the launcher did not end after the box" || return 1
    LAUNCHER_PID=""
}

# A CTL3D32.DLL beside the launcher and one in an item's working directory (which the
# launcher makes current before a start) are never loaded: each leaves a marker when it is.
# Wine prefers its own builtin library; told to prefer a file, it searches as Windows does.
scenario_planted_library_is_not_loaded() {
    local app="$WINEPREFIX/drive_c/app" work="$WINEPREFIX/drive_c/rec" status=0
    mkdir -p "$app"
    cp "$BUILD/qlbar.exe" "$app/qlbar.exe"
    cp "$BUILD/dll_marker.dll" "$app/CTL3D32.DLL"
    cp "$BUILD/dll_marker.dll" "$work/CTL3D32.DLL"
    rm -f "$app/loaded.marker" "$work/loaded.marker"
    fixed_free_ini Group=0
    BUILD_EXE="$app/qlbar.exe" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ctl3d32=n,b" planted_body || status=1
    rm -f "$app/CTL3D32.DLL" "$work/CTL3D32.DLL" "$app/loaded.marker" "$work/loaded.marker"
    return $status
}
planted_body() {
    start_launcher || fail "no launcher" || return 1
    local x y
    read -r x y < <(bar_point 19 $(( STRIP + 19 )))
    xdotool mousemove "$x" "$y" click 1
    wait_for 10 'started_with alpha0' || fail "the click started nothing" || return 1
    stop_launcher
    [ ! -e "$app/loaded.marker" ] || fail "the library beside the launcher was loaded" || return 1
    [ ! -e "$work/loaded.marker" ] || fail "the library in the item's directory was loaded" || return 1
}

# --- The first run: groups from both Start Menus -------------------------------------------
# No group anywhere, and shortcuts in the user's and the all users' Start Menu: a nested
# folder, an address (.url), a document and a title that desktop.ini localises. The
# launcher asks; Yes shows the groups at once; a click starts a program in its folder and
# the document item opens its document (its type opens with the recorder). After No, the
# next start does not ask, and the System submenu's entry imports, mentioning a shortcut
# it could not read. A launcher without the tool beside it names the file it could not
# start and why.
USER_MENU="" COMMON_MENU=""
c_path() { echo "C:${1#"$WINEPREFIX"/drive_c}" | tr / '\\'; }
tool_out() { LC_ALL=C.UTF-8 wine "$BUILD/qlgroup.exe" "$@" 2>/dev/null | tr -d '\r'; }
no_groups() {
    local key
    for key in 'HKCU\UNICODE Program Groups' 'HKCU\Program Groups' 'HKLM\SOFTWARE\Program Groups'; do
        wine reg delete "$key" /f >/dev/null 2>&1
    done
    return 0
}
# The launcher's visible box captioned as the launcher (not the minimised Set Up dialog).
launcher_box() { launcher_windows | awk -F'\t' '$5 == "#32770" && $6 == "Quillbar" && $8 ~ /visible/ && $8 !~ /iconic/' | head -n 1; }
box_text() { probe children "$(launcher_box | field 2)" | cut -f5 | tr '\n' ' '; }
# One cell: no group, as every group here has two items or more.
empty_bar() { [ "$(bar_size)" = "$(bar_width 1)x40" ]; }
# Starts the launcher of a registry without groups and waits for its question.
start_asked() {
    rm -f "$RECLOG_UNIX"
    wine "$BUILD/qlbar.exe" >/dev/null 2>&1 </dev/null &
    LAUNCHER_PID=$!
    wait_for 20 '[ -n "$(launcher_box)" ]' || fail "no question at the first start" || return 1
    box_text | grep -q 'no program groups' || fail "the box says: $(box_text)" || return 1
}
# The zero-based place of the line matching a pattern among lines; none: nothing printed.
index_of() { grep -n -- "$1" | head -n 1 | cut -d: -f1 | awk '{ print $1 - 1 }'; }
# A click on button COLUMN of a bar with the default, vertical, title strip.
click_beside_strip() {
    local x y
    read -r x y < <(bar_point $(( STRIP + 38 * $1 + 19 )) 19)
    xdotool mousemove "$x" "$y" click 1
}

scenario_first_run_imports_the_start_menus() {
    local users status=0
    users=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | head -n 1)
    USER_MENU="$users/Microsoft/Windows/Start Menu/Programs"
    COMMON_MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
    # The prefix's own entries are put aside: the groups are the scenario's alone.
    mv "$USER_MENU" "$USER_MENU.saved" 2>/dev/null
    mv "$COMMON_MENU" "$COMMON_MENU.saved" 2>/dev/null
    # Seen before the clean-up ends the launcher, which the runner's own report comes after.
    first_run_body || { status=1; shot FAILED-first-run; launcher_report "    "; }
    stop_launcher >/dev/null 2>&1
    rm -rf "$USER_MENU" "$COMMON_MENU" "$WINEPREFIX/drive_c/app-alone"
    mv "$USER_MENU.saved" "$USER_MENU" 2>/dev/null
    mv "$COMMON_MENU.saved" "$COMMON_MENU" 2>/dev/null
    no_groups
    make_groups || { fail "qlgroup could not make the groups again"; status=1; }
    return $status
}
first_run_body() {
    local tools="$USER_MENU/QB Tools" common="$COMMON_MENU/QB Common" rec='C:\rec\recorder.exe'
    mkdir -p "$tools/Nested" "$common"
    echo report >"$WINEPREFIX/drive_c/rec/Report.qbdoc"
    wine reg add 'HKCR\.qbdoc' /ve /d QuillbarTestDocument /f >/dev/null 2>&1
    wine reg add 'HKCR\QuillbarTestDocument\shell\open\command' /ve /d "\"$rec\" \"%1\"" /f >/dev/null 2>&1
    local link file target args
    for link in "$tools/Recorder.lnk|$rec|firstrun" "$tools/Nested/Deeper.lnk|$rec|nested" \
        "$common/Common tool.lnk|$rec|common" "$common/Second tool.lnk|$rec|second" \
        "$tools/Report.lnk|C:\\rec\\Report.qbdoc|"; do
        IFS='|' read -r file target args <<<"$link"
        probe shortcut "$(c_path "$file")" "$target" 'C:\rec' $args | grep -q '^SHORTCUT.1' ||
            fail "the probe could not make $file" || return 1
    done
    printf '[InternetShortcut]\r\nURL=https://example.com/quillbar\r\n' >"$tools/Example site.url"
    # As Windows writes it: UTF-16 with its byte order mark.
    { printf '\xff\xfe'; printf '[LocalizedFileNames]\r\nCommon tool.lnk=Werkzeug für alle\r\n' | iconv -t UTF-16LE; } \
        >"$common/desktop.ini"

    no_groups
    start_asked || return 1
    shot first-run-question
    click_in "$(launcher_box | field 2)" 6 || fail "no Yes button" || return 1
    # The start goes on when the import has ended, after a box about entries left out.
    wait_for 60 'dialog_line | flags_of | grep -q iconic || { [ -n "$(launcher_box)" ] && ! box_text | grep -q "no program groups"; }' ||
        fail "the start did not go on after Yes" || return 1
    sleep 0.5
    [ -z "$(launcher_box)" ] || fail "after the import: $(box_text)" || return 1
    ! empty_bar || fail "the bar stays empty after the import" || return 1
    shot first-run-imported
    local list all=""
    list=$(tool_out list)
    grep -q $'\tQB Tools\t' <<<"$list" && grep -q $'\tQB Common\t' <<<"$list" ||
        fail "groups made: $(cut -f2 <<<"$list" | tr '\n' ',')" || return 1
    local name
    while IFS=$'\t' read -r _ name _; do all+=$(tool_out show "$name")$'\n'; done <<<"$list"
    grep -q 'Werkzeug für alle' <<<"$all" || fail "no item has the localised title" || return 1
    grep -q 'recorder.exe nested' <<<"$all" || fail "the nested folder's shortcut was not imported" || return 1
    grep -q 'https://example.com/quillbar' <<<"$all" || fail "the .url file was not imported" || return 1
    [ "$(ini_get AskImport)" = 0 ] || fail "the answer was not saved at once: AskImport=$(ini_get AskImport)" || return 1

    # The program and the document of the user's group, as the bar orders them.
    local group items
    group=$(cut -f2 <<<"$list" | index_of '^QB Tools$')
    items=$(tool_out show "QB Tools" | grep '^item: ' | cut -c7-)
    wine "$BUILD/post_command.exe" $(( $(rid IDM_GROUP_FIRST) + group )) >/dev/null 2>&1
    wait_for 5 '[ "$(bar_size | cut -dx -f1)" = "$(bar_width "$(wc -l <<<"$items")")" ]' ||
        fail "choosing QB Tools left the bar at $(bar_size)" || return 1
    click_beside_strip "$(index_of '^Recorder$' <<<"$items")"
    wait_for 10 'started_with firstrun' || fail "the program did not start: $(cat "$RECLOG_UNIX" 2>/dev/null)" || return 1
    logged '^cwd=C:\\rec$' || fail "not started in its folder: $(grep cwd "$RECLOG_UNIX")" || return 1
    sleep 0.5
    rm -f "$RECLOG_UNIX"
    click_beside_strip "$(index_of '^Report$' <<<"$items")"
    wait_for 10 'logged "Report.qbdoc"' || fail "the document did not open: $(cat "$RECLOG_UNIX" 2>/dev/null)" || return 1
    stop_launcher || fail "the launcher did not end" || return 1

    # No: the bar stays empty, the answer is kept, and the next start does not ask.
    no_groups
    rm -f "$INI"
    start_asked || return 1
    click_in "$(launcher_box | field 2)" 7 || fail "no No button" || return 1
    wait_for 20 'dialog_line | flags_of | grep -q iconic' || fail "the start did not go on after No" || return 1
    empty_bar || fail "the bar is $(bar_size) after No" || return 1
    [ -z "$(tool_out list)" ] || fail "No made groups: $(tool_out list)" || return 1
    stop_launcher || fail "the launcher did not end" || return 1
    [ "$(ini_get AskImport)" = 0 ] || fail "No was not remembered: AskImport=$(ini_get AskImport)" || return 1
    start_launcher || fail "the start after No did not show the bar and the dialog" || return 1
    sleep 1
    [ -z "$(launcher_box)" ] || fail "asked again after No: $(box_text)" || return 1
    # The System submenu's entry, later, with a shortcut that cannot be read: the groups
    # made are shown, and the entry left out is mentioned.
    head -c 300 /dev/urandom >"$tools/Broken.lnk"
    wine "$BUILD/post_command.exe" "$(rid IDM_IMPORTSTARTMENU)" >/dev/null 2>&1
    wait_for 60 '[ -n "$(launcher_box)" ]' || fail "the entry left out was not mentioned" || return 1
    shot first-run-entry-left-out
    box_text | grep -q 'not imported' || fail "the box says: $(box_text)" || return 1
    ! empty_bar || fail "the System submenu's import left the bar empty" || return 1
    xdotool key Return
    wait_for 5 '[ -z "$(launcher_box)" ]' || fail "the box stayed" || return 1
    stop_launcher

    # Without the tool beside the launcher.
    local alone="$WINEPREFIX/drive_c/app-alone"
    mkdir -p "$alone" && cp "$BUILD/qlbar.exe" "$alone/qlbar.exe"
    BUILD_EXE="$alone/qlbar.exe" start_launcher || fail "no launcher without the tool" || return 1
    wine "$BUILD/post_command.exe" "$(rid IDM_IMPORTSTARTMENU)" >/dev/null 2>&1
    wait_for 10 '[ -n "$(launcher_box)" ]' || fail "a missing tool was not reported" || return 1
    shot first-run-no-tool
    box_text | grep -qF 'could not be imported' && box_text | grep -qF 'C:\app-alone\qlgroup.exe: ' ||
        fail "the box says: $(box_text)" || return 1
    xdotool key Return
    wait_for 5 '[ -z "$(launcher_box)" ]' || fail "the box stayed" || return 1
}

# Several monitors: the primary 1024 x 768 at 0,0 and a second one of 800 x 600 to its
# right, from a nested Xephyr with Xinerama and Wine without its virtual desktop (Wine sees
# one monitor through Xvfb's own Xinerama, and only through its X11 path, not XRandR).
# The body runs in a prefix and on a display of its own; the run's are put back after.
XEPHYR_PID="" XEPHYR_HOST=""
start_xephyr() {  # Xephyr screen arguments...; shown on the run's display
    local numbers n
    numbers=$(mktemp)
    DISPLAY=$XEPHYR_HOST Xephyr -displayfd 3 -nolisten tcp -noreset "$@" 3>"$numbers" >/dev/null 2>&1 &
    XEPHYR_PID=$!
    wait_for 10 '[ -s "$numbers" ]' || { rm -f "$numbers"; return 1; }
    n=$(tr -dc 0-9 <"$numbers")
    rm -f "$numbers"
    export DISPLAY=":$n"
}
stop_xephyr() { [ -n "$XEPHYR_PID" ] && kill "$XEPHYR_PID" 2>/dev/null; wait "$XEPHYR_PID" 2>/dev/null; XEPHYR_PID=""; }
COVER_PID=""
cover_monitors() {  # holds plain windows under the pointer on every monitor
    wine "$BUILD/probe.exe" cover 600 >/dev/null 2>&1 &
    COVER_PID=$!
    sleep 2
}
uncover() { [ -n "$COVER_PID" ] && kill "$COVER_PID" 2>/dev/null; wait "$COVER_PID" 2>/dev/null; COVER_PID=""; }
with_two_monitors() {  # body
    local run_display=$DISPLAY run_prefix=$WINEPREFIX run_ini=$INI run_log=$RECLOG_UNIX status
    XEPHYR_HOST=$DISPLAY
    start_xephyr -screen 1024x768+0+0 -screen 800x600+1024+0 +xinerama || { DISPLAY=$run_display; fail "Xephyr did not start"; return 1; }
    WINEPREFIX=$(mktemp -d /tmp/qb-outside-monitors.XXXXXX)
    wineboot -i >/dev/null 2>&1
    install_wine_fonts
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w
    INI="$WINEPREFIX/drive_c/windows/qlbar.INI"
    RECLOG_UNIX="$WINEPREFIX/drive_c/rec/starts.log"
    mkdir -p "$WINEPREFIX/drive_c/rec"
    cp "$BUILD/recorder.exe" "$WINEPREFIX/drive_c/rec/recorder.exe"
    if make_groups; then "$1"; status=$?; else fail "qlgroup could not make the groups"; status=1; fi
    [ "$status" -ne 0 ] && shot "FAILED-two-monitors"
    stop_launcher >/dev/null 2>&1
    uncover
    wineserver -k >/dev/null 2>&1
    stop_xephyr
    rm -rf "$WINEPREFIX"
    DISPLAY=$run_display WINEPREFIX=$run_prefix INI=$run_ini RECLOG_UNIX=$run_log
    return "$status"
}
bar_visible() { bar_line | flags_of | grep -q visible; }
scenario_several_monitors() { with_two_monitors several_monitors_body; }
several_monitors_body() {
    local monitors l t r b w h i point
    monitors=$(probe monitors | cut -f2,3 | tr '\t\n' ' ')
    [ "$monitors" = "0,0,1024,768 primary 1024,0,1824,600 other " ] ||
        fail "Wine does not report the two monitors: $monitors" || return 1
    # PopUp; the bar hides until the pointer rests on the primary's edge.
    write_ini Popup=10101 'Window=300,200,400,300,-1,600' Title=10000 StopSaver=0 Group=0
    start_launcher || fail "the launcher did not show its windows" || return 1
    cover_monitors
    # Everywhere on the second monitor counted as an edge once: its far side, its bottom,
    # and the side it shares with the primary.
    for i in 1 2 3 4 5; do
        for point in "1823 300" "1400 599" "1024 100" "1500 300"; do
            xdotool mousemove $point
            sleep 0.5
            if bar_visible; then fail "the bar showed with the pointer at $point on the second monitor"; return 1; fi
        done
    done
    [ "$(probe cursor | cut -f2,3)" = "$(printf '1500\t300')" ] || fail "Wine did not follow the pointer: $(probe cursor)" || return 1
    # The primary's own left edge still shows it.
    xdotool mousemove 0 400
    wait_for 5 bar_visible || fail "the bar did not show on the primary's left edge" || return 1
    # A free position on the second monitor is kept while that monitor is there ...
    stop_launcher || fail "the launcher did not end when closed" || return 1
    uncover
    write_ini Popup=10100 'Window=1300,200,1400,300,-1,600' Title=10000 StopSaver=0 Group=0
    start_launcher || fail "the launcher did not show its windows" || return 1
    read -r l t r b w h < <(bar_line | rect_of | rect_words)
    [ "$l,$t" = "1300,200" ] || fail "the bar left its place on the second monitor: at $l,$t" || return 1
    shot two-monitors
    stop_launcher || fail "the launcher did not end when closed" || return 1
    # ... and is brought whole onto the primary when the display has one monitor only.
    wineserver -k >/dev/null 2>&1
    stop_xephyr
    start_xephyr -screen 1024x768 || fail "Xephyr did not start with one screen" || return 1
    [ "$(probe monitors | wc -l)" -eq 1 ] || fail "Wine reports $(probe monitors | wc -l) monitors on one screen" || return 1
    start_launcher || fail "the launcher did not show its windows on one monitor" || return 1
    read -r l t r b w h < <(bar_line | rect_of | rect_words)
    [ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1024 ] && [ "$b" -le 768 ] ||
        fail "the bar stayed off the screen at $l,$t,$r,$b" || return 1
    shot one-monitor-after-two
}

# ---------------------------------------------------------------------------------------
ALL=(dock drop_posted_is_lost drop_ole_drag_is_lost drop_xdnd_into_virtual_desktop_is_lost
    drop_xdnd_onto_own_window exit_saves_everything about_box
    names_in_any_language slow_program_does_not_freeze_the_bar shortcut_item_starts_its_target
    mixed_case_arguments import_start_menu settings_survive_an_unwritable_windows_directory
    planted_library_is_not_loaded several_monitors first_run_imports_the_start_menus)
[ $# -gt 0 ] && ALL=("$@")

passed=0 failed=0 skipped=0
for name in "${ALL[@]}"; do
    WHY=""
    rm -f "$INI" "$RECLOG_UNIX"
    xdotool mousemove 512 700
    t0=$(date +%s)
    "scenario_$name"
    status=$?
    # No scenario may leave an error box or a crashed process behind.
    if [ "$status" -eq 0 ] && error_windows | grep -q .; then
        status=1 WHY="error windows: $(error_windows | cut -f4,6 | tr '\t\n' ': ')"
    fi
    # Taken before the launcher is closed, printed after the verdict.
    : >"$DROPS/report"
    if [ "$status" -ne 0 ] && [ "$status" -ne 2 ]; then
        shot "FAILED-$name"
        launcher_report "    " >"$DROPS/report"
    fi
    stop_launcher >/dev/null 2>&1
    xdotool keyup shift ctrl alt 2>/dev/null
    took=$(( $(date +%s) - t0 ))
    case $status in
    0) echo "PASS $name (${took}s)"; passed=$(( passed + 1 )) ;;
    2) echo "SKIP $name: $WHY"; skipped=$(( skipped + 1 )) ;;
    *) echo "FAIL $name: $WHY (${took}s)"; cat "$DROPS/report"; failed=$(( failed + 1 )) ;;
    esac
done
retried=""
[ "$STARTS_RETRIED" -gt 0 ] && retried=" ($STARTS_RETRIED launcher starts needed a second try)"
echo "outside-in: $passed passed, $failed failed, $skipped skipped in $(( $(date +%s) - started ))s$retried; screenshots in $SHOTS"
[ "$failed" -eq 0 ]
