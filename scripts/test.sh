#!/usr/bin/env bash
# Builds everything and runs every test: host unit tests under ASan and UBSan, the
# group record decoder under libFuzzer for a minute (beside the Windows builds), the
# 32-bit release build (compile and link only: it cannot run here), the 64-bit tests
# under Wine in a fresh private prefix on a private Xvfb display, one ctest test per case
# (beside them the outside-in scenarios and the session-ending commands, each in a prefix
# and on a display of its own), the benchmarks, and the release zip. The summary line
# ends with the number of second tries the safety nets took (0 in a sound run).
set -u -o pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$QUILLBAR_ROOT"

results=()
failed=0
record() {  # name status
    results+=("$1: $2")
    [ "$2" = passed ] || failed=1
}

cleanup() { stop_wine_prefix; stop_xvfb; }
trap cleanup EXIT

ensure_packages || { echo "SUMMARY: FAILED (could not install packages)"; exit 1; }

# Every second try that a safety net takes (a Wine test program that did not start, a
# launcher start whose windows did not show) writes a line here; the summary counts them.
export QUILLBAR_RETRIES
QUILLBAR_RETRIES=$(mktemp)

if build_preset host; then
    log "host unit tests"
    if ctest --preset host; then record host passed; else record host failed; fi
else
    record "host build" failed
fi

# Every seed runs once, whole, under the per-input time-out: the largest (65,535 items)
# decodes in under a second here, so an input that takes five times that is a decoding
# cost out of proportion to the record and fails the run. The minute of fuzzing then
# mutates inputs of up to 4 KB, the size of the other seeds, so that it keeps its pace
# of hundreds of thousands of runs; the time-out holds there too.
# New inputs go to a scratch folder so that the checked-in corpus stays as it is; a
# crashing or hanging input is kept in build/fuzz/artifacts to be turned into a unit test.
run_fuzzer() {
    local scratch status timeout=${QUILLBAR_FUZZ_TIMEOUT:-5}
    scratch=$(mktemp -d /tmp/quillbar-fuzz.XXXXXX)
    mkdir -p build/fuzz/artifacts
    build/fuzz/group_record_fuzz -timeout="$timeout" -artifact_prefix=build/fuzz/artifacts/ \
        tests/fuzz/corpus/* >"$scratch.log" 2>&1 &&
        build/fuzz/group_record_fuzz -max_total_time=60 -max_len=4096 -timeout="$timeout" -print_final_stats=1 \
            -artifact_prefix=build/fuzz/artifacts/ "$scratch" tests/fuzz/corpus >>"$scratch.log" 2>&1
    status=$?
    grep -h 'stat::number_of_executed_units' "$scratch.log" >&2
    [ "$status" -eq 0 ] || tail -n 60 "$scratch.log" >&2
    rm -rf "$scratch" "$scratch.log"
    return "$status"
}

# The minute of fuzzing takes one core while the two Windows builds share the other.
fuzzing=""
if build_preset fuzz; then
    log "fuzzing the group record decoder for 60 s, beside the Windows builds"
    fuzz_status=$(mktemp)
    { run_fuzzer; echo $? >"$fuzz_status"; } &
    fuzzing=$!
else
    record "fuzz build" failed
fi

if build_preset win32; then record "win32 build" passed; else record "win32 build" failed; fi
win64_built=0
build_preset win64 && win64_built=1
if [ -n "$fuzzing" ]; then
    wait "$fuzzing"
    if [ "$(cat "$fuzz_status")" = 0 ]; then record fuzz passed; else record fuzz failed; fi
    rm -f "$fuzz_status"
fi

if [ "$win64_built" -eq 1 ]; then
    start_xvfb && start_wine_prefix build/win64/desktop_holder.exe
    shots="$QUILLBAR_ROOT/build/screenshots"
    rm -rf "$shots" && mkdir -p "$shots"
    export QUILLBAR_SCREENSHOTS="$shots"
    # Beside the ctest run, each in a prefix and on a display of its own: the real launcher
    # driven only from outside its process, then the session-ending commands, which end
    # every process of their session. Their reports follow the ctest run's.
    log "Windows tests under Wine, beside the outside-in scenarios and the session-ending commands"
    side=$(mktemp -d)
    (
        tests/outside/run_all.sh build/win64 >"$side/outside.log" 2>&1
        echo $? >"$side/outside.status"
        start_xvfb && tests/e2e/session_end.sh build/win64 >"$side/session.log" 2>&1
        echo $? >"$side/session.status"
        stop_xvfb
    ) &
    beside=$!
    if ctest --preset win64; then record "wine tests" passed; else record "wine tests" failed; fi
    for bmp in "$shots"/*.bmp; do
        [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    log "screenshots: $shots"
    wait "$beside"
    log "outside-in scenarios"
    cat "$side/outside.log" >&2
    if [ "$(cat "$side/outside.status" 2>/dev/null)" = 0 ]; then record "outside-in" passed; else record "outside-in" failed; fi
    log "session-ending commands in a prefix of their own"
    cat "$side/session.log" >&2
    if [ "$(cat "$side/session.status" 2>/dev/null)" = 0 ]; then record "session end" passed; else record "session end" failed; fi
    rm -rf "$side"
    # Figures to read, not a test: a slow run does not fail the build.
    log "benchmark: rebuild and repaint against the registry read"
    bench_out=$(mktemp)
    if wine build/win64/rebuild_bench.exe >"$bench_out" 2>&1; then
        cat "$bench_out" >&2
    else
        cat "$bench_out" >&2
        record benchmark failed
    fi
    rm -f "$bench_out"
    log "benchmarks against bare programs, quick, for two catalogues (about 6 minutes, in a prefix of their own)"
    if ! bench/run.sh build/win64 --quick >&2; then record "benchmarks" failed; fi
else
    record "win64 build" failed
fi

# The release zip of both builds; the script checks its listing.
log "release zip"
if scripts/package.sh >&2; then record package passed; else record package failed; fi

cleanup
trap - EXIT
results+=("retries: $(wc -l <"$QUILLBAR_RETRIES")")
rm -f "$QUILLBAR_RETRIES"
summary=$(IFS=';'; echo "${results[*]}")
if [ "$failed" -eq 0 ]; then
    echo "SUMMARY: ALL PASSED ($summary)"
else
    echo "SUMMARY: FAILED ($summary)"
fi
exit "$failed"
