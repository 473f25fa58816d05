#!/usr/bin/env bash
# How much of a deleted file is left on the device: content and name copies in the raw image of
# ext4, XFS and btrfs loop images (root only; the images and mounts are made here, in a temporary
# folder, and removed after). Each case gets a fresh file system holding three files of a unique
# marker text with unique names; after the case the image is unmounted and the marker's
# occurrences in the raw image are counted (grep -a -o -F ... | wc -l, which counts every copy, also
# two copies that meet on one "line" of the image).
#
# Cases, side by side:
#   cv16 files         cindervault-cli shred --method 16 (one random pass) of the three files
#   cv17 files         cindervault-cli shred --method 17 (three passes) of the three files
#   cv16 folder        cindervault-cli shred --method 16 of the folder that holds them
#   cv16 +wipe-free    cindervault-cli shred --method 16 --then-wipe-free of the three files
#   rm + wipe-free     rm of the three files, then cindervault-cli wipe-free --method 16
#   shred -u           GNU shred -u (three random passes, then unlink) of the three files
#   rm                 plain rm of the three files
# The loop device refuses discards (as a disk or most USB sticks do), so the table shows what the
# overwriting and the wipes do on their own; with DISCARD=1 it accepts them, and the TRIM after a
# free-space wipe then zeroes the image's free blocks, as on most SSDs. With --load the cases run
# again with one busy loop per core beside them (the counts must not change; the seconds may).
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
SIZE=${SIZE:-300M}
FILESYSTEMS=${FILESYSTEMS:-ext4 xfs btrfs}
WORK=${WORK:-/dev/shm}
DISCARD=${DISCARD:-0}
[ "$(id -u)" -eq 0 ] || { echo "needs root to mount loop images" >&2; exit 2; }
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

work=$(mktemp -d "$WORK/cindervault-efficacy-XXXXXX")
img=$work/volume.img
mnt=$work/mnt
mkdir "$mnt"
cleanup() {
  mountpoint -q "$mnt" && umount "$mnt"
  rm -rf "$work"
}
at_exit cleanup
without_reports "$work/home"

tag=$(head -c 6 /dev/urandom | od -An -tx1 | tr -d ' \n')
content="CVCONTENT$tag"
name="cvname$tag"

make_volume() {
  rm -f "$img"
  truncate -s "$SIZE" "$img"
  case $1 in
    ext4) mkfs.ext4 -q -F "$img" ;;
    xfs) mkfs.xfs -q -f "$img" ;;
    btrfs) mkfs.btrfs -q -f "$img" >/dev/null ;;
  esac
  # btrfs discards freed blocks on its own where the device can (discard=async), which a loop
  # device can: nodiscard measures it as on a disk or a USB stick.
  if [ "$1" = btrfs ]; then mount -o loop,nodiscard "$img" "$mnt"; else mount -o loop "$img" "$mnt"; fi
  if [ "$DISCARD" = 0 ]; then
    dev=$(findmnt -n -o SOURCE "$mnt")
    echo 0 >"/sys/block/${dev#/dev/}/queue/discard_max_bytes"
  fi
  mkdir "$mnt/$name-dir"
  for i in 1 2 3; do
    # 32 KiB each: the marker line, then lines of filler, too big to be kept inline in metadata.
    { echo "$content-$i"; for _ in $(seq 400); do printf '%080d\n' 0; done; } >"$mnt/$name-dir/$name-file$i.txt"
  done
  sync
}

files() { echo "$mnt/$name-dir/$name-file"{1,2,3}.txt; }

run_case() {
  # shellcheck disable=SC2046
  case $1 in
    "cv16 files") "$CLI" shred --yes --method 16 $(files) ;;
    "cv17 files") "$CLI" shred --yes --method 17 $(files) ;;
    "cv16 folder") "$CLI" shred --yes --method 16 "$mnt/$name-dir" ;;
    "cv16 +wipe-free") "$CLI" shred --yes --method 16 --then-wipe-free $(files) ;;
    "rm + wipe-free") rm $(files) && sync && "$CLI" wipe-free --yes --method 16 "$mnt" ;;
    "shred -u") shred -u $(files) ;;
    "rm") rm $(files) ;;
  esac
}

count() { grep -a -o -F "$1" "$img" | wc -l || true; }

cases=("cv16 files" "cv17 files" "cv16 folder" "cv16 +wipe-free" "rm + wipe-free" "shred -u" "rm")
all_cases() {
  printf '%-7s %-16s %8s %6s %8s\n' "fs" "case" "content" "names" "seconds"
  for fs in $FILESYSTEMS; do
    for case_ in "${cases[@]}"; do
      make_volume "$fs"
      t=$(seconds run_case "$case_")
      sync
      umount "$mnt"
      printf '%-7s %-16s %8d %6d %8.2f\n' "$fs" "$case_" "$(count "$content")" "$(count "$name")" "$t"
    done
  done
}
under_each_load all_cases
echo "(3 files of 32 KiB per case on a fresh $SIZE file system; content: copies of the marker text,"
echo " names: copies of the file and folder names, both counted in the raw image after unmounting)"
