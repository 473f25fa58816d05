#!/usr/bin/env bash
# Side by side: cindervault-cli scan against du -s --apparent-size -b on the same generated tree of
# 200,000 files in 2,000 folders (20 folders at the top, 99 below each, 100 files in every folder)
# under /dev/shm (or $BENCH_DIR). Prints the median wall time of each, their ratio and the peak
# memory of each; the tree is removed afterwards. With --load the same again with one busy loop
# per core beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
RUNS=${RUNS:-5}
TOP=${TOP:-20}
SUB=${SUB:-99}
FILES=${FILES:-100}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

dir=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-bench-XXXXXX")
at_exit 'rm -rf "$dir"'
tree="$dir/tree"

# Files of 0 to 4095 bytes, written with shell built-ins only (no process per file).
bytes=0
fill() { # fill FOLDER: FILES files in it
  local i size
  for ((i = 0; i < FILES; i++)); do
    size=$(((n++ * 37) % 4096))
    printf '%*s' "$size" '' >"$1/f$i"
    bytes=$((bytes + size))
  done
}
n=0
mkdir "$tree"
for ((t = 0; t < TOP; t++)); do
  mkdir "$tree/d$t"
  fill "$tree/d$t"
  for ((s = 0; s < SUB; s++)); do
    mkdir "$tree/d$t/s$s"
    fill "$tree/d$t/s$s"
  done
done

# measure COMMAND...: appends "seconds peak_kib" of one run to the file named by $out
measure() {
  /usr/bin/time -f '%e %M' -o "$dir/time.out" "$@" >"$dir/stdout"
  cat "$dir/time.out" >>"$out"
}

compare() {
  : >"$dir/cv"
  : >"$dir/du"
  for _ in $(seq "$RUNS"); do
    out="$dir/cv" measure "$CLI" scan "$tree"
    scanned=$(sed -n 's/^{"totalSize":\([0-9]*\).*/\1/p' "$dir/stdout")
    out="$dir/du" measure du -s --apparent-size -b "$tree"
  done
  [ "$scanned" = "$bytes" ] || { echo "scan counted $scanned bytes, the tree holds $bytes" >&2; exit 1; }
  cv_time=$(cut -d' ' -f1 "$dir/cv" | median)
  du_time=$(cut -d' ' -f1 "$dir/du" | median)
  cv_mem=$(cut -d' ' -f2 "$dir/cv" | sort -n | tail -1)
  du_mem=$(cut -d' ' -f2 "$dir/du" | sort -n | tail -1)
  printf 'cindervault-cli scan             %6.2f s   peak %6d KiB\n' "$cv_time" "$cv_mem"
  printf 'du -s --apparent-size -b         %6.2f s   peak %6d KiB\n' "$du_time" "$du_mem"
  awk -v a="$cv_time" -v b="$du_time" 'BEGIN { if (b > 0) printf "ratio cindervault/du: %.2f\n", a / b }'
}

folders=$((TOP + TOP * SUB))
echo "tree: $((folders * FILES)) files ($bytes bytes) in $folders folders under $(dirname "$dir"), ${RUNS} runs each, median wall time"
under_each_load compare
