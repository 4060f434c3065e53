#!/bin/bash
# Processor time of the idle launcher in each popup mode (Fixed, PopUp, GroupUp) beside a
# program that only runs a 100 ms timer, and beside the bare two-window program (the
# launcher's two windows, the popup shown with the same timer, and nothing else): what the
# platform costs for keeping such windows, apart from any work of the launcher's. The
# five run at the same time, so a busy spell of the machine falls on all of them; each
# span is measured from the Linux process's own threads (nanoseconds from schedstat:
# Wine's GetProcessTimes counts too coarsely). The wineserver's share, common to all
# five, is not counted. Prints the median over the rounds for each program and its ratio
# to the timer program; exits 1 only when a program cannot be measured. Needs DISPLAY and
# WINEPREFIX set up; takes about rounds x span.
# Usage: bench/idle_cpu.sh <build dir> [seconds per round] [rounds]
set -u
build=$1
span=${2:-60}
rounds=${3:-10}
ini="$WINEPREFIX/drive_c/windows/qlbar.INI"

# Processor nanoseconds of all threads of a Linux process.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }

pids=()
names=(timer two-window Fixed PopUp GroupUp)
start_program() {  # exe [popup code]
    [ $# -gt 1 ] && printf '[Quillbar]\r\nPopup=%s\r\n' "$2" >"$ini"
    wine "$1" >/dev/null 2>&1 &
    pids+=($!)
    # The launcher reads its settings at start; the next one may change them after this.
    sleep 3
}
stop_all() {
    local pid
    for pid in "${pids[@]}" ${foreground:-}; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}" ${foreground:-}; do wait "$pid" 2>/dev/null; done
    rm -f "$ini"
}

start_program "$build/idle_timer.exe"
start_program "$build/bare_two_windows.exe"
start_program "$build/qlbar.exe" 10100
start_program "$build/qlbar.exe" 10101
start_program "$build/qlbar.exe" 10102
# The pointer rests away from the bar, and another program is in the foreground: the
# launcher's usual idle state. (The last program started would otherwise be the active
# one, and an active program is sent more than a background one.)
xdotool mousemove 512 300 2>/dev/null
wine notepad >/dev/null 2>&1 &
foreground=$!
sleep 3
for i in 0 1 2 3 4; do
    if ! grep -q "qlbar.exe\|idle_timer.exe\|bare_two_windows.exe" "/proc/${pids[$i]}/cmdline" 2>/dev/null; then
        echo "cannot find the process of the ${names[$i]} program" >&2
        stop_all
        exit 1
    fi
done

declare -A samples
for round in $(seq "$rounds"); do
    before=()
    for i in 0 1 2 3 4; do before[$i]=$(cpu_ns "${pids[$i]}"); done
    sleep "$span"
    for i in 0 1 2 3 4; do
        samples[$i]+="$(( ($(cpu_ns "${pids[$i]}") - before[i]) / 1000000 )) "
    done
done
stop_all

median() { tr ' ' '\n' | grep . | sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
bare=$(echo "${samples[0]}" | median)
echo "idle processor time per ${span} s (median of ${rounds} spans, all five running at once):"
echo "  bare 100 ms timer ${bare} ms"
two=$(echo "${samples[1]}" | median)
echo "  bare two-window program ${two} ms: $(ratio "$two" "$bare") x (the same windows and timer, no work)"
keys=("IDLE_TWO_WINDOWS_RATIO=$(ratio "$two" "$bare")")
for i in 2 3 4; do
    m=$(echo "${samples[$i]}" | median)
    echo "  launcher ${names[$i]} ${m} ms: $(ratio "$m" "$bare") x (target <= 1.2 x)"
    keys+=("IDLE_${names[$i]^^}_RATIO=$(ratio "$m" "$bare")")
done
printf '%s\n' "${keys[@]}"
