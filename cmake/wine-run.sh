#!/usr/bin/env bash
# Runs a Windows test executable under Wine for ctest: wine-run.sh [NAME=value...] EXE ARGS.
# The leading NAME=value words go into the program's environment (the programs a test
# case starts, for example). Output goes through a file: Wine's helper processes (the
# virtual desktop, services) inherit the output handles and would hold ctest's pipe open
# long after the test has ended.
while [ $# -gt 0 ] && [[ $1 =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do
    export "$1"
    shift
done
out=$(mktemp)
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
