#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest. Wine's background services
# outlive the program and inherit its output handles; writing through a file
# rather than ctest's pipe keeps ctest from waiting on them.
#
# RV_WINE_LC_ALL, when set, becomes LC_ALL of this one Wine process (Wine
# takes the system's ANSI code page from it).
#
# An interrupt or ctest's time-out (SIGTERM) ends the Wine program this
# script started, by its pid, before the script itself ends.
out="$(mktemp)"
child=""
finish() {
  if [ -n "$child" ] && kill -0 "$child" 2>/dev/null; then
    kill -TERM "$child" 2>/dev/null
    for _ in $(seq 1 20); do
      kill -0 "$child" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$child" 2>/dev/null
  fi
  cat "$out"
  rm -f "$out"
}
trap 'finish; exit 130' INT
trap 'finish; exit 143' TERM
if [ -n "${RV_WINE_LC_ALL:-}" ]; then
  LC_ALL="$RV_WINE_LC_ALL" wine "$@" </dev/null >"$out" 2>&1 &
else
  wine "$@" </dev/null >"$out" 2>&1 &
fi
child=$!
wait "$child"
status=$?
child=""
cat "$out"
rm -f "$out"
exit $status
