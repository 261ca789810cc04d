# Shared by test.sh and run.sh: a private Wine prefix and, when needed, a
# private X display. Source it; call wine_env_export and wine_env_start_xvfb,
# and wine_env_stop on exit. Only what this script started is stopped, by pid.

WINE_ENV_XVFB_PID=""
WINE_ENV_SCRIPTS="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# wine_env_export <output folder> [name]: a name gives a prefix and home of
# their own ("wine-<name>", "home-<name>"). The tests' ("tests") are made
# afresh by test.sh, so that the prefix run.sh uses (and what the program left
# in it) survives a test run; a run beside another run takes one of its own.
wine_env_export() {
  local build="$1" suffix=""
  [ -n "${2:-}" ] && suffix="-$2"
  export WINEPREFIX="$build/wine$suffix"
  export WINEDEBUG=-all
  export HOME="$build/home$suffix"
  export TZ=UTC
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
  export WINEARCH=win32
  # The system's GL driver (Mesa's software renderer, under Direct3D) starts
  # threads of its own that Wine never ends: a process's exit then waits on
  # them, and on a busy machine Wine's server kills a process that takes
  # that long to go. Drawing on the program's own thread, and no shader
  # cache writer, leave nothing to wait on.
  export LP_NUM_THREADS=0
  export MESA_SHADER_CACHE_DISABLE=true
  mkdir -p "$HOME"
  printf 'pcm.!default { type null }\n' > "$HOME/.asoundrc"
}

# Starts Xvfb on a display number it picks itself and reports through
# -displayfd, so that two runs can never take the same one.
wine_env_start_xvfb() {
  local number_file number="" i
  number_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  WINE_ENV_XVFB_PID=$!
  for i in $(seq 1 100); do
    number="$(head -n 1 "$number_file" 2>/dev/null | tr -dc 0-9)"
    [ -n "$number" ] && break
    kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -z "$number" ] || ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
    echo "Xvfb did not start" >&2
    WINE_ENV_XVFB_PID=""
    return 1
  fi
  export DISPLAY=":$number"
}

# A new prefix with the fonts and substitutions the program's text needs.
wine_env_make_prefix() {
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # The UI's default typeface "宋体" ("SimSun"): a copy of the CJK font that
  # carries those names itself. A substitute would do under the default
  # locale only; under a Chinese one (code page 936) GDI+ ignores it.
  python3 "$WINE_ENV_SCRIPTS/make_alias_font.py" /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
    "$WINEPREFIX/drive_c/windows/Fonts/rvsimsun.ttf"
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' n
  {
    for n in 新宋体 NSimSun 黑体 SimHei 微软雅黑 "Microsoft YaHei"; do
      wine reg add "$key" /v "$n" /t REG_SZ /d "WenQuanYi Micro Hei" /f
    done
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v "SimSun (TrueType)" /t REG_SZ \
      /d rvsimsun.ttf /f
    wine reg add "$key" /v Arial /t REG_SZ /d "Liberation Sans" /f
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f
    # A crash must end the process, never start the debugger.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  } >/dev/null 2>&1
  wineserver -w
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
  fi
  if [ -n "$WINE_ENV_XVFB_PID" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=""
  fi
}
