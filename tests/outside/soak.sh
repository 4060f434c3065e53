#!/usr/bin/env bash
# Soak: the real qlbar.exe under Wine for a long run of random user input (clicks on
# buttons, pointer moves across the bar, the strip and the screen edges, keys, the group
# menu by the right button and by Alt, group switches, Set Up dialog edits with OK or
# CANCEL, reloads, the hot-key chord), with the recorder as the only program it starts.
# Every minute it samples, from outside the process, the launcher's GDI and USER object
# counts, its handle count and its working set, checks that it is alive and that no error
# box or crash dialog is up, and at the end prints the table and a verdict.
# Usage: soak.sh BUILD_DIR [SECONDS]   (default 600)
#   SOAK_SEED=N  repeat a run's choices;  SOAK_DISPLAY=:N  use (or start) this display
#   SOAK_TRACE=1  print each action and where the bar was before it
#
# Verdict. A warm-up round first runs every kind of action twice (fonts, icons, menus,
# the dialog's controls and the reload's tables are made the first time they are used,
# and Wine maps pages on first touch); the sample after it is the baseline, and the run
# is flat when the last sample is within these tolerances of it: GDI objects +-8 and
# USER objects +-3 (a title popup or a menu may be up at the moment of sampling: its
# window, its child and the few objects drawing them), handles +-10 (a start under way
# holds the new process's handles), working set within 15 % or 4 MB of the baseline,
# whichever is larger (the allocator's and Wine's caches settle in steps). A leak of one
# object or handle per action would still show: the run makes hundreds of actions.
# The launcher waits for no program it starts, so nothing of a start stays with it: its
# handles are judged as they are (the column that takes off a per-start share says 0). Before each
# sample the pointer rests away from the bar and open menus are closed, so what is
# counted is the idle launcher.
set -u -o pipefail
BUILD=$(cd "${1:?usage: soak.sh BUILD_DIR [SECONDS]}" && pwd)
DURATION=${2:-600}
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

outside_display "${SOAK_DISPLAY:-}" || { echo "soak: no display"; exit 1; }
trap outside_finish EXIT

SEED=${SOAK_SEED:-$(( $(date +%s) % 32768 ))}
RANDOM=$SEED
outside_prefix
make_groups || { echo "soak: qlgroup could not make the groups"; exit 1; }
read -r _ S_W S_H CAPTION < <(probe metrics)
STRIP=$(( CAPTION + 1 ))
SHOTS=${OUTSIDE_SHOTS:-$OUTSIDE_ROOT/build/screenshots/soak}
mkdir -p "$SHOTS"

# Fixed, free, away from where the restored Set Up dialog appears; StopSaver on, so a
# title popup goes once the pointer has left the bar.
write_ini Popup=10100 'Window=60,60,160,160,-1,600' Title=10000 ButtonTitle=403 StopSaver=1 Max=99 Group=0
start_launcher || { echo "soak: the launcher did not start"; exit 1; }
WPID=$(bar_line | field 3)

BAR_L=0 BAR_T=0 BAR_W=0 BAR_H=0 BUTTONS=0
refresh_bar() {
    local l t r b w h
    read -r l t r b w h < <(bar_line | rect_of | rect_words)
    [ -n "${w:-}" ] || return 1
    BAR_L=$l BAR_T=$t BAR_W=$w BAR_H=$h BUTTONS=$(( (w - 2) / (BTN_W + 6) ))
}
# The button size the dialog last confirmed; its edits change it.
BTN_W=32 BTN_H=32
refresh_bar
pick() { echo $(( RANDOM % $1 )); }
strip_point() { echo $(( BAR_L + 1 + 5 + $(pick 20) )) $(( BAR_T + 1 + $(pick $(( STRIP - 2 ))) + 1 )); }
button_point() {
    echo $(( BAR_L + 1 + (BTN_W + 6) * $1 + 3 + 2 + $(pick $(( BTN_W > 4 ? BTN_W - 4 : 1 ))) )) \
        $(( BAR_T + 1 + STRIP + 3 + 2 + $(pick $(( BTN_H > 4 ? BTN_H - 4 : 1 ))) ))
}
activate() {
    local x y
    read -r x y < <(strip_point)
    xdotool mousemove "$x" "$y" click 1
    sleep 0.6  # a later press on the strip is no double click
}
close_menus() {
    local tries
    for tries in 1 2 3; do
        [ -z "$(menu_lines)" ] && return 0
        xdotool key Escape
        sleep 0.2
    done
}
# Message boxes the soak may meet (a refused Set Up value) are answered.
answer_boxes() {
    launcher_windows | awk -F'\t' '$5 == "#32770" && $8 ~ /visible/ && $8 !~ /disabled/ && $6 != "Quillbar"' | grep -q . &&
        xdotool key Return
}

