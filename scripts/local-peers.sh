#!/usr/bin/env bash
# Starts or stops the local statistics and web API servers that the setup
# program talks to in its default build (127.0.0.1, statistics ports
# 45201-45204, web API port 8081).
#   local-peers.sh start DIR   servers write their records and pids into DIR
#   local-peers.sh stop DIR    stops the servers started into DIR, by pid
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SERVERS="$ROOT/tests/servers"
action="${1:-}"
dir="${2:-}"
[ -n "$action" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

start_one() { # name, script, arguments...
  local name="$1" script="$2"
  shift 2
  rm -f "$dir/$name.port"
  python3 "$SERVERS/$script" --port-file "$dir/$name.port" "$@" </dev/null >"$dir/$name.out" 2>&1 &
  echo $! >"$dir/$name.pid"
  for _ in $(seq 1 100); do
    [ -f "$dir/$name.port" ] && return 0
    kill -0 "$(cat "$dir/$name.pid")" 2>/dev/null || break
    sleep 0.05
  done
  echo "[peers] $name did not start (port taken?): see $dir/$name.out" >&2
  rm -f "$dir/$name.pid"
}

case "$action" in
  start)
    mkdir -p "$dir"
    for port in 45201 45202 45203 45204; do
      start_one "stat-$port" statserver.py --listen "$port" --record "$dir/stat-$port-record.txt"
    done
    start_one webapi webapiserver.py --listen 8081 --record "$dir/webapi-record.txt"
    echo "[peers] records in $dir"
    ;;
  stop)
    for pidfile in "$dir"/*.pid; do
      [ -f "$pidfile" ] || continue
      kill "$(cat "$pidfile")" 2>/dev/null
      rm -f "$pidfile"
    done
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
