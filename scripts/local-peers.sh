#!/usr/bin/env bash
# Starts or stops the local statistics and web API servers that the setup
# program talks to, on 127.0.0.1 ports picked free at start, so that two runs
# (or a run beside the tests) never reach each other's servers.
#   local-peers.sh start DIR [ADVERT]  servers write their records and pids
#                                      into DIR; ADVERT is the picture the web
#                                      API serves as its advert
#   local-peers.sh stop DIR            stops the servers started into DIR, by pid
# After a start DIR holds what to hand the program:
#   DIR/UrlItemList.xml    the URL list (UTF-16), with the web API server
#   DIR/program-options    the program's options, one a line:
#                          UrlItemList=<that list, Wine's path>
#                          StatisticsServer=127.0.0.1:<port>
# A server that does not start is reported and the start fails (status 1).
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SERVERS="$ROOT/tests/servers"
action="${1:-}"
dir="${2:-}"
[ -n "$action" ] && [ -n "$dir" ] || { echo "usage: $0 start DIR [ADVERT] | stop DIR" >&2; exit 2; }

wine_path() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }

# Starts one server on a free port; its port goes to DIR/<name>.port.
start_one() { # name, script, arguments...
  local name="$1" script="$2"
  shift 2
  rm -f "$dir/$name.port"
  python3 "$SERVERS/$script" --port-file "$dir/$name.port" "$@" </dev/null >"$dir/$name.out" 2>&1 &
  echo $! >"$dir/$name.pid"
  for _ in $(seq 1 200); do
    [ -f "$dir/$name.port" ] && return 0
    kill -0 "$(cat "$dir/$name.pid")" 2>/dev/null || break
    sleep 0.05
  done
  echo "[peers] $name did not start: see $dir/$name.out" >&2
  rm -f "$dir/$name.pid"
  return 1
}

stop_all() {
  for pidfile in "$dir"/*.pid; do
    [ -f "$pidfile" ] || continue
    kill "$(cat "$pidfile")" 2>/dev/null
    rm -f "$pidfile"
  done
}

case "$action" in
  start)
    mkdir -p "$dir"
    advert=()
    if [ -n "${3:-}" ]; then
      advert=(--advert-picture "$3")
    fi
    if ! start_one stat statserver.py --record "$dir/stat-record.txt" ||
       ! start_one webapi webapiserver.py --record "$dir/webapi-record.txt" "${advert[@]}"; then
      stop_all
      exit 1
    fi
    stat_port="$(tr -dc 0-9 <"$dir/stat.port")"
    webapi="http://127.0.0.1:$(tr -dc 0-9 <"$dir/webapi.port")"
    python3 - "$dir/UrlItemList.xml" "$webapi" <<'PY'
import sys
path, webapi = sys.argv[1], sys.argv[2]
text = ('<UrlItemList>\r\n'
        '\t<UrlItem Name="GameInstaller_NoticeInfo" Address="%s/agreement.html"/>\r\n'
        '\t<UrlItem Name="GameInstaller_HomePage" Address="%s/"/>\r\n'
        '\t<UrlItem Name="GameInstaller_WebApi" Address="%s"/>\r\n'
        '</UrlItemList>\r\n') % (webapi, webapi, webapi)
with open(path, "wb") as out:
    out.write(b"\xff\xfe" + text.encode("utf-16-le"))
PY
    {
      echo "UrlItemList=$(wine_path "$dir/UrlItemList.xml")"
      echo "StatisticsServer=127.0.0.1:$stat_port"
    } >"$dir/program-options"
    echo "[peers] statistics on 127.0.0.1:$stat_port, web API on $webapi; records in $dir"
    ;;
  stop)
    stop_all
    ;;
  *)
    echo "usage: $0 start DIR [ADVERT] | stop DIR" >&2
    exit 2
    ;;
esac