actions=0 menus=0 switches=0 edits=0 reloads=0 clicks=0
act() {  # [kind]
    local x y n kind=${1:-$(pick 12)}
    # The bar may have been moved (its strip drags it): aim at where it is now.
    refresh_bar
    [ -n "${SOAK_TRACE:-}" ] && echo "    action $actions: kind $kind, bar at $BAR_L,$BAR_T ${BAR_W}x$BAR_H"
    case $kind in
    0 | 1)  # a click on a button: the recorder starts
        [ "$BUTTONS" -gt 0 ] || return 0
        read -r x y < <(button_point "$(pick "$BUTTONS")")
        xdotool mousemove "$x" "$y" click 1
        clicks=$(( clicks + 1 )) ;;
    2)  # the pointer wanders over the bar (title popups), the strip and the screen
        for n in 1 2 3 4; do
            case $(pick 3) in
            0) read -r x y < <(button_point "$(pick $(( BUTTONS > 0 ? BUTTONS : 1 )))") ;;
            1) read -r x y < <(strip_point) ;;
            2) x=$(pick "$S_W") y=$(pick "$S_H") ;;
            esac
            xdotool mousemove "$x" "$y"
            sleep 0.15
        done ;;
    3)  # keys on the active bar: pointer moves, Return clicks, Escape gives it up
        activate
        for n in 1 2 3; do
            xdotool key "$(echo Home End Left Right Up Down Return Escape | tr ' ' '\n' | sed -n "$(( $(pick 8) + 1 ))p")"
            sleep 0.15
        done ;;
    4)  # the group menu by the right button, a group chosen by its number or none
        read -r x y < <(button_point 0)
        xdotool mousemove "$x" "$y" click 3
        sleep 0.4
        if [ "$(pick 3)" -eq 0 ]; then xdotool key Escape; else xdotool key $(( $(pick 3) + 1 )); fi
        menus=$(( menus + 1 ))
        sleep 0.3
        refresh_bar ;;
    5)  # the menu by Alt
        activate
        xdotool key alt
        sleep 0.4
        xdotool key $(( $(pick 3) + 1 ))
        menus=$(( menus + 1 ))
        sleep 0.3
        refresh_bar ;;
    6 | 7)  # Page Up and Page Down
        activate
        for n in $(seq $(( $(pick 3) + 1 ))); do
            xdotool key "$([ "$(pick 2)" -eq 0 ] && echo Prior || echo Next)"
            sleep 0.2
        done
        switches=$(( switches + 1 ))
        refresh_bar ;;
    8)  # Set Up: restore, type values, OK or CANCEL
        restore_dialog_soak || return 0
        local field
        field=$(echo "$(rid IDC_HEIGHT) $(rid IDC_WIDTH) $(rid IDC_MAX)" | tr ' ' '\n' | sed -n "$(( $(pick 3) + 1 ))p")
        click_child_soak "$field" && xdotool type "$(( 20 + $(pick 30) ))"
        sleep 0.2
        if [ "$(pick 2)" -eq 0 ]; then click_child_soak 1; else click_child_soak "$(rid IDC_SETUP_CANCEL)"; fi
        sleep 0.5
        answer_boxes
        dialog_line | flags_of | grep -q iconic || click_child_soak "$(rid IDC_SETUP_CANCEL)"
        # The fields now hold what the bar is drawn with.
        BTN_H=$(probe children "$DIALOG_HWND" | awk -F'\t' -v id="$(rid IDC_HEIGHT)" '$3 == id { print $5 }')
        BTN_W=$(probe children "$DIALOG_HWND" | awk -F'\t' -v id="$(rid IDC_WIDTH)" '$3 == id { print $5 }')
        [[ "$BTN_H" =~ ^[0-9]+$ ]] || BTN_H=32
        [[ "$BTN_W" =~ ^[0-9]+$ ]] || BTN_W=32
        edits=$(( edits + 1 ))
        sleep 0.3
        refresh_bar ;;
    9)  # Restart Quillbar from the System submenu
        read -r x y < <(button_point 0)
        xdotool mousemove "$x" "$y" click 3
        sleep 0.4
        xdotool key s
        sleep 0.3
        xdotool key q
        reloads=$(( reloads + 1 ))
        sleep 0.5
        refresh_bar ;;
    10)  # the hot-key chord activates the fixed bar
        xdotool keydown shift keydown ctrl keydown alt
        sleep 0.3
        xdotool keyup alt keyup ctrl keyup shift ;;
    11)  # a press that slides off its button starts nothing
        [ "$BUTTONS" -gt 0 ] || return 0
        read -r x y < <(button_point "$(pick "$BUTTONS")")
        xdotool mousemove "$x" "$y" mousedown 1 mousemove $(( x + 60 )) $(( y + 70 )) mouseup 1 ;;
    esac
    actions=$(( actions + 1 ))
}

