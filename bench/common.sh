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
