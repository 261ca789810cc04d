#!/usr/bin/env bash
# Sets up the machine, builds the setup program and runs it under Wine, on
# the user's display when there is one, else on a private Xvfb display.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
# A separate output folder (and Wine prefix) per developer working in one tree.
OUT="$(realpath -m "${RV_BUILD_OUT:-$BUILD/out}")"

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" --target WendmoorSetup

source "$ROOT/scripts/wine-env.sh"
user_display="${DISPLAY:-}"
wine_env_export "$OUT"
trap wine_env_stop EXIT
# The statistics and web API servers the program reports to, on this machine.
PEERS="$OUT/local-peers"
bash "$ROOT/scripts/local-peers.sh" start "$PEERS"
trap 'bash "$ROOT/scripts/local-peers.sh" stop "$PEERS"; wine_env_stop' EXIT
if [ -n "$user_display" ]; then
  export DISPLAY="$user_display"
else
  wine_env_start_xvfb
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "[run] preparing the Wine prefix"
  wine_env_make_prefix
fi
wine "$OUT/installer/WendmoorSetup.exe" "$@"
