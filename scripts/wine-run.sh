#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest. Wine's background services
# outlive the program and inherit its output handles; writing through a file
# rather than ctest's pipe keeps ctest from waiting on them.
#
# RV_WINE_LC_ALL, when set, becomes LC_ALL of this one Wine process (Wine
# takes the system's ANSI code page from it).
#
# The program gets RV_WINE_TIMEOUT seconds (280, under ctest's 300), then it is
# ended; an interrupt or a SIGTERM to this script ends it as well. Either way
# its output so far is shown. A status other than 0 is printed after the
# output; the script ends with the program's status.
out="$(mktemp)"
limit="${RV_WINE_TIMEOUT:-280}"
child=""

show_output() {
  cat "$out"
  rm -f "$out"
}

# timeout(1) passes the signal on to Wine and follows with SIGKILL if Wine
# does not end within seconds.
end_program() {
  if [ -n "$child" ] && kill -0 "$child" 2>/dev/null; then
    kill -TERM "$child" 2>/dev/null
    wait "$child" 2>/dev/null
  fi
  show_output
}
trap 'end_program; exit 130' INT
trap 'end_program; exit 143' TERM

locale=()
if [ -n "${RV_WINE_LC_ALL:-}" ]; then
  locale=(env "LC_ALL=$RV_WINE_LC_ALL")
fi
"${locale[@]}" timeout --kill-after=5 "$limit" wine "$@" </dev/null >"$out" 2>&1 &
child=$!
wait "$child"
status=$?
child=""
show_output
if [ "$status" -eq 124 ]; then
  echo "[wine-run] ended after ${limit} s: $*"
elif [ "$status" -ne 0 ]; then
  # A program whose cases all passed can still fail on its way out (a crash
  # in a library's exit code, a status set at exit): ctest only counts it
  # failed, so the status is named here.
  echo "[wine-run] $(basename "$1") ended with status $status"
fi
exit $status
