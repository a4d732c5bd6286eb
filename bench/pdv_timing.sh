#!/usr/bin/env bash
# Times pdv on the offscreen platform, several runs: from the launch of the
# process to the log-in window on screen, from "Entrar" to the main window
# on screen, and the resident memory once the main window has been idle for
# a second. Uses var/fvn.ini (the demo shop: scripts/db init) and the build
# tree given (default build/dev).
#   bench/pdv_timing.sh [RUNS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
pdv=${2:-build/dev}/src/app/pdv
keys=$(mktemp --suffix=.keys)
trap 'rm -f "$keys"' EXIT
grep -v '^shot' docs/screens/login.keys >"$keys"
echo "wait 1500" >>"$keys"
export QT_QPA_PLATFORM=offscreen FVN_PDV_TIMING=1
for run in $(seq 1 "$runs"); do
  start=$(date +%s%3N)
  out=$("$pdv" --config var/fvn.ini --play "$keys" 2>&1)
  shown=$(sed -n 's/.*log-in window after .* (at \([0-9]*\)).*/\1/p' <<<"$out")
  main=$(sed -n 's/.*main window after \([0-9]*\) ms.*/\1/p' <<<"$out")
  rss=$(sed -n 's/.*idle rss \([0-9]*\) MB.*/\1/p' <<<"$out")
  echo "run $run: launch to log-in window $((shown - start)) ms, log-in to main window $main ms, idle RSS $rss MB"
done
