#!/usr/bin/env bash
# Runs one benchmark command twice under Wine: as it comes, then pinned with
# its Wine server to one processor, and prints both. The command is run as
# given (a Windows program through wine, or run_with_peers.py around one);
# the Wine server is ended before each run, so that the pinned run's server
# is started by the pinned command and shares its processor.
#
#   RV_BENCH_CPU=3 bench/run_pinned.sh wine build/out/bench/rv_bench_install.exe 'T:\bench'
#
# The installer refuses to write through a folder link, and Wine shows a host
# mount point (such as /dev/shm under Z:) as one: give a tmpfs folder a drive
# letter of its own instead, e.g. ln -s /dev/shm "$RV_BUILD_OUT/wine-bench/dosdevices/t:".
#
# It uses a Wine prefix of its own under RV_BUILD_OUT (made on first use).
set -eu
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${RV_BUILD_OUT:-$here/build/out}"
cpu="${RV_BENCH_CPU:-$(( $(nproc) - 1 ))}"
# shellcheck source=../scripts/wine-env.sh
source "$here/scripts/wine-env.sh"
wine_env_export "$out"
export WINEPREFIX="$out/wine-bench"
if [ ! -d "$WINEPREFIX" ]; then
  wineboot -i >/dev/null 2>&1
fi

end_own_server() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
trap end_own_server EXIT

end_own_server
echo "== unpinned (load: $(cut -d' ' -f1-3 /proc/loadavg))"
"$@"
end_own_server
echo "== pinned to processor $cpu with its Wine server (load: $(cut -d' ' -f1-3 /proc/loadavg))"
taskset -c "$cpu" "$@"
