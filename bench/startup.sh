#!/usr/bin/env bash
# Start-up of the real game on a virtual desktop with a virtual sound card (so that
# neither sound nor music has to report a missing device): the time from launching the
# process until its window is visible with the versioned caption, which start-up shows
# right before it draws and presents the first frame. Each run is a fresh process; the
# first one warms the disk cache and is left out.
#
#   bench/startup.sh [BUILD_DIR] [RUNS]
#
# Prints every run, then the median, minimum and maximum in milliseconds. The window is
# looked for every few milliseconds with xdotool, so a figure can be late by about 5 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-9}
exe="$build/zol"
[ -x "$exe" ] || { echo "no game at $exe (build it first)" >&2; exit 2; }
. bench/virtual_desktop.sh
desktop_start with-sound

times=()
for run in $(seq 0 "$runs"); do
  start=$(now_ms)
  game_start "$exe"
  game_window >/dev/null || { echo "the window never appeared" >&2; exit 1; }
  shown=$(now_ms)
  kill "$game"
  wait "$game" 2>/dev/null || true
  game=""
  [ "$run" -eq 0 ] && continue
  times+=($((shown - start)))
  echo "run $run: $((shown - start)) ms"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END {
  printf "startup_ms median %d min %d max %d (%d runs)\n", a[int((NR + 1) / 2)], a[1], a[NR], NR }'
