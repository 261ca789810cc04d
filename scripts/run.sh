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
# Arguments go to the program (for example PartnerID=Moorland).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
# A separate output folder (and Wine prefix) per developer working in one tree.
OUT="$(realpath -m "${RV_BUILD_OUT:-$BUILD/out}")"
PROGRAM="$OUT/installer/WendmoorSetup.exe"
SCREENSHOT="$OUT/run-window.png"
SCENE_TITLE="Wendmoor - 安装"

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" --target WendmoorSetup

source "$ROOT/scripts/wine-env.sh"
user_display="${DISPLAY:-}"
wine_env_export "$OUT"
PEERS="$OUT/local-peers"
trap 'bash "$ROOT/scripts/local-peers.sh" stop "$PEERS"; wine_env_stop' EXIT
bash "$ROOT/scripts/local-peers.sh" start "$PEERS" "$OUT/resources/LocalAdvert.png" ||
  { echo "[run] the local servers did not start" >&2; exit 1; }
mapfile -t options <"$PEERS/program-options"

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "[run] preparing the Wine prefix"
    wine_env_make_prefix
  fi
}

if [ -n "$user_display" ]; then
  export DISPLAY="$user_display"
  prepare_prefix
  status=0
  wine "$PROGRAM" "${options[@]}" "$@" || status=$?
  exit $status
fi

echo "[run] no display (DISPLAY is not set): the window opens on a private display and is pictured;"
echo "[run] then the program installs silently and this script tells what it did"
wine_env_start_xvfb
prepare_prefix

# The window: waited for (bounded), pictured once painted, then closed as
# its close button would (the program then ends by itself).
wine "$PROGRAM" "${options[@]}" "$@" >"$OUT/run-window.log" 2>&1 &
window_run=$!
# The window's X id (xwininfo), or "root" when the tool is missing.
scene_window() {
  if ! command -v xwininfo >/dev/null; then
    echo root
    return
  fi
  { xwininfo -root -tree 2>/dev/null || true; } | awk -v title="\"$SCENE_TITLE\"" 'index($0, title) { print $1; exit }'
}
shown=""
for _ in $(seq 1 120); do
  shown="$(scene_window)"
  [ -n "$shown" ] && break
  kill -0 "$window_run" 2>/dev/null || break
  sleep 0.5
done
if [ -n "$shown" ]; then
  # Time to fetch the advert and paint.
  sleep 3
  import -window "$shown" "$SCREENSHOT"
  echo "[run] the window as it showed: $SCREENSHOT"
else
  echo "[run] the window did not show (see $OUT/run-window.log)" >&2
fi
wine taskkill /im WendmoorSetup.exe >/dev/null 2>&1 || true
for _ in $(seq 1 60); do
  kill -0 "$window_run" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$window_run" 2>/dev/null; then
  kill "$window_run" 2>/dev/null || true
fi
wait "$window_run" 2>/dev/null || true

# The silent install, and what it left.
marker="$OUT/run-silent.start"
touch "$marker"
sleep 1
echo "[run] installing silently"
status=0
wine "$PROGRAM" SILENT=TRUE "${options[@]}" "$@" >"$OUT/run-silent.log" 2>&1 || status=$?
wineserver -w
uninstall="$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
  awk 'BEGIN { RS = "" } /WMGameUninstaller/ { print; exit }')"
location="$(printf '%s\n' "$uninstall" | sed -n 's/^ *InstallLocation *REG_SZ *//p')"
echo "[run] program status: $status"
if [ -n "$uninstall" ]; then
  echo "[run] uninstall entry:"
  printf '%s\n' "$uninstall" | sed 's/^ */    /'
else
  echo "[run] uninstall entry: none"
fi
folder=""
if [ -n "$location" ]; then
  folder="$(wine winepath -u "$location" 2>/dev/null | tr -d '\r')"
  echo "[run] install folder: $location ($folder): $(find "$folder" -type f 2>/dev/null | wc -l) files"
else
  echo "[run] install folder: none"
fi
echo "[run] shortcuts made:"
# Wine's desktop folder is the home folder it was given.
find "$HOME" "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/ProgramData" -name '*.lnk' -newer "$marker" \
  2>/dev/null | sed 's|^|    |' | sort || true
started="$([ -n "$folder" ] && find "$folder" -maxdepth 1 -name 'ZURovoZizizer.exe.started' -newer "$marker" 2>/dev/null || true)"
if [ -n "$started" ]; then
  echo "[run] updater started: yes ($started)"
else
  echo "[run] updater started: no"
fi
echo "[run] servers' records: $PEERS (statistics $(wc -l <"$PEERS/stat-record.txt") lines, web API $(wc -l <"$PEERS/webapi-record.txt") requests)"
exit $status
