# Pieces the comparison scripts share; sourced by them, not run on its own.

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# seconds COMMAND...: the wall time of one run in seconds; its output and failure are ignored.
seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; e=$(date +%s.%N); echo "$e - $s" | bc; }

# without_reports HOME: the jobs run with a settings store of their own below HOME that saves no
# report: the deletion report is timed by its own benchmark, not with the jobs.
without_reports() {
  export HOME="$1" XDG_CONFIG_HOME="$1/.config"
  mkdir -p "$XDG_CONFIG_HOME/Ostrevane"
  printf '[General]\nkSettingsDeletionReportAutoSave=false\n' >"$XDG_CONFIG_HOME/Ostrevane/Cindervault.ini"
}

# tree_memory ROOT: one sample of process ROOT and every process below it: a line "PID KIB TICKS"
# for each with its peak resident set (VmHWM) and the processor time it has used (user and system,
# in clock ticks), then a line "pss KIB" with the sum of their proportional set sizes (shared pages
# divided among the processes that share them).
tree_memory() {
  ps -e -o pid=,ppid= | awk -v root="$1" '
    { parent[$1] = $2 }
    END {
      for (p in parent) { q = p; while (q > 1 && q != root) q = parent[q]; if (q == root) tree[p] = 1 }
      pss = 0
      for (p in tree) {
        f = "/proc/" p "/smaps_rollup"
        while ((getline line < f) > 0) if (line ~ /^Pss:/) { split(line, a, " "); pss += a[2] }
        close(f)
        hwm = 0
        f = "/proc/" p "/status"
        while ((getline line < f) > 0) if (line ~ /^VmHWM:/) { split(line, a, " "); hwm = a[2] }
        close(f)
        # utime and stime: the fields 14 and 15, counted after the command in parentheses.
        ticks = 0
        f = "/proc/" p "/stat"
        if ((getline line < f) > 0) { sub(/.*\) /, "", line); split(line, a, " "); ticks = a[12] + a[13] }
        close(f)
        print p, hwm, ticks
      }
      print "pss", pss
    }'
}

# measure_tree OUT COMMAND...: runs COMMAND (standard output into OUT.stdout, standard error into
# OUT.stderr) and samples it and all its descendants every 0.1 s; writes "SECONDS PEAK_PSS_KIB
# PEAK_RSS_KIB CPU_SECONDS EXIT_STATUS" into OUT: wall time, the greatest sum of their proportional
# set sizes seen at once, the sum of each process's own peak resident set (an upper bound of what
# they held at once), and the processor time they used (up to the last sample of each).
measure_tree() {
  local out=$1 s e pid status=0 peak=0 key value ticks
  local -A hwm=() cpu=()
  shift
  s=$(date +%s.%N)
  "$@" >"$out.stdout" 2>"$out.stderr" &
  pid=$!
  while [ -e "/proc/$pid" ] && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]; do
    while read -r key value ticks; do
      if [ "$key" = pss ]; then
        ((value > peak)) && peak=$value
      else
        ((value > ${hwm[$key]:-0})) && hwm[$key]=$value
        ((ticks > ${cpu[$key]:-0})) && cpu[$key]=$ticks
      fi
    done < <(tree_memory "$pid")
    sleep 0.1
  done
  wait "$pid" || status=$?
  e=$(date +%s.%N)
  local rss=0 used=0
  for value in "${hwm[@]}"; do rss=$((rss + value)); done
  for value in "${cpu[@]}"; do used=$((used + value)); done
  echo "$(echo "$e - $s" | bc) $peak $rss $(echo "$used / $(getconf CLK_TCK)" | bc -l) $status" >"$out"
}

# files_of_4k FOLDER COUNT: COUNT files of 4 KiB of random bytes spread over 100 folders of FOLDER;
# one process per folder (split cuts the random bytes into files).
files_of_4k() {
  mkdir -p "$1"
  for d in $(seq 0 99); do
    mkdir "$1/d$d"
    head -c $((4096 * ($2 / 100))) /dev/urandom | split -b 4096 -a 4 -d - "$1/d$d/f"
  done
}

# compare_runs MAKE CV GNU: $RUNS runs, each on two fresh fixtures made by MAKE FOLDER under $base,
# CV timed on one and GNU on the other; warns when CV left files behind. Sets CV_MEDIAN and
# GNU_MEDIAN (seconds).
compare_runs() {
  local make=$1 cv_run=$2 gnu_run=$3 i left
  local cv=() gnu=()
  for i in $(seq "$RUNS"); do
    "$make" "$base/cv$i"; "$make" "$base/gnu$i"
    cv+=("$(seconds "$cv_run" "$base/cv$i")")
    gnu+=("$(seconds "$gnu_run" "$base/gnu$i")")
    left=$(find "$base/cv$i" -type f | wc -l)
    [ "$left" -eq 0 ] || echo "warning: $cv_run left $left files" >&2
    rm -rf "$base/cv$i" "$base/gnu$i"
  done
  CV_MEDIAN=$(printf '%s\n' "${cv[@]}" | median)
  GNU_MEDIAN=$(printf '%s\n' "${gnu[@]}" | median)
}
