#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest. Wine's background services
# outlive the program and inherit its output handles; writing through a file
# rather than ctest's pipe keeps ctest from waiting on them.
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
wine "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
exit $status
