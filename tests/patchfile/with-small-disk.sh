#!/usr/bin/env bash
# Runs a test with a 1 MiB file system mounted for it, named by QUILL_SMALL_DISK, so that a
# write fails with "disk full" honestly. Mounting needs root; without it the test is skipped
# (exit 77).
set -u
disk=$(mktemp -d /tmp/quill-small-disk.XXXXXX)
if ! mount -t tmpfs -o size=1m tmpfs "$disk" 2>/dev/null; then
    rmdir "$disk"
    echo "cannot mount a small tmpfs here (not root?): skipped"
    exit 77
fi
export QUILL_SMALL_DISK=$disk
"$@"
rc=$?
umount "$disk"
rmdir "$disk"
exit $rc
