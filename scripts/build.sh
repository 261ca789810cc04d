#!/usr/bin/env bash
# Configures and builds the program and its tests with the cross tool chain.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
# A separate output folder (and Wine prefix) per developer working in one tree.
OUT="$(realpath -m "${RV_BUILD_OUT:-$BUILD/out}")"
mkdir -p "$OUT"
cmake -S "$ROOT" -B "$OUT" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DRV_DEPS_PREFIX="$OUT/deps/prefix" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run.sh" >"$OUT.configure.log" 2>&1 \
  || { cat "$OUT.configure.log"; exit 1; }
cmake --build "$OUT" -j"$(nproc)" "$@"
