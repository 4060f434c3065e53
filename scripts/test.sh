#!/usr/bin/env bash
# Builds everything and runs every test: host unit tests under ASan and UBSan, the
# 32-bit build (compile and link only: it cannot run here), and the 64-bit tests under
# Wine in a fresh private prefix on a private Xvfb display.
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

if build_preset host; then
    log "host unit tests"
    if ctest --preset host; then record host passed; else record host failed; fi
else
    record "host build" failed
fi

if build_preset win32; then record "win32 build" passed; else record "win32 build" failed; fi

if build_preset win64; then
    start_xvfb && start_wine_prefix
    shots="$QUILLBAR_ROOT/build/screenshots"
    rm -rf "$shots" && mkdir -p "$shots"
    export QUILLBAR_SCREENSHOTS="$shots"
    log "Windows tests under Wine"
    if ctest --preset win64; then record "wine tests" passed; else record "wine tests" failed; fi
    for bmp in "$shots"/*.bmp; do
        [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    log "screenshots: $shots"
else
    record "win64 build" failed
fi

cleanup
trap - EXIT
summary=$(IFS=';'; echo "${results[*]}")
if [ "$failed" -eq 0 ]; then
    echo "SUMMARY: ALL PASSED ($summary)"
else
    echo "SUMMARY: FAILED ($summary)"
fi
exit "$failed"
