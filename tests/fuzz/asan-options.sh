# Sourced by run.sh and campaign.sh. A quarantine of 16 MiB still holds every block a run frees
# (a run allocates far less), so a use after free is still caught, but the default 256 MiB one
# cycles through fresh pages and makes page faults most of a run's time.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16"
