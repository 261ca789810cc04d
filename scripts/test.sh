#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the GoogleTest
# executables under Wine (one Wine start each) on a private X display, and the
# host-side tools' own tests. Exits non-zero on any failure.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
# A separate output folder (and Wine prefix) per developer working in one tree.
OUT="$(realpath -m "${RV_BUILD_OUT:-$BUILD/out}")"

bash "$ROOT/scripts/setup.sh"

status=0
# Every library includes and links only the layers below it.
python3 "$ROOT/scripts/check_layers.py" "$ROOT" || { echo "[test] the layer check failed"; status=1; }

bash "$ROOT/scripts/build.sh"

source "$ROOT/scripts/wine-env.sh"
wine_env_export "$OUT" tests
trap wine_env_stop EXIT
wine_env_start_xvfb
echo "[test] preparing a fresh Wine prefix"
wine_env_make_prefix || { echo "[test] the Wine prefix $WINEPREFIX could not be prepared" >&2; exit 1; }
wineserver -p >/dev/null 2>&1 || true

if compgen -G "$ROOT/tools/tests/test_*.py" >/dev/null; then
  echo "[test] host tools"
  python3 -m unittest discover -s "$ROOT/tools/tests" -t "$ROOT" -v || status=1
fi

# ctest runs last, so its summary closes the output.
(cd "$OUT" && ctest --output-on-failure -j"$(nproc)" "$@") || status=1
exit $status
