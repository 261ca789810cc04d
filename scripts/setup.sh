#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine:
# the mingw-w64 i686 tool chain, wine32 with its X, GL and sound libraries,
# fonts, and the cross-built third-party libraries (jsoncpp, libogg, libvorbis,
# GoogleTest) in a prefix inside the output folder. Safe to run again: work
# that is already done is skipped.
#
# Each output folder (RV_BUILD_OUT) has its own sources, dependency builds and
# prefix, so that runs into different folders never share or remove each
# other's; build.sh hands that prefix to the tool chain file.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$(realpath -m "${RV_BUILD_OUT:-$ROOT/build/out}")"
DEPS="$OUT/deps"
PREFIX="$DEPS/prefix"
TOOLCHAIN="$ROOT/cmake/mingw-i686.cmake"

APT_PACKAGES=(
  g++-mingw-w64-i686-posix mingw-w64-tools libz-mingw-w64-dev cmake python3 dpkg-dev
  wine wine32:i386 xvfb xauth x11-utils imagemagick
  libx11-6:i386 libxext6:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
  libxcursor1:i386 libxcomposite1:i386 libxinerama1:i386 libxfixes3:i386
  libxxf86vm1:i386 libfreetype6:i386 libfontconfig1:i386 libgl1:i386
  libgl1-mesa-dri:i386 libglx-mesa0:i386 libasound2:i386 libgnutls30:i386
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  fonts-wqy-microhei fonts-liberation fonts-wine googletest
)
SOURCE_PACKAGES=(libjsoncpp libogg libvorbis)

log() { printf '[setup] %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages_missing() {
  local p
  for p in "${APT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 0
  done
  return 1
}

# Source packages come from a sources file of our own, made from the
# system's deb lines; the system's own files are never edited. Nothing is
# added when some source already offers deb-src.
RV_DEB_SRC=/etc/apt/sources.list.d/rv-deb-src.sources
enable_deb_src() {
  local system=/etc/apt/sources.list.d/debian.sources
  [ -f "$RV_DEB_SRC" ] && return 1
  if grep -rqsE '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qsE '^deb-src ' /etc/apt/sources.list; then
    return 1
  fi
  [ -f "$system" ] || { log "no $system to take the mirrors from; deb-src not added"; return 1; }
  log "adding deb-src in $RV_DEB_SRC"
  sed -n 's/^Types: deb$/Types: deb-src/;/^Types: deb-src$/,/^$/p' "$system" | as_root tee "$RV_DEB_SRC" >/dev/null
  return 0
}

install_packages() {
  local changed=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    as_root dpkg --add-architecture i386
    changed=1
  fi
  enable_deb_src && changed=1
  if packages_missing || [ "$changed" -eq 1 ]; then
    log "installing Debian packages"
    mkdir -p "$OUT"
    as_root apt-get update -q >"$OUT/apt.log" 2>&1 || fail_with_log "apt-get update" "$OUT/apt.log"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${APT_PACKAGES[@]}" >>"$OUT/apt.log" 2>&1 ||
      fail_with_log "installing the Debian packages" "$OUT/apt.log"
  fi
}

# Stops the set-up after a failed step, with the end of its log.
fail_with_log() {
  local what="$1" logfile="$2"
  log "$what failed; the end of $logfile:"
  tail -n 40 "$logfile" >&2 || true
  exit 1
}

# Builds one CMake project with the cross tool chain into the prefix.
cross_build() {
  local name="$1" src="$2"; shift 2
  local stamp="$PREFIX/.built-$name" logfile="$DEPS/build-$name.log"
  [ -f "$stamp" ] && return 0
  log "cross-building $name"
  rm -rf "$DEPS/build-$name"
  { cmake -S "$src" -B "$DEPS/build-$name" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DRV_DEPS_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH=/ \
      -DBUILD_SHARED_LIBS=OFF "$@" &&
    cmake --build "$DEPS/build-$name" -j"$(nproc)" &&
    cmake --install "$DEPS/build-$name"; } >"$logfile" 2>&1 || fail_with_log "building $name" "$logfile"
  touch "$stamp"
}

fetch_sources() {
  mkdir -p "$DEPS/src"
  local pkg
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    if ! ls -d "$DEPS/src/$pkg"-*/ >/dev/null 2>&1 && ! ls -d "$DEPS/src/${pkg#lib}"-*/ >/dev/null 2>&1; then
      log "fetching the source package $pkg"
      (cd "$DEPS/src" && apt-get source -q "$pkg") >"$DEPS/fetch-$pkg.log" 2>&1 ||
        fail_with_log "fetching $pkg" "$DEPS/fetch-$pkg.log"
    fi
  done
}

source_dir() {
  local d
  for d in "$DEPS/src/$1"-*/ "$DEPS/src/${1#lib}"-*/; do
    [ -d "$d" ] && { echo "${d%/}"; return 0; }
  done
  echo "no source folder for $1" >&2
  return 1
}

build_dependencies() {
  mkdir -p "$PREFIX"
  if [ ! -f "$PREFIX/.built-jsoncpp" ] || [ ! -f "$PREFIX/.built-ogg" ] || [ ! -f "$PREFIX/.built-vorbis" ]; then
    fetch_sources
  fi
  cross_build jsoncpp "$(source_dir libjsoncpp)" \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=ON \
    -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF
  cross_build ogg "$(source_dir libogg)" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
  cross_build vorbis "$(source_dir libvorbis)" -DBUILD_TESTING=OFF
  cross_build googletest /usr/src/googletest -Dgtest_disable_pthreads=OFF -DBUILD_GMOCK=ON
}

install_packages
build_dependencies
log "done"
