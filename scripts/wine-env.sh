# Shared by test.sh and run.sh: a private Wine prefix and, when needed, a
# private X display. Source it; call wine_env_export and wine_env_start_xvfb,
# wine_env_make_prefix (a new prefix) or wine_env_finish_prefix (one kept
# between runs), and wine_env_stop on exit. Only what this script started is
# stopped, by pid, and the prefix's own Wine processes. Every Wine tool runs
# through wine_env_tool, within a deadline.

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

# The file whose presence says that the prefix's preparation ran to its end;
# it names that preparation by a digest of its steps.
WINE_ENV_PREPARED_MARK="rv-prepared"

# Seconds each Wine tool (wineboot, wineserver, wine reg, ...) has to end. A
# tool that hangs would hold the run or the tests for ever.
WINE_ENV_TOOL_LIMIT="${RV_WINE_TOOL_TIMEOUT:-180}"
# A file that collects the tools that missed their deadline, for a caller
# whose tools run in subshells; none by default.
WINE_ENV_LATE_TOOLS="${WINE_ENV_LATE_TOOLS:-}"

# The deadline keeper of the Wine tool that runs now, for wine_env_stop.
WINE_ENV_TOOL_PID=""

# wine_env_tool [-q | -s] COMMAND...: runs a Wine tool within
# WINE_ENV_TOOL_LIMIT seconds; -q drops its output, -s its errors. One that
# misses it is stopped (killed 5 s after it is asked to end), named on stderr
# and in WINE_ENV_LATE_TOOLS, and answers 124. The tool runs in a process
# group of its own (timeout's), so a Ctrl-C does not reach it: it cannot cut
# a clean-up short. It is waited for in the background, so that a signal
# still reaches the caller's trap at once; wine_env_stop then ends the tool.
wine_env_tool() {
  local status=0
  case "$1" in
    -q) shift; timeout -k 5 "$WINE_ENV_TOOL_LIMIT" "$@" >/dev/null 2>&1 & ;;
    -s) shift; timeout -k 5 "$WINE_ENV_TOOL_LIMIT" "$@" 2>/dev/null & ;;
    *) timeout -k 5 "$WINE_ENV_TOOL_LIMIT" "$@" & ;;
  esac
  WINE_ENV_TOOL_PID=$!
  wait "$WINE_ENV_TOOL_PID" || status=$?
  WINE_ENV_TOOL_PID=""
  if [ "$status" = 124 ] || [ "$status" = 137 ]; then
    echo "the Wine tool \"$*\" did not end within $WINE_ENV_TOOL_LIMIT s (RV_WINE_TOOL_TIMEOUT) and was stopped" >&2
    [ -z "$WINE_ENV_LATE_TOOLS" ] || echo "$*" >>"$WINE_ENV_LATE_TOOLS"
    return 124
  fi
  return "$status"
}

# The digest of the preparation's steps: the functions below as this script
# holds them (their settings, fonts and substitutes included) and the
# program that makes the "SimSun" font. A prefix whose mark holds another
# digest was prepared by other steps, and is finished again.
wine_env_preparation_digest() {
  { declare -f wine_env_finish_prefix wine_env_add_fonts wine_env_add_settings wine_env_set
    cat "$WINE_ENV_SCRIPTS/make_alias_font.py"; } | sha256sum | cut -d' ' -f1
}

# wine_env_mark_text: the mark a prefix prepared by these steps holds.
wine_env_mark_text() {
  echo "preparation sha256:$(wine_env_preparation_digest)"
}

# Whether the prefix's preparation, these steps and no others, ran to its
# end. A prefix made by any other Wine command (the prefix Wine makes by
# itself on a first "wine reg query", or one whose preparation was cut short)
# lacks what the program's text needs, and a program that can make no font
# dies on a message box nobody sees.
wine_env_prefix_prepared() {
  [ -f "$WINEPREFIX/$WINE_ENV_PREPARED_MARK" ] &&
    grep -qxF "$(wine_env_mark_text)" "$WINEPREFIX/$WINE_ENV_PREPARED_MARK"
}

# Whether the prefix holds a mark of other steps than these.
wine_env_prefix_marked_by_others() {
  [ -f "$WINEPREFIX/$WINE_ENV_PREPARED_MARK" ] && ! wine_env_prefix_prepared
}

# A new prefix, prepared.
wine_env_make_prefix() {
  rm -rf "$WINEPREFIX"
  wine_env_finish_prefix
}

# Brings the prefix, new or not, to what the program needs: Wine's own
# set-up, the fonts and substitutions the program's text needs, and crash
# settings that end a crashed process. What the prefix holds stays; the
# settings are written over. The mark is written last, so that a preparation
# cut short is done again. False, with a line on stderr, when a step fails
# or a Wine tool misses its deadline.
wine_env_finish_prefix() {
  rm -f "$WINEPREFIX/$WINE_ENV_PREPARED_MARK"
  # Makes a missing prefix, and completes one whose first boot was cut short.
  wine_env_tool -q wineboot -u ||
    { echo "wineboot cannot set up the Wine prefix $WINEPREFIX" >&2; return 1; }
  wine_env_tool wineserver -w || return 1
  wine_env_add_fonts || return 1
  wine_env_add_settings || return 1
  # Every setting is on disk once the server has ended.
  wine_env_tool wineserver -w || return 1
  { wine_env_mark_text; date -u '+prepared %Y-%m-%d %H:%M:%S'; } >"$WINEPREFIX/$WINE_ENV_PREPARED_MARK"
}

wine_env_add_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  # The UI's default typeface "宋体" ("SimSun"): a copy of the CJK font that
  # carries those names itself. A substitute would do under the default
  # locale only; under a Chinese one (code page 936) GDI+ ignores it.
  python3 "$WINE_ENV_SCRIPTS/make_alias_font.py" /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
    "$fonts/rvsimsun.ttf" || { echo "the font rvsimsun.ttf cannot be made in $fonts" >&2; return 1; }
}

wine_env_add_settings() {
  local substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' n
  local debugger='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  for n in 新宋体 NSimSun 黑体 SimHei 微软雅黑 "Microsoft YaHei"; do
    wine_env_set "$substitutes" "$n" REG_SZ "WenQuanYi Micro Hei" || return 1
  done
  wine_env_set 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' "SimSun (TrueType)" REG_SZ rvsimsun.ttf ||
    return 1
  wine_env_set "$substitutes" Arial REG_SZ "Liberation Sans" || return 1
  wine_env_set 'HKCU\Software\Wine\Drivers' Audio REG_SZ alsa || return 1
  # A crash must end the process, never start the debugger.
  wine_env_set "$debugger" Auto REG_SZ 1 || return 1
  wine_env_set "$debugger" Debugger REG_SZ "" || return 1
  wine_env_set 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
}

# wine_env_set KEY NAME TYPE DATA: one registry value of the prefix, written over.
wine_env_set() {
  wine_env_tool -q wine reg add "$1" /v "$2" /t "$3" /d "$4" /f ||
    { echo "the registry value $1\\$2 cannot be set in $WINEPREFIX" >&2; return 1; }
}

wine_env_stop() {
  if [ -n "$WINE_ENV_TOOL_PID" ]; then
    # A tool the stop interrupted: its deadline keeper ends it.
    kill -TERM "$WINE_ENV_TOOL_PID" 2>/dev/null || true
    wait "$WINE_ENV_TOOL_PID" 2>/dev/null || true
    WINE_ENV_TOOL_PID=""
  fi
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wine_env_tool -q wineserver -k || true
  fi
  if [ -n "$WINE_ENV_XVFB_PID" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=""
  fi
}
