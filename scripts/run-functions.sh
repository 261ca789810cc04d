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

# The X id of the program's largest viewable window, or nothing yet.
scene_window() { # pid: the program's, as Wine names it on its X windows
  local id best="" area=0 size
  for id in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
    xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -qx "_NET_WM_PID(CARDINAL) = $1" || continue
    size="$(xwininfo -id "$id" 2>/dev/null | awk '/Map State:/ { viewable = ($3 == "IsViewable") }
      /Width:/ { w = $2 } /Height:/ { h = $2 } END { print (viewable ? w * h : 0) }')"
    if [ "${size:-0}" -gt "$area" ]; then
      area="$size"
      best="$id"
    fi
  done
  echo "$best"
}
