#!/usr/bin/env bash
# Sets up the machine, builds the setup program and runs it under Wine beside
# local statistics and web API servers of its own (on ports picked free, so
# that runs and tests never reach each other's servers).
#
# With a display (DISPLAY set) the window opens there and the script ends
# with the program. Without one the window is started on a private display,
# pictured into the build folder and closed; then the program installs
# silently, the script tells what it did (install folder, shortcuts,
# uninstall entry, updater started) and ends with the program's status.
# Arguments go to the program (for example PartnerID=Moorland); when they ask
# for a silent start (SILENT=TRUE) there is no window to picture, and the
# program installs once. The pictures and logs of an earlier run are removed
# at the start, so that none passes for this run's.
#
# The run never waits without end on the program, nor on a Wine tool. The
# program starts in a folder of the run's own and then moves (to its
# temporary folder, its install folder on any drive, or a folder of the
# system's); its crash dump lands in whichever is current, so a dump made
# after the run started is looked for on every drive of the prefix. Once no
# process of the prefix writes to it any more (or the crash box shows) the
# run names it and ends. A program on the private display that has not ended
# within RV_RUN_TIMEOUT seconds is taken as hung. Either way the display (on
# the user's display, only the program's own window) is pictured, everything
# the run started is stopped and the run fails.
#
# The Wine prefix counts as prepared only by the mark its preparation writes
# last, which names the preparation by a digest of its steps: a prefix
# without it (made by a plain Wine command, or cut short) or marked by other
# steps is finished in place before the program starts.
#
# A second run in the same build folder, while the first still runs, takes a
# Wine prefix, home and servers of its own and says so: a prefix is shared by
# one run at a time, and no run stops what another started.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
# A separate output folder (and Wine prefix) per developer working in one tree.
OUT="$(realpath -m "${RV_BUILD_OUT:-$BUILD/out}")"
PROGRAM="$OUT/installer/WendmoorSetup.exe"
# Runs the slots beyond the first may take side by side.
MAX_SLOTS=9
# Seconds a program on the run's own display has to end.
RUN_LIMIT="${RV_RUN_TIMEOUT:-180}"
# Seconds a crashed program has to show its box before the display is pictured.
CRASH_BOX_WAIT=15
# Seconds a crash dump has to be written whole (a full dump takes seconds).
DUMP_WRITE_WAIT=60
# The run's own statuses, beside the program's.
STATUS_CRASHED=3
STATUS_HUNG=124

usage() {
  cat <<EOF
usage: scripts/run.sh [--help] [NAME=VALUE ...]

Builds the setup program and runs it under Wine beside local statistics and
web API servers. NAME=VALUE arguments go to the program, for example
  scripts/run.sh PartnerID=Moorland     installs as the partner "Moorland"
  scripts/run.sh SILENT=TRUE            installs at once, without the window

With DISPLAY set the window opens there and the script ends with the program.
Without it the window is shown on a private display, pictured into
$OUT/run-window.png and closed (not when a silent start is asked
for); then the program installs silently, once, and the script tells what
this run did and ends with the program's status (0: done, 1: the install did
not finish, 254: another installer runs in the prefix).

