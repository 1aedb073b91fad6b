#!/usr/bin/env bash
# The converter writing onto a full disk (a 64 KB tmpfs mounted here): each
# output kind fails with exit status 1 and "Disk full." for its output, the
# file it was to replace keeps every byte, and nothing is left beside it;
# in batch mode too. Mounting needs root: elsewhere the test is skipped.
# Usage: convert_full_disk_test.sh SOURCE_DIR BINARY_DIR. Exit 77 = skipped.
set -u
source "$1/tests/shell_support.sh"
converter_test_setup "$@"

start_checks
disk=$dir/disk
cleanup() {
  umount -l "$disk" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
mkdir "$disk"
if ! mount -t tmpfs -o size=64k tmpfs "$disk" 2>"$dir/mount.err"; then
  echo "SKIP: cannot mount a tmpfs ($(cat "$dir/mount.err")); the full-disk test needs root"
  exit 77
fi
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

outputs="sp jdx asc plt svg wmf png pdf"
for ext in $outputs; do printf 'the old %s file' "$ext" >"$disk/sample.$ext"; done
# Takes every free block; the write that finds the disk full fails, which
# is the point.
head -c 100000 /dev/zero >"$disk/filler" 2>/dev/null
[ "$(df --output=avail -B1 "$disk" | tail -n 1 | tr -d ' ')" = 0 ] || fail "the disk is not full"
before=$(ls -A "$disk")

for ext in $outputs; do
  "$convert" "$sample" "$disk/sample.$ext" >"$dir/out" 2>"$dir/err"
  status=$?
  [ "$status" -eq 1 ] || fail "$ext: exit $status (wanted 1)"
  grep -qxF "tesvar-convert: $disk/sample.$ext: Disk full." "$dir/err" ||
    fail "$ext: said $(head -c 300 "$dir/err")"
  [ "$(cat "$disk/sample.$ext")" = "the old $ext file" ] || fail "$ext: the old file changed"
  [ "$(ls -A "$disk")" = "$before" ] || fail "$ext: left $(ls -A "$disk" | tr '\n' ' ')"
done

# Batch mode: the new file cannot be written either, and is not there.
"$convert" --to jdx --output-dir "$disk" "$sample" >"$dir/out" 2>"$dir/err"
status=$?
[ "$status" -eq 1 ] || fail "batch: exit $status (wanted 1)"
grep -qxF "tesvar-convert: $disk/polystyrene.jdx: Disk full." "$dir/err" ||
  fail "batch: said $(head -c 300 "$dir/err")"
[ "$(ls -A "$disk")" = "$before" ] || fail "batch: left $(ls -A "$disk" | tr '\n' ' ')"

end_checks "all outputs refused the full disk and kept the old files"
