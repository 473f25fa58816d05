#!/usr/bin/env bash
# Side by side: cindervault-cli shred --method 16 (one random pass, names changed, then deleted) of
# a tree of 10,000 files of 4 KiB ($FILES in 100 folders) against GNU shred -u -n 1 over the same
# files (find ... -exec shred -u -n 1 {} +, then rm -rf of the folders) and, where it is installed,
# BleachBit --shred of the tree (one pass, names changed, deleted; BLEACHBIT=0 leaves it out); each
# on a fresh copy of the tree on the same file system ($BENCH_DIR, default /dev/shm; /var/tmp on a
# disk). Every file is synced to the device before the tools start, so that none of them finds it
# still in the cache unwritten. With --load the same again with one busy loop per core beside the
# tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
FILES=${FILES:-10000}
RUNS=${RUNS:-3}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

base=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-tree-bench-XXXXXX")
at_exit 'rm -rf "$base"'
without_reports "$base/home"
cv_shred() { "$CLI" shred --yes --method 16 "$1"; }
gnu_shred() { find "$1" -type f -exec shred -u -n 1 {} +; rm -rf "$1"; }
bleachbit_shred() { bleachbit --shred "$1"; }
tools=(cv_shred gnu_shred)
[ "${BLEACHBIT:-1}" = 1 ] && command -v bleachbit >/dev/null && tools+=(bleachbit_shred)
declare -A label=([cv_shred]="cindervault-cli shred --method 16" [gnu_shred]="find -exec shred -u -n 1 {} +"
  [bleachbit_shred]="bleachbit --shred")

compare() {
  local i tool
  local -A times=()
  for i in $(seq "$RUNS"); do
    for tool in "${tools[@]}"; do files_of_4k "$base/$tool$i" "$FILES"; done
    sync
    for tool in "${tools[@]}"; do
      times[$tool]+="$(seconds "$tool" "$base/$tool$i") "
      [ ! -e "$base/$tool$i" ] || echo "warning: $tool left $(find "$base/$tool$i" -type f | wc -l) files" >&2
      rm -rf "${base:?}/$tool$i"
    done
  done
  local -A median_of=()
  for tool in "${tools[@]}"; do
    median_of[$tool]=$(printf '%s\n' ${times[$tool]} | median)
    printf '%-36s %6.2f s  (runs: %s)\n' "${label[$tool]}" "${median_of[$tool]}" "${times[$tool]% }"
  done
  for tool in "${tools[@]:1}"; do
    printf 'ratio cindervault/%-18s %.2f\n' "${tool%_shred}:" "$(echo "${median_of[cv_shred]} / ${median_of[$tool]}" | bc -l)"
  done
}

echo "$FILES files of 4 KiB in $(dirname "$base") ($(stat -f -c %T "$base")), median of $RUNS runs"
under_each_load compare
