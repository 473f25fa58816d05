#!/usr/bin/env bash
# Side by side: cindervault-cli shred --method 16 of a chain of nested folders (each holding one
# small file) against rm -rf of an identical chain, for chains of 2,500, 10,000 and 40,000 levels
# ($LEVELS), on the same file system ($BENCH_DIR, default /dev/shm). Prints the time per level: a
# walk that stays linear keeps it about the same from the shortest chain to the longest. With
# --load the same again with one busy loop per core beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
LEVELS=${LEVELS:-"2500 10000 40000"}
RUNS=${RUNS:-3}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

base=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-chain-bench-XXXXXX")
at_exit 'rm -rf "$base"'
without_reports "$base/home"

# Folder d inside folder d, LEVELS deep, with a file f of 100 bytes in each; made by walking down
# with relative names, so the chain may be far longer than PATH_MAX.
make_chain() {
  perl -e 'my ($top, $n) = @ARGV; mkdir $top or die; chdir $top or die;
           for (1 .. $n) { open(my $f, ">", "f") or die; print $f "x" x 100; close $f;
                           mkdir "d" or die; chdir "d" or die; }' "$1" "$2"
}

compare() {
  printf '%8s  %12s %12s  %10s %10s  %6s\n' levels cindervault rm-rf "cv us/lvl" "rm us/lvl" ratio
  for n in $LEVELS; do
    cv=(); rm=()
    for i in $(seq "$RUNS"); do
      make_chain "$base/cv" "$n"; make_chain "$base/rm" "$n"
      cv+=("$(seconds "$CLI" shred --yes --method 16 "$base/cv")")
      rm+=("$(seconds rm -rf "$base/rm")")
      if [ -e "$base/cv" ] || [ -e "$base/rm" ]; then echo "a chain was left behind" >&2; exit 1; fi
    done
    a=$(printf '%s\n' "${cv[@]}" | median); b=$(printf '%s\n' "${rm[@]}" | median)
    printf '%8d  %10.3f s %10.3f s  %10.1f %10.1f  %6.2f\n' "$n" "$a" "$b" \
      "$(echo "$a * 1000000 / $n" | bc -l)" "$(echo "$b * 1000000 / $n" | bc -l)" "$(echo "$a / $b" | bc -l)"
  done
}

echo "chains of nested folders with a file of 100 bytes each, in $(dirname "$base") ($(stat -f -c %T "$base")), median of $RUNS runs"
under_each_load compare
