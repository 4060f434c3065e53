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
for try in 1 2; do
    wine "$@" >"$out" 2>&1
    rc=$?
    # Once in a CI run, a case ended in 0.01 s with a failure and not one line of output:
    # Wine had not started the program at all, as when it joins a desktop that Wine is
    # closing because the case before it was its last program (the test command now holds
    # the desktop open). A program that ran prints the test framework's banner; without it
    # the result is no verdict on the case, and it is run once more, saying so and counted.
    if [ "$rc" -eq 0 ] || [ "$try" -eq 2 ] || grep -q '^\[==========\]' "$out"; then
        break
    fi
    echo "wine-run: the program did not start (exit code $rc, output: $(head -c 300 "$out" | tr '\n' ' ')); starting it once more"
    [ -n "${QUILLBAR_RETRIES:-}" ] && echo "wine-run $*" >>"$QUILLBAR_RETRIES"
done
cat "$out"
rm -f "$out"
exit $rc
