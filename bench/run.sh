#!/usr/bin/env bash
# The benchmark command: every figure of the launcher beside the bare program it is
# measured against, and beside its target, for two catalogues: 30 groups of 40 items, and
# ten times as many groups (300 of 40 items); 2,000 registered extensions with both. Runs
# in a Wine prefix of its own on a private Xvfb display. Figures to read: a missed target
# does not fail the command, a program that cannot be measured does.
# Usage: bench/run.sh [build dir (default build/win64)] [--quick]
#   --quick: 10 start-ups of each program, 3 idle spans of 20 s per catalogue (about 6
#   minutes); otherwise 15 start-ups of each and 10 idle spans of 60 s (about 25 minutes).
set -u -o pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
cd "$QUILLBAR_ROOT"

build=build/win64
quick=0
for arg in "$@"; do
    case $arg in
    --quick) quick=1 ;;
    *) build=${arg%/} ;;
    esac
done
if [ "$quick" -eq 1 ]; then starts=10 span=20 rounds=3; else starts=15 span=60 rounds=10; fi

for exe in qlbar qlbar_steps bare_two_windows bare_steps startup_driver rebuild_bench idle_timer; do
    [ -f "$build/$exe.exe" ] || { echo "bench: $build/$exe.exe is missing; build the win64 preset" >&2; exit 1; }
done
# What ships is the 32-bit Release build.
if [ ! -f build/win32/qlbar.exe ]; then
    log "building the 32-bit qlbar.exe"
    { cmake --preset win32 && cmake --build --preset win32 --target qlbar; } >/dev/null || exit 1
fi

cleanup() { stop_wine_prefix; stop_xvfb; }
trap cleanup EXIT
# A display of the caller's that answers is used as it is; otherwise a private one.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then start_xvfb || exit 1; fi
start_wine_prefix || exit 1

failed=0
out=$(mktemp)
# Windows programs run with their output to a file: Wine's helper processes would hold a pipe open.
run_windows() { wine "$@" </dev/null >"$out" 2>&1; local status=$?; tr -d '\r' <"$out"; return "$status"; }

echo "BENCHMARKS ($(date -u +%Y-%m-%d); $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(wine --version); load $(cut -d' ' -f1-3 /proc/loadavg))"
dir=$(winepath -w "$build")
extensions=2000
for groups in 30 300; do
    # The larger catalogue's NAME=value lines end in _X10.
    if [ "$groups" -eq 30 ]; then suffix=; else suffix=_X10; fi
    echo
    echo "== $groups groups of 40 items, 2,000 extensions"
    # The larger catalogue keeps the smaller one's groups and extensions and adds to them.
    run_windows "$build/startup_driver.exe" setup "$groups" 40 "$extensions" || failed=1
    extensions=0
    {
        run_windows "$build/startup_driver.exe" run "$starts" "$dir\\qlbar.exe" "$dir\\bare_two_windows.exe" || failed=1
        run_windows "$build/startup_driver.exe" steps "$starts" "$dir\\qlbar_steps.exe" "$dir\\bare_steps.exe" ||
            failed=1
        run_windows "$build/rebuild_bench.exe" 15 --switch-only || failed=1
        bench/idle_cpu.sh "$build" "$span" "$rounds" || failed=1
    } > >(sed -E "s/^([A-Z_]+)=/\1$suffix=/")
    wait $! 2>/dev/null
done
echo
size=$(stat -c %s build/win32/qlbar.exe)
echo "size of the 32-bit qlbar.exe: $((size / 1024)) KB ($size bytes; target <= 200 KB)"
echo "SIZE_KB=$((size / 1024))"
rm -f "$out"
exit "$failed"
