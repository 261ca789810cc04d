#!/usr/bin/env bash
# Times the whole setup program with a ~200 MB, 5,000-file game package in
# it, in one run:
#   1. writes the generated package as a folder (rv_bench_install
#      --make-folder, once: remove setup-bench-package.done under the build
#      folder to make it again; with the sample client's files beside it, so that
#      the install has its updater configuration as a real one does);
#   2. builds the setup program embedding that folder in a second build
#      folder (RV_GAME_PACKAGE_DIR; no tests, no freed-block fill);
#   3. starts the local statistics and web API servers, a private display and
#      a fresh Wine prefix, and runs rv_bench_setup: silent install, window
#      start and the extraction benchmark on the same embedded package.
#
#   bench/setup_bench.sh [rounds]        (RV_BUILD_OUT as for scripts/build.sh)
#
# Not part of scripts/test.sh.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$(realpath -m "${RV_BUILD_OUT:-$ROOT/build/out}")"
SETUP_BUILD="$OUT/setup-bench-build"
PACKAGE="$OUT/setup-bench-package"
WORK="$OUT/setup-bench-work"
rounds="${1:-3}"

wine_path() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }

bash "$ROOT/scripts/build.sh" --target rv_bench_install rv_bench_setup >/dev/null

source "$ROOT/scripts/wine-env.sh"
wine_env_export "$OUT"
export WINEPREFIX="$OUT/wine-setup-bench"
export HOME="$OUT/home-setup-bench"
mkdir -p "$HOME" "$WORK"
printf 'pcm.!default { type null }\n' > "$HOME/.asoundrc"
PEERS="$WORK/peers"
stop_all() {
  bash "$ROOT/scripts/local-peers.sh" stop "$PEERS"
  wine_env_stop
}
trap stop_all EXIT

echo "[bench] fresh Wine prefix"
wine_env_make_prefix

if [ ! -f "$PACKAGE.done" ]; then
  echo "[bench] writing the package folder"
  rm -rf "$PACKAGE"
  mkdir -p "$PACKAGE"
  wine "$OUT/bench/rv_bench_install.exe" --make-folder "$(wine_path "$PACKAGE")"
  cp -r "$ROOT/resources/gameclient/." "$PACKAGE/"
  touch "$PACKAGE.done"
fi
echo "[bench] package: $(find "$PACKAGE" -type f | wc -l) files, $(du -sm "$PACKAGE" | cut -f1) MB"

echo "[bench] building the setup program around it"
cmake -S "$ROOT" -B "$SETUP_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DRV_DEPS_PREFIX="$OUT/deps/prefix" -DRV_BUILD_TESTS=OFF -DRV_GAME_PACKAGE_DIR="$PACKAGE" \
  >"$SETUP_BUILD.configure.log" 2>&1 || { cat "$SETUP_BUILD.configure.log"; exit 1; }
cmake --build "$SETUP_BUILD" -j"$(nproc)" --target WendmoorSetup >"$SETUP_BUILD.build.log" 2>&1 \
  || { tail -n 40 "$SETUP_BUILD.build.log"; exit 1; }
echo "[bench] setup program $(du -m "$SETUP_BUILD/installer/WendmoorSetup.exe" | cut -f1) MB"

bash "$ROOT/scripts/local-peers.sh" start "$PEERS"
wine_env_start_xvfb
echo "[bench] load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors"
wine "$OUT/bench/rv_bench_setup.exe" "$(wine_path "$SETUP_BUILD/installer/WendmoorSetup.exe")" \
  "$(wine_path "$OUT/bench/rv_bench_install.exe")" "$(wine_path "$SETUP_BUILD/resources/GameClient.package")" \
  "$rounds" "$(tr '\n' ' ' <"$PEERS/program-options" | sed 's/ *$//')"
