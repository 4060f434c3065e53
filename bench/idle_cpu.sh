#!/bin/bash
# Processor time of the idle launcher (Fixed and PopUp) beside a program that only runs a
# 100 ms timer, each measured over the same span from the Linux process's own times
# (Wine's GetProcessTimes counts too coarsely). Figures to read; exits 1 only when a
# program cannot be measured. Needs DISPLAY and WINEPREFIX set up; takes 3 x the span.
# Usage: bench/idle_cpu.sh <build dir> [seconds]
set -u
build=$1
span=${2:-60}
ini="$WINEPREFIX/drive_c/windows/qlbar.INI"
ticks=$(getconf CLK_TCK)

# utime + stime of a Linux process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Starts a Windows program, lets it settle, and prints its processor milliseconds over the span.
measure() {
    local exe=$1 pid start end
    wine "$exe" >/dev/null 2>&1 &
    pid=$!
    sleep 5
    if ! grep -q "$(basename "$exe")" "/proc/$pid/cmdline" 2>/dev/null; then
        echo "cannot find the process of $exe" >&2
        kill "$pid" 2>/dev/null
        return 1
    fi
    start=$(cpu_ticks "$pid")
    sleep "$span"
    end=$(cpu_ticks "$pid")
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo $(( (end - start) * 1000 / ticks ))
}

fail=0
bare=$(measure "$build/idle_timer.exe") || fail=1
printf '[Quillbar]\r\nPopup=10100\r\n' >"$ini"
fixed=$(measure "$build/qlbar.exe") || fail=1
printf '[Quillbar]\r\nPopup=10101\r\n' >"$ini"
popup=$(measure "$build/qlbar.exe") || fail=1
rm -f "$ini"
[ "$fail" -eq 0 ] || exit 1

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
echo "idle processor time over ${span} s: bare 100 ms timer ${bare} ms;" \
     "launcher Fixed ${fixed} ms ($(ratio "$fixed" "$bare") x); PopUp ${popup} ms ($(ratio "$popup" "$bare") x); target <= 1.2 x"