The program starts in $OUT/run-cwd. A crash dump (Dump/*.dmp) that it
writes there or on any drive of the Wine prefix during the run counts: once
it is written whole the run names it, pictures the display into
$OUT/run-display.png (on your own display only the program's window),
stops the program and ends with $STATUS_CRASHED. A program on the private display
that has not ended within RV_RUN_TIMEOUT seconds (default 180) is pictured
the same way and stopped, and the run ends with $STATUS_HUNG. A window on your own
display (DISPLAY set) is yours to close. A Wine tool that has not ended
within RV_WINE_TOOL_TIMEOUT seconds (default 180) is named and stopped, and
the run ends with $STATUS_HUNG.

The program's output of each run is kept in $OUT/run-window.log and
$OUT/run-silent.log; an earlier run's pictures and logs are removed when a
run starts. RV_BUILD_OUT names another build folder.
EOF
}

source "$ROOT/scripts/run-functions.sh"

for argument in "$@"; do
  case "$argument" in
    -h | --help | help) usage; exit 0 ;;
    -*) echo "[run] unknown switch $argument" >&2; usage >&2; exit 2 ;;
  esac
done
if ! [[ "$RUN_LIMIT" =~ ^[0-9]+$ ]] || [ "$((10#$RUN_LIMIT))" -eq 0 ]; then
  echo "[run] RV_RUN_TIMEOUT is \"$RUN_LIMIT\"; it must be a whole number of seconds above 0" >&2
  exit 2
fi
RUN_LIMIT=$((10#$RUN_LIMIT))

held_locks=()
# The program's output shown as it comes (a run on the user's display).
output_echo=""
# The Wine tools that missed their deadline, one a line (wine-env.sh).
late_tools=""
cleanup() {
  local status=$? lock
  # A second Ctrl-C must not cut the clean-up short: it would leave the
  # display, the servers and the locks behind.
  trap '' INT TERM
  [ -n "${PEERS:-}" ] && bash "$ROOT/scripts/local-peers.sh" stop "$PEERS"
  declare -F wine_env_stop >/dev/null && wine_env_stop
  if [ -n "$output_echo" ]; then
    kill "$output_echo" 2>/dev/null || true
  fi
  for lock in "${held_locks[@]}"; do
    release_lock "$lock"
  done
  if [ -n "$late_tools" ] && [ -s "$late_tools" ]; then
    echo "[run] these Wine tools did not end in time and were stopped:" >&2
    sed 's/^/    /' "$late_tools" >&2
    rm -f "$late_tools"
    [ "$status" != 0 ] || status=$STATUS_HUNG
  fi
  exit "$status"
}
trap cleanup EXIT
# Interrupted or ended, the run still stops what it started and lets its locks go.
# A program under Wine does not end on Ctrl-C: it is watched from here while
# it runs in the background, so that a signal ends the run at once, and the
# clean-up stops the prefix's processes.
trap 'exit 130' INT
trap 'exit 143' TERM

mkdir -p "$OUT"
# One set-up and build at a time per build folder.
build_lock="$OUT/run-build.lock"
until try_lock "$build_lock"; do
  echo "[run] another run is building in $OUT; waiting"
  sleep 2
done
held_locks+=("$build_lock")
bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" --target WendmoorSetup
release_lock "$build_lock"

# The prefix (with its home, servers and working folder) this run has to itself.
slot=1
slot_name=""
until try_lock "$OUT/run-slot-$slot.lock"; do
  holder="$(cat "$OUT/run-slot-$slot.lock/pid" 2>/dev/null || echo '?')"
  slot=$((slot + 1))
  if [ "$slot" -gt "$MAX_SLOTS" ]; then
    echo "[run] $MAX_SLOTS runs already use $OUT; wait for one to end" >&2
    exit 1
  fi
  slot_name="run$slot"
  echo "[run] another run (process $holder) is using its Wine prefix in $OUT; this run takes one of its own"
done
held_locks+=("$OUT/run-slot-$slot.lock")
suffix="${slot_name:+-$slot_name}"

source "$ROOT/scripts/wine-env.sh"
user_display="${DISPLAY:-}"
wine_env_export "$OUT" "$slot_name"
late_tools="$OUT/run$suffix.late-tools"
rm -f "$late_tools"
WINE_ENV_LATE_TOOLS="$late_tools"
PEERS="$OUT/local-peers$suffix"
WINDOW_LOG="$OUT/run-window$suffix.log"
SILENT_LOG="$OUT/run-silent$suffix.log"
SCREENSHOT="$OUT/run-window$suffix.png"
DISPLAY_PICTURE="$OUT/run-display$suffix.png"
# The program's first current folder (never the checkout), where a crash
# before it moves leaves its dump; the prefix's drives are looked through too.
WORK="$OUT/run-cwd$suffix"
DUMP_FOLDERS=("$WORK")
mkdir -p "$WORK"
bash "$ROOT/scripts/local-peers.sh" start "$PEERS" "$OUT/resources/LocalAdvert.png" ||
  { echo "[run] the local servers did not start" >&2; exit 1; }
mapfile -t options <"$PEERS/program-options"

prepare_prefix() {
  wine_env_prefix_prepared && return 0
  if wine_env_prefix_marked_by_others; then
    echo "[run] finishing the Wine prefix $WINEPREFIX, which another version of its preparation marked (about 20 s, once);"
    echo "[run] what it holds is kept"
  elif [ -f "$WINEPREFIX/system.reg" ]; then
    echo "[run] finishing the Wine prefix $WINEPREFIX, which its preparation did not mark as done (about 20 s, once);"
    echo "[run] what it holds is kept"
  else
    echo "[run] preparing the Wine prefix $WINEPREFIX (about 25 s, once)"
  fi
  wine_env_finish_prefix || { echo "[run] the Wine prefix $WINEPREFIX could not be prepared" >&2; exit 1; }
}

# Starts the program in the background, in the run's own folder, with its
# output in a file; the program's pid is then in $!. The file exists once
# this returns, so that it can be shown from its first line.
start_program() { # output, program arguments
  local output="$1"
  shift
  : >"$output"
  (cd "$WORK" && exec wine "$PROGRAM" "$@") >>"$output" 2>&1 &
}

# The windows of the program on the display: on the user's, where a window
# manager frames them, all of the display's windows are looked through.
window_depth=""
[ -z "$user_display" ] || window_depth=tree

# Ends the run for a program that crashed (answer 1 of watch_program) or hung
# (answer 2): says so, pictures the display and leaves stopping to the
# clean-up, which ends every process of the prefix. A crash dump takes
# seconds to write: it is named, and the program stopped, only once no
# process of the prefix writes to it any more or the crash box shows (a
# window of the program that is not among those known before); the picture
# then waits for that box. The run's own display is pictured whole; of the
# user's, only the program's own window (its crash box, else its largest),
# or nothing.
end_run() { # answer, what was watched, program pid, its output, known windows
  local answer="$1" what="$2" program="$3" output="$4" known="${5:-}" status deadline window=""
  if [ "$answer" = 1 ]; then
    status=$STATUS_CRASHED
    if dump_being_written "$crashed_dump"; then
      # The crash box shows only once the dump is written: the program's
      # windows until then are not it.
      known="$known $(program_windows "$program" "$window_depth" | cut -d' ' -f1)"
      deadline=$((SECONDS + DUMP_WRITE_WAIT))
      while dump_being_written "$crashed_dump" && [ -z "$(new_window "$program" "$known" "$window_depth")" ]; do
        if [ "$SECONDS" -ge "$deadline" ]; then
          echo "[run] the crash dump is still being written after $DUMP_WRITE_WAIT s: it may be cut short" >&2
          break
        fi
        sleep 0.5
      done
    fi
    echo "[run] $what crashed: its crash dump is $crashed_dump" >&2
    deadline=$((SECONDS + CRASH_BOX_WAIT))
    while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$program" 2>/dev/null &&
      [ -z "$(new_window "$program" "$known" "$window_depth")" ]; do
      sleep 0.5
    done
  else
    echo "[run] $what has not ended within $RUN_LIMIT s (RV_RUN_TIMEOUT): it is taken as hung and stopped" >&2
    status=$STATUS_HUNG
  fi
  if [ -z "$user_display" ]; then
    if import -window root "$DISPLAY_PICTURE" >/dev/null 2>&1; then
      echo "[run] the display as it was: $DISPLAY_PICTURE"
    else
      echo "[run] the display $DISPLAY could not be pictured" >&2
    fi
  else
    window="$(new_window "$program" "$known" tree)"
    [ -n "$window" ] || window="$(scene_window "$program" tree)"
    if [ -z "$window" ]; then
      echo "[run] the program shows no window on $DISPLAY to picture"
    elif import -window "$window" "$DISPLAY_PICTURE" >/dev/null 2>&1; then
      echo "[run] the program's window as it was: $DISPLAY_PICTURE"
    else
      echo "[run] the program's window could not be pictured" >&2
    fi
  fi
  echo "[run] the program's last lines (all its output: $output):"
  tail -n 5 "$output" | tr -d '\r' | sed 's/^/    /'
  exit "$status"
}

# What the program says it did, from its own output: the folder it names as
# installed in (or, for an install that did not finish, the folder it was
# writing into), its errors, and what that folder holds.
report() { # status, program output, marker
  local status="$1" output="$2" marker="$3" location="" folder="" started="" uninstall="" left=""
  case "$status" in
    0) echo "[run] program status: 0 (the install finished, or none was asked for)" ;;
    1) echo "[run] program status: 1 (an install was asked for and did not finish)" ;;
    254) echo "[run] program status: 254 (another installer is running in this Wine prefix)" ;;
    *) echo "[run] program status: $status" ;;
  esac
  location="$(installed_location "$output")"
  if [ -n "$location" ]; then
    folder="$(wine_env_tool -s wine winepath -u "$location" | tr -d '\r')"
    folder="${folder%/}"
    echo "[run] install folder: $location ($folder): $(find "$folder" -type f 2>/dev/null | wc -l) files"
    if [ -f "$folder/ReadWrite/Installer/InstallData.xml" ]; then
      echo "[run] install record: $folder/ReadWrite/Installer/InstallData.xml"
    fi
  else
    left="$(failed_location "$output")"
    if [ -n "$left" ]; then
      # What the failed install wrote before it stopped stays there, beside
      # anything an earlier install left.
      folder="$(wine_env_tool -s wine winepath -u "$left" | tr -d '\r')"
      folder="${folder%/}"
      if [ -n "$folder" ] && [ -d "$folder" ]; then
        echo "[run] install folder left by the failed install: $left ($folder):" \
          "$(find "$folder" -type f 2>/dev/null | wc -l) files," \
          "$(find "$folder" -type f -newer "$marker" 2>/dev/null | wc -l) of them written by this run"
      else
        echo "[run] install folder of the failed install: $left (not made)"
      fi
    else
      echo "[run] install folder: none (this run installed nothing)"
    fi
  fi
  if [ "$status" != 0 ] || [ -z "$location" ]; then
    echo "[run] the program's errors (all its output: $output):"
    { tr -d '\r' <"$output" | grep '^Error: ' || echo "none"; } | sed 's/^/    /'
  fi
  [ -n "$location" ] || return 0
  # The uninstall entry that names this run's folder, not an earlier run's.
  uninstall="$(wine_env_tool -s wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    awk -v folder="$location" 'BEGIN { RS = "" } {
      for (i = 1; i <= NF; i++) if ($i == "InstallLocation") {
        line = $0; sub(/.*InstallLocation[ \t]+REG_SZ[ \t]+/, "", line); sub(/\n.*/, "", line)
        if (tolower(line) == tolower(folder)) { print; exit }
      } }')"
  if [ -n "$uninstall" ]; then
    echo "[run] uninstall entry:"
    printf '%s\n' "$uninstall" | sed 's/^ */    /'
  else
    echo "[run] uninstall entry: none for $location"
  fi
  echo "[run] shortcuts made:"
  # Wine's desktop folder is the home folder it was given.
  find "$HOME" "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/ProgramData" -name '*.lnk' -newer "$marker" \
    2>/dev/null | sed 's|^|    |' | sort || true
  started="$(find "$folder" -maxdepth 1 -name 'ZURovoZizizer.exe.started' -newer "$marker" 2>/dev/null || true)"
  if [ -n "$started" ]; then
    echo "[run] updater started: yes ($started)"
  else
    echo "[run] updater started: no"
  fi
}

