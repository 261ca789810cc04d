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
# program installs once. The picture and logs of an earlier run are removed
# at the start, so that none passes for this run's.
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

The program's output of each run is kept in $OUT/run-window.log and
$OUT/run-silent.log; an earlier run's picture and logs are removed when a
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

held_locks=()
cleanup() {
  local lock
  [ -n "${PEERS:-}" ] && bash "$ROOT/scripts/local-peers.sh" stop "$PEERS"
  declare -F wine_env_stop >/dev/null && wine_env_stop
  for lock in "${held_locks[@]}"; do
    release_lock "$lock"
  done
}
trap cleanup EXIT
# Interrupted or ended, the run still stops what it started and lets its locks go.
# A program under Wine does not end on Ctrl-C: it is waited for in the
# background, where a signal ends the wait at once, and the clean-up stops
# the prefix's processes.
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

# The prefix (with its home and servers) this run has to itself.
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
PEERS="$OUT/local-peers$suffix"
WINDOW_LOG="$OUT/run-window$suffix.log"
SILENT_LOG="$OUT/run-silent$suffix.log"
SCREENSHOT="$OUT/run-window$suffix.png"
bash "$ROOT/scripts/local-peers.sh" start "$PEERS" "$OUT/resources/LocalAdvert.png" ||
  { echo "[run] the local servers did not start" >&2; exit 1; }
mapfile -t options <"$PEERS/program-options"

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "[run] preparing the Wine prefix $WINEPREFIX (about 25 s, once)"
    wine_env_make_prefix
  fi
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
    folder="$(wine winepath -u "$location" 2>/dev/null | tr -d '\r')"
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
      folder="$(wine winepath -u "$left" 2>/dev/null | tr -d '\r')"
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
  uninstall="$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
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
for earlier in "$SCREENSHOT" "$WINDOW_LOG" "$SILENT_LOG"; do
  if [ -e "$earlier" ]; then
    rm -f "$earlier"
    echo "[run] removed an earlier run's $(basename "$earlier")"
  fi
done

if [ -n "$user_display" ]; then
  export DISPLAY="$user_display"
  prepare_prefix
  touch "$marker"
  (
    set +e
    wine "$PROGRAM" "${options[@]}" "$@" 2>&1 | tee "$WINDOW_LOG"
    exit "${PIPESTATUS[0]}"
  ) &
  status=0
  wait $! || status=$?
  report "$status" "$WINDOW_LOG" "$marker"
  exit "$status"
fi

# The window: found by the program's process (Wine names it on its X
# windows), waited for (bounded), pictured once painted, then closed as its
# close button would (the program then ends by itself).
picture_window() { # program arguments
  local window_run shown="" window_status=0
  wine "$PROGRAM" "${options[@]}" "$@" >"$WINDOW_LOG" 2>&1 &
  window_run=$!
  for _ in $(seq 1 120); do
    shown="$(scene_window "$window_run")"
    [ -n "$shown" ] && break
    kill -0 "$window_run" 2>/dev/null || break
    sleep 0.5
  done
  if [ -n "$shown" ]; then
    # Time to fetch the advert and paint.
    sleep 3
    import -window "$shown" "$SCREENSHOT"
    echo "[run] the window as it showed: $SCREENSHOT"
  elif kill -0 "$window_run" 2>/dev/null; then
    echo "[run] the window did not show within 60 s (see $WINDOW_LOG)" >&2
  else
    window_status=0
    wait "$window_run" || window_status=$?
    echo "[run] the program ended with status $window_status before its window showed (see $WINDOW_LOG)" >&2
  fi
  # This prefix is this run's own: only its own program is asked to close.
  wine taskkill /im WendmoorSetup.exe >/dev/null 2>&1 || true
  for _ in $(seq 1 60); do
    kill -0 "$window_run" 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 "$window_run" 2>/dev/null; then
    kill "$window_run" 2>/dev/null || true
  fi
  wait "$window_run" 2>/dev/null || true
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
status=0
wine "$PROGRAM" SILENT=TRUE "${options[@]}" "$@" >"$SILENT_LOG" 2>&1 &
wait $! || status=$?
wineserver -w
report "$status" "$SILENT_LOG" "$marker"
echo "[run] servers' records: $PEERS (statistics $(wc -l <"$PEERS/stat-record.txt") lines, web API $(wc -l <"$PEERS/webapi-record.txt") requests)"
exit $status
