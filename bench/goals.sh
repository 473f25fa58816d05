#!/usr/bin/env bash
# The speed goals in one run, each side by side with its peer and, with --load (the default here),
# both on the machine as it is and with one busy loop per core beside the tools:
#   5,000 files of 4 KiB on disk:              cindervault <= 0.30 x bleachbit --shred
#   10,000 files of 4 KiB on disk, one pass:   cindervault <= 0.25 x find -exec shred -u -n 1
#   256 MiB on tmpfs, three random passes:     cindervault <= 0.70 x shred -n 3
#   a chain of 10,000 nested folders:          cindervault <= 2 x rm -rf
#   clean-temp of 10,000 files:                cindervault <= 0.5 x find -exec shred -u -n 1
#   the PDF report of 100,000 files:           <= 30 s and <= 1 GB peak memory
#   --verify on disk:                          adds <= 1.2 x dd's direct read-back of the data
# "On disk" is $DISK_DIR (default /var/tmp), "in memory" /dev/shm; every script makes and removes
# its own folder there. GOALS names the goals to run (default: all), e.g. GOALS="tree5000 chain".
# The arguments go to every script (--load, the default, or --busy-only; none: "idle" alone is
# not offered here, run the scripts themselves for that).
set -euo pipefail
cd "$(dirname "$0")/.."
DISK_DIR=${DISK_DIR:-/var/tmp}
GOALS=${GOALS:-"tree5000 tree10000 overwrite chain cleantemp report verify"}
args=("$@")
((${#args[@]})) || args=(--load)

run() { # NAME GOAL COMMAND...
  local name=$1 goal=$2
  shift 2
  [[ " $GOALS " == *" $name "* ]] || return 0
  echo
  echo "### $name: $goal"
  "$@" "${args[@]}" || echo "### $name failed with status $?"
}

echo "$(date -u '+%F %T UTC'), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
run tree5000 "<= 0.30 x bleachbit --shred" env FILES=5000 BENCH_DIR="$DISK_DIR" bench/shred_tree_vs_shred.sh
run tree10000 "<= 0.25 x shred -u -n 1" env BLEACHBIT=0 FILES=10000 BENCH_DIR="$DISK_DIR" bench/shred_tree_vs_shred.sh
run overwrite "<= 0.70 x shred -n 3" env SIZE_MB=256 BENCH_DIR=/dev/shm bench/overwrite_vs_shred.sh
run chain "<= 2 x rm -rf" env LEVELS=10000 bench/deep_chain_vs_rm.sh
run cleantemp "<= 0.5 x find -exec shred -u -n 1" env FILES=10000 bench/clean_temp_vs_shred.sh
run report "<= 30 s, <= 1 GB" env SIZES=100000 bench/bench_report
run verify "--verify adds <= 1.2 x dd iflag=direct" env FOLDERS="$DISK_DIR" bench/verify_vs_shred.sh