marker="$OUT/run$suffix.start"
# What an earlier run in this slot left must not pass for this run's.
for earlier in "$SCREENSHOT" "$DISPLAY_PICTURE" "$WINDOW_LOG" "$SILENT_LOG"; do
  if [ -e "$earlier" ]; then
    rm -f "$earlier"
    echo "[run] removed an earlier run's $(basename "$earlier")"
  fi
done

if [ -n "$user_display" ]; then
  export DISPLAY="$user_display"
  prepare_prefix
  touch "$marker"
  start_program "$WINDOW_LOG" "${options[@]}" "$@"
  program=$!
  # The log exists already: the echo shows it from its first line.
  tail -n +1 -f --pid="$program" "$WINDOW_LOG" &
  output_echo=$!
  # The window is the user's to close: only a crash ends the run.
  answer=0
  watch_program "$program" "" "$marker" "${DUMP_FOLDERS[@]}" || answer=$?
  [ "$answer" = 3 ] || end_run "$answer" "the program" "$program" "$WINDOW_LOG"
  # The echo ends by itself once it has shown the last of the output.
  wait "$output_echo" || true
  output_echo=""
  report "$program_status" "$WINDOW_LOG" "$marker"
  exit "$program_status"
fi

# The window: found by the program's process (Wine names it on its X
# windows), waited for while the program lives, pictured once painted, then
# closed as its close button would (the program then ends by itself). A
# crash, or no end within the bound, ends the run.
picture_window() { # program arguments
  local since="$OUT/run-window$suffix.start" window_run shown="" deadline answer ended=0
  touch "$since"
  start_program "$WINDOW_LOG" "${options[@]}" "$@"
  window_run=$!
  deadline=$((SECONDS + RUN_LIMIT))
  while :; do
    answer=0
    check_program "$window_run" "$deadline" "$since" "${DUMP_FOLDERS[@]}" || answer=$?
    [ "$answer" = 0 ] || break
    shown="$(scene_window "$window_run")"
    [ -z "$shown" ] || break
    sleep 0.5
  done
  if [ "$answer" = 3 ]; then
    wait "$window_run" || ended=$?
    echo "[run] the program ended with status $ended before its window showed (see $WINDOW_LOG)" >&2
    return 0
  fi
  [ "$answer" = 0 ] || end_run "$answer" "the program" "$window_run" "$WINDOW_LOG"
  # Time to fetch the advert and paint.
  sleep 3
  if [ -z "$(crash_dump "$since" "${DUMP_FOLDERS[@]}")" ]; then
    if import -window "$shown" "$SCREENSHOT" 2>/dev/null; then
      echo "[run] the window as it showed: $SCREENSHOT"
    else
      echo "[run] the window could not be pictured (see $WINDOW_LOG)" >&2
    fi
    # This prefix is this run's own: only its own program is asked to close.
    wine_env_tool -q wine taskkill /im WendmoorSetup.exe || true
  fi
  answer=0
  watch_program "$window_run" "$deadline" "$since" "${DUMP_FOLDERS[@]}" || answer=$?
  [ "$answer" = 3 ] || end_run "$answer" "the program" "$window_run" "$WINDOW_LOG" "$shown"
}

