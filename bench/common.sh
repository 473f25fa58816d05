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

# What runs when the script ends, however it ends: at_exit COMMAND adds COMMAND (run by eval, last
# added first), so that a script's busy loops stop and its folders go also after an error or ^C.
EXIT_ACTIONS=()
run_exit_actions() {
  local i
  for ((i = ${#EXIT_ACTIONS[@]} - 1; i >= 0; i--)); do eval "${EXIT_ACTIONS[i]}" || true; done
  EXIT_ACTIONS=()
}
at_exit() { EXIT_ACTIONS+=("$1"); }
trap run_exit_actions EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A busy machine, for the figures a desktop with a compile or a backup going sees: one busy loop
# per core beside the measured tools, at the same priority as they (the loops only spin, so
# what they take is processor time, never disk or memory). start_load starts them, stop_load
# ends them; an exit ends them too.
LOAD_PIDS=()
start_load() {
  local i
  for ((i = 0; i < $(nproc); i++)); do
    # Each loop also ends on its own once the script is gone, even when it was killed outright.
    bash -c 'while kill -0 '"$$"' 2>/dev/null; do for ((i = 0; i < 100000; i++)); do :; done; done' &
    LOAD_PIDS+=($!)
  done
}
stop_load() {
  ((${#LOAD_PIDS[@]})) || return 0
  kill "${LOAD_PIDS[@]}" 2>/dev/null || true
  wait "${LOAD_PIDS[@]}" 2>/dev/null || true
  LOAD_PIDS=()
}
at_exit stop_load

# The loads a script measures under: "idle" (the machine as it is) and, with --load, "busy" after
# it; --busy-only measures under load alone. load_options "$@" reads them (and --help) from the
# script's arguments; every other setting comes from the environment, as the scripts say.
LOADS=(idle)
load_options() {
  local arg
  for arg; do
    case $arg in
      --load) LOADS=(idle busy) ;;
      --busy-only) LOADS=(busy) ;;
      -h | --help)
        sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'
        echo "Options: --load: also with one busy loop per core beside the tools (idle and busy figures);"
        echo "         --busy-only: with the busy loops alone."
        exit 0
        ;;
      *) echo "unknown option: $arg (--load, --busy-only, --help)" >&2; exit 2 ;;
    esac
  done
}

# under_each_load FUNCTION: runs FUNCTION once for each load asked for, with LOAD set to "idle" or
# "busy" and the busy loops running for "busy"; a header line names the load and the load average
# before each (the machine may be shared: what others run counts in both figures).
under_each_load() {
  for LOAD in "${LOADS[@]}"; do
    [ "$LOAD" = busy ] && start_load
    echo "== $LOAD: $( [ "$LOAD" = busy ] && echo "$(nproc) busy loops beside the tools, ")load average $(cut -d' ' -f1-3 /proc/loadavg)"
    "$1"
    stop_load
  done
}
