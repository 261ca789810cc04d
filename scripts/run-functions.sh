# Shared by run.sh and its tests: locks between runs, the program's window,
# and what the program says it did. Source it.

# try_lock DIR: takes DIR as this script's lock (it holds the script's pid);
# false while a live process holds it. A lock whose holder has ended is taken
# over. A folder, not a file lock: Wine's server would inherit an open lock
# file and hold it past the run.
try_lock() {
  local dir="$1" mine="$1.$$" holder
  mkdir -p "$mine"
  echo $$ >"$mine/pid"
  if mv -T "$mine" "$dir" 2>/dev/null; then
    return 0
  fi
  holder="$(cat "$dir/pid" 2>/dev/null || true)"
  if [ -z "$holder" ] || ! kill -0 "$holder" 2>/dev/null; then
    rm -rf "$dir"
    mv -T "$mine" "$dir" 2>/dev/null && return 0
  fi
  rm -rf "$mine"
  return 1
}

release_lock() {
  local dir="$1"
  [ "$(cat "$dir/pid" 2>/dev/null || true)" = "$$" ] && rm -rf "$dir"
  return 0
}

# installed_location OUTPUT: the folder the program's output (a file) names
# as the one the game went into, the last one named; nothing when it names none.
installed_location() {
  tr -d '\r' <"$1" | sed -n 's/.*The game is installed in //p' | tail -n 1
}

# failed_location OUTPUT: the folder the program's output (a file) names as
# the one an install that did not finish was writing into, the last one
# named; nothing when it names none. The files written before the one that
# failed stay there.
failed_location() {
  tr -d '\r' <"$1" | sed -n -e 's/.*Install failed: the game files are not all in //p' \
    -e 's/.*Install stopped: cannot work in \(.*\) (system error [0-9]*)$/\1/p' \
    -e 's/.*Install stopped: \(default \)\{0,1\}install folder \(.*\) cannot be made\( either\)\{0,1\} (system error [0-9]*)$/\2/p' |
    sed '/^ *$/d' | tail -n 1
}

# silent_start PROGRAM ARGUMENT...: whether the program, started by that path
# with those arguments, installs at once without its window. Its own rule:
# the first SILENT= is TRUE or the first Silent= is true (names and values as
# written), or the first PartnerID=, or the program's path, holds "silent" in
# any letter case.
silent_start() {
  local program="$1" argument seen=" " name value
  shift
  case "${program,,}" in *silent*) return 0 ;; esac
  for argument in "$@"; do
    name="${argument%%=*}"
    value=""
    [ "$name" = "$argument" ] || value="${argument#*=}"
    # The program reads the first value given for a name (a bare name has an
    # empty one).
    case "$seen" in *" $name "*) continue ;; esac
    seen="$seen$name "
    case "$name" in
      SILENT) [ "$value" = TRUE ] && return 0 ;;
      Silent) [ "$value" = true ] && return 0 ;;
      PartnerID) case "${value,,}" in *silent*) return 0 ;; esac ;;
    esac
  done
  return 1
}

# program_windows PID: "<X id> <area>" for each viewable window of the
# program, one a line (Wine names the program's pid on its X windows).
program_windows() {
  local id size
  for id in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
    xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -qx "_NET_WM_PID(CARDINAL) = $1" || continue
    size="$(xwininfo -id "$id" 2>/dev/null | awk '/Map State:/ { viewable = ($3 == "IsViewable") }
      /Width:/ { w = $2 } /Height:/ { h = $2 } END { print (viewable ? w * h : 0) }')"
    [ "${size:-0}" -gt 0 ] && echo "$id $size"
  done
  return 0
}

# scene_window PID: the X id of the program's largest viewable window, or nothing yet.
scene_window() {
  program_windows "$1" | awk '$2 > area { area = $2; best = $1 } END { print best }'
}

# new_window PID KNOWN: the X id of a viewable window of the program that is
# not among KNOWN (X ids, apart by blanks or lines), or nothing.
new_window() {
  program_windows "$1" | awk -v known="$(printf '%s' "$2" | tr '\n' ' ')" '
    BEGIN { n = split(known, ids); for (i = 1; i <= n; i++) seen[ids[i]] = 1 }
    !($1 in seen) && found == "" { found = $1 } END { print found }'
}

# crash_dump SINCE FOLDER...: a crash dump written after the file SINCE, or
# nothing. The program writes it as Dump\<module>_<date>_<time>[_n].dmp in
# its current folder: the one it was started in, or its install folder
# (under Program Files) while it installs; three levels down covers both.
crash_dump() {
  local since="$1"
  shift
  find "$@" -maxdepth 3 -path '*/Dump/*.dmp' -newer "$since" -print -quit 2>/dev/null || true
}

# check_program PID DEADLINE SINCE FOLDER...: one look at a program started
# in the background by this shell. Answers 0 while it runs, 1 once a crash
# dump is there (named in crashed_dump; a crash ends the watch even when the
# program has ended meanwhile), 2 once the second DEADLINE (of $SECONDS; empty
# for none) is reached, 3 once it has ended.
check_program() {
  local pid="$1" deadline="$2"
  shift 2
  crashed_dump="$(crash_dump "$@")"
  [ -z "$crashed_dump" ] || return 1
  kill -0 "$pid" 2>/dev/null || return 3
  [ -z "$deadline" ] || [ "$SECONDS" -lt "$deadline" ] || return 2
  return 0
}

# watch_program PID DEADLINE SINCE FOLDER...: waits until check_program
# answers other than 0 and returns that answer; for a program that ended, its
# status is in program_status. A signal ends the wait at once: it never waits
# on the program itself.
watch_program() {
  local answer
  while :; do
    answer=0
    check_program "$@" || answer=$?
    [ "$answer" = 0 ] || break
    sleep 0.5
  done
  program_status=0
  if [ "$answer" = 3 ]; then
    wait "$1" || program_status=$?
  fi
  return "$answer"
}