# The program installs silently whatever else it is given; one that was asked
# for a silent start would install in the window's run too, and show none.
asked_silent=""
silent_start "$PROGRAM" "$@" && asked_silent=yes
if [ -n "$asked_silent" ]; then
  echo "[run] no display (DISPLAY is not set), and a silent start was asked for: the program installs"
  echo "[run] silently, once, without its window, and this script tells what it did"
else
  echo "[run] no display (DISPLAY is not set): the window opens on a private display and is pictured;"
  echo "[run] then the program installs silently and this script tells what it did"
fi
# A private display still: a message box of a silent start needs one.
wine_env_start_xvfb
prepare_prefix
[ -n "$asked_silent" ] || picture_window "$@"

# The silent install, and what it did.
touch "$marker"
sleep 1
echo "[run] installing silently"
start_program "$SILENT_LOG" SILENT=TRUE "${options[@]}" "$@"
program=$!
deadline=$((SECONDS + RUN_LIMIT))
answer=0
watch_program "$program" "$deadline" "$marker" "${DUMP_FOLDERS[@]}" || answer=$?
[ "$answer" = 3 ] || end_run "$answer" "the program" "$program" "$SILENT_LOG"
status=$program_status
# What the program started (the updater) ends too, and the prefix's registry
# is on disk, before the report reads it.
wineserver -w &
answer=0
watch_program $! "$deadline" "$marker" "${DUMP_FOLDERS[@]}" || answer=$?
[ "$answer" = 3 ] || end_run "$answer" "what the program started" "$program" "$SILENT_LOG"
report "$status" "$SILENT_LOG" "$marker"
echo "[run] servers' records: $PEERS (statistics $(wc -l <"$PEERS/stat-record.txt") lines, web API $(wc -l <"$PEERS/webapi-record.txt") requests)"
exit $status
