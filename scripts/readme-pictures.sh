#!/usr/bin/env bash
# Takes the README's pictures of the install window (docs/*.png) on an X
# display and a Wine prefix of their own, where no other program's window can
# cover the one pictured: the end-to-end tests of the one-click and custom
# installs run there alone and keep their screenshots, which are cut to the
# window.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
OUT="$(realpath -m "${RV_BUILD_OUT:-$BUILD/out}")"
SHOTS="$OUT/tests/installer/screenshots"
# The window is centred on the 1024 x 768 display.
WINDOW_AREA="720x450+152+159"

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" --target test_installer_ui

source "$ROOT/scripts/wine-env.sh"
wine_env_export "$OUT"
export WINEPREFIX="$OUT/wine-pictures" HOME="$OUT/home-pictures"
mkdir -p "$HOME"
printf 'pcm.!default { type null }\n' > "$HOME/.asoundrc"
trap wine_env_stop EXIT
wine_env_start_xvfb
echo "[pictures] a fresh Wine prefix on display $DISPLAY"
wine_env_make_prefix
wineserver -p >/dev/null 2>&1 || true

rm -rf "$SHOTS"
python3 "$ROOT/tests/servers/run_with_peers.py" --work "$OUT/pictures-peers" --stat --webapi --timeout 280 -- \
  "$ROOT/scripts/wine-run.sh" "$OUT/tests/installer/test_installer_ui.exe" \
  "--gtest_filter=InstallWindowEndToEnd.QuickInstall*:InstallWindowEndToEnd.CustomInstall*"

convert="$(command -v convert-im6.q16 || command -v convert)"
for pair in "1-one-click-page:install-window-one-click" "3-custom-page:install-window-custom"; do
  "$convert" "$SHOTS/${pair%%:*}.bmp" -crop "$WINDOW_AREA" +repage "$ROOT/docs/${pair##*:}.png"
  echo "[pictures] docs/${pair##*:}.png"
done
