#!/usr/bin/env bash
# Measures the running game on a virtual display: the time from launch until the window
# shows its versioned caption, the CPU it uses while idling in its 30 ms loop, and its
# resident memory. Message boxes that start-up shows (a missing sound or music device)
# are answered with Enter, and the time spent in them is reported separately.
#
#   bench/startup.sh [BUILD_DIR] [IDLE_SECONDS]
#
# Needs Xvfb and xdotool. Prints one "name: value" line per figure.
set -euo pipefail
[ -n "${ZOL_BENCH_TRACE:-}" ] && set -x
build=${1:-build}
idle=${2:-10}
exe="$build/zol"
[ -x "$exe" ] || { echo "no game at $exe (build it first)" >&2; exit 2; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool" >&2; exit 2; }

display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1280x800x24 -noreset >/dev/null 2>&1 &
xvfb=$!
game=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP PIPE
export DISPLAY=$display
sleep 1

now_ms() { date +%s%3N; }
start=$(now_ms)
ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy "$exe" >/dev/null 2>&1 &
game=$!
boxes=0
window=""
for _ in $(seq 1 200); do
  window=$(xdotool search --name '^Zol 1\.1\.38$' 2>/dev/null | head -n1 || true)
  if [ -n "$window" ] && xdotool getwindowgeometry "$window" >/dev/null 2>&1 &&
     [ "$(xdotool search --onlyvisible --name '^Zol 1\.1\.38$' 2>/dev/null | head -n1)" = "$window" ]; then
    break
  fi
  window=""
  # Before the game window, a message box sits in the middle of the screen. Without a
  # window manager the keyboard follows the pointer, so it takes Enter once the pointer
  # rests on it.
  if [ $(( $(now_ms) - start )) -gt $(( 300 + boxes * 300 )) ]; then
    xdotool mousemove 640 290 key Return 2>/dev/null || true
    boxes=$((boxes + 1))
  fi
  sleep 0.05
done
[ -n "$window" ] || { echo "the window never appeared" >&2; exit 1; }
shown=$(now_ms)
echo "startup_ms: $(( shown - start ))"
echo "enter_presses_for_boxes: $boxes"

ticks() { awk '{print $14 + $15}' "/proc/$game/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
sleep "$idle"
t1=$(ticks)
echo "idle_cpu_percent: $(awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$idle" 'BEGIN { printf "%.1f", (b - a) * 100 / hz / s }')"
echo "rss_kib: $(awk '/VmRSS/ {print $2}' "/proc/$game/status")"
echo "hwm_kib: $(awk '/VmHWM/ {print $2}' "/proc/$game/status")"
kill "$game"
wait "$game" 2>/dev/null || true
game=""