DIALOG_HWND=$(dialog_line | field 2)
restore_dialog_soak() {
    local dl dt
    read -r dl dt _ < <(dialog_line | rect_of | rect_words)
    xdotool mousemove $(( dl + 40 )) $(( dt + 10 )) click --repeat 2 --delay 80 1
    wait_for 3 '! dialog_line | flags_of | grep -q iconic'
}
click_child_soak() {
    local l t r b w h
    # A child's line holds its rectangle in field 6.
    read -r l t r b w h < <(probe children "$DIALOG_HWND" | awk -F'\t' -v id="$1" '$3 == id' | field 6 | rect_words)
    [ -n "${w:-}" ] || return 1
    xdotool mousemove $(( l + w / 2 )) $(( t + h / 2 )) click 1
}

crashed=""
check_health() {
    if ! launcher_alive; then
        crashed="the launcher ended"
    elif error_windows | grep -q .; then
        crashed="error window: $(error_windows | cut -f4,6 | tr '\t\n' ': ')"
    fi
    [ -z "$crashed" ]
}

rows=()
sample() {  # label
    close_menus
    xdotool mousemove $(( S_W - 200 )) $(( S_H - 150 ))
    sleep 1.5  # the title popup goes at the next hold-off check
    local res
    res=$(probe resources "$WPID")
    local _tag gdi user handles ws peak
    IFS=$'\t' read -r _tag gdi user handles ws peak <<<"$res"
    local starts
    starts=$(starts_count)
    rows+=("$1 $gdi $user $handles $ws $starts $actions")
    printf '%-7s %5s %5s %8s %10s %7s %8s\n' "$1" "$gdi" "$user" "$handles" "$ws" "$starts" "$actions"
}

echo "soak: ${DURATION}s, seed $SEED, launcher pid $WPID (Windows)"
printf '%-7s %5s %5s %8s %10s %7s %8s\n' minute gdi user handles ws_kb starts actions
sample start
for kind in 0 1 2 3 4 5 6 7 8 9 10 11 0 1 2 3 4 5 6 7 8 9 10 11; do
    act "$kind"
    check_health || break
done
sample warm
begin=$(date +%s)
next_sample=$(( begin + 60 ))
minute=0
while :; do
    now=$(date +%s)
    [ $(( now - begin )) -ge "$DURATION" ] && break
    act
    check_health || break
    if [ "$(date +%s)" -ge "$next_sample" ]; then
        minute=$(( minute + 1 ))
        sample "$minute"
        check_health || break
        shot "soak-minute-$minute"
        next_sample=$(( next_sample + 60 ))
    fi
done
if [ -z "$crashed" ] && [ "$(( $(date +%s) - begin ))" -ge "$DURATION" ] && [ "$minute" -lt $(( DURATION / 60 )) ]; then
    minute=$(( minute + 1 ))
    sample "$minute"
fi
echo "actions: $actions (clicks $clicks, menus $menus, group switches $switches, dialog edits $edits, reloads $reloads); programs started: $(starts_count)"

if [ -n "$crashed" ]; then
    shot soak-crashed
    echo "VERDICT: FAILED ($crashed after $actions actions)"
    exit 1
fi
stop_launcher || { echo "VERDICT: FAILED (the launcher did not end when closed)"; exit 1; }
[ "${#rows[@]}" -ge 3 ] || { echo "VERDICT: TOO SHORT (need a sample after the warm-up and one more)"; exit 1; }
read -r _ g0 u0 h0 w0 s0 _ <<<"${rows[1]}"
read -r _ g1 u1 h1 w1 s1 _ <<<"${rows[${#rows[@]} - 1]}"
ws_tolerance=$(( w0 * 15 / 100 > 4096 ? w0 * 15 / 100 : 4096 ))
problems=()
within() {  # name first last tolerance
    local d=$(( $3 - $2 ))
    [ "${d#-}" -le "$4" ] || problems+=("$1 $2 -> $3 (tolerance $4)")
}
within GDI "$g0" "$g1" 8
within USER "$u0" "$u1" 3
within handles "$h0" "$h1" 10
within "working set KB" "$w0" "$w1" "$ws_tolerance"
if [ "${#problems[@]}" -eq 0 ]; then
    echo "VERDICT: FLAT (after warm-up -> last: GDI $g0 -> $g1, USER $u0 -> $u1, handles $h0 -> $h1 over $(( s1 - s0 )) starts, working set $w0 -> $w1 KB)"
    echo "settings saved on exit: $(tr -d '\r' <"$INI" | tr '\n' ' ')"
else
    echo "VERDICT: GROWING (${problems[*]})"
    exit 1
fi
