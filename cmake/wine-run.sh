#!/usr/bin/env bash
# Runs a Windows test executable under Wine for ctest. Output goes through a file:
# Wine's helper processes (the virtual desktop, services) inherit the output handles
# and would hold ctest's pipe open long after the test has ended.
out=$(mktemp)
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
