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

# program_windows PID [tree]: "<X id> <area>" for each viewable window of
# the program, one a line (Wine names the program's pid on its X windows).
# The run's own display has no window manager, so the program's windows are
# the root's children; on the user's display a window manager puts each in a
# frame of its own, and "tree" looks at every window that has a title (as
# each of the program's has), not only the root's children.
program_windows() {
  local id size depth=-children
  [ "${2:-}" != tree ] || depth=-tree
  for id in $(xwininfo -root "$depth" 2>/dev/null | awk '$1 ~ /^0x/ && $2 != "(has" { print $1 }'); do
    xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -qx "_NET_WM_PID(CARDINAL) = $1" || continue
    size="$(xwininfo -id "$id" 2>/dev/null | awk '/Map State:/ { viewable = ($3 == "IsViewable") }
      /Width:/ { w = $2 } /Height:/ { h = $2 } END { print (viewable ? w * h : 0) }')"
    [ "${size:-0}" -gt 0 ] && echo "$id $size"
  done
  return 0
}

# scene_window PID [tree]: the X id of the program's largest viewable window, or nothing yet.
scene_window() {
  program_windows "$1" "${2:-}" | awk '$2 > area { area = $2; best = $1 } END { print best }'
}

# new_window PID KNOWN [tree]: the X id of a viewable window of the program
# that is not among KNOWN (X ids, apart by blanks or lines), or nothing.
new_window() {
  program_windows "$1" "${3:-}" | awk -v known="$(printf '%s' "$2" | tr '\n' ' ')" '
    BEGIN { n = split(known, ids); for (i = 1; i <= n; i++) seen[ids[i]] = 1 }
    !($1 in seen) && found == "" { found = $1 } END { print found }'
}

# prefix_drives: the host folder of each drive of the Wine prefix, one a
# line: drive C and every drive letter that maps a folder, except one that
# maps the host's root (Wine's Z:), which holds everything else.
prefix_drives() {
  local link folder
  {
    realpath -e "$WINEPREFIX/drive_c" 2>/dev/null || true
    for link in "$WINEPREFIX"/dosdevices/[a-zA-Z]:; do
      [ -d "$link" ] || continue
      folder="$(realpath -e "$link" 2>/dev/null)" || continue
      [ "$folder" != / ] && echo "$folder"
    done
  } | awk '!seen[$0]++'
}

# crash_dump SINCE FOLDER...: a crash dump written after the file SINCE, or
# nothing. The program writes it as Dump\<module>_<date>_<time>[_n].dmp in
# whatever its current folder is at the crash: the one it was started in,
# its temporary folder, the install folder on any drive, or a folder of the
# system's. So every drive of the prefix is looked through, at any depth,
# besides the FOLDERs given.
crash_dump() {
  local since="$1" roots
  shift
  mapfile -t roots < <(prefix_drives)
  find -H "$@" "${roots[@]}" -type f -path '*/Dump/*.dmp' -newer "$since" -print -quit 2>/dev/null || true
}

# dump_being_written FILE: whether a process of this Wine prefix (the
# program, or Wine's server, which opens files for it) holds FILE open for
# writing. A process's prefix is the one in its environment.
dump_being_written() {
  local file pid fd flags
  file="$(realpath -e "$1" 2>/dev/null)" || return 1
  while IFS=/ read -r pid fd; do
    flags="$(awk '/^flags:/ { print $2 }' "/proc/$pid/fdinfo/$fd" 2>/dev/null)"
    # O_WRONLY or O_RDWR (the low two bits of the octal flags).
    [ -n "$flags" ] && [ $((8#$flags & 3)) -ne 0 ] || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done < <(find /proc/[0-9]*/fd -mindepth 1 -maxdepth 1 -type l -printf '%h/%f\t%l\n' 2>/dev/null |
    awk -F '\t' -v file="$file" '$2 == file { split($1, p, "/"); print p[3] "/" p[5] }')
  return 1
}

# check_program PID DEADLINE SINCE FOLDER...: one look at a program started
# in the background by this shell. Answers 0 while it runs, 1 once a crash
# dump is there (named in crashed_dump; a crash ends the watch even when the
# program has ended meanwhile), 2 once the second DEADLINE (of $SECONDS; empty
# for none) is reached, 3 once it has ended. Whether it runs is asked before
# the dump is looked for: a program that writes its dump and ends between
# the two looks is still seen to have crashed.
check_program() {
  local pid="$1" deadline="$2" running=yes
  shift 2
  kill -0 "$pid" 2>/dev/null || running=""
  crashed_dump="$(crash_dump "$@")"
  [ -z "$crashed_dump" ] || return 1
  [ -n "$running" ] || return 3
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
