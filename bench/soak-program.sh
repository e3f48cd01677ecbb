#!/usr/bin/env bash
# Soaks the real program on a virtual display: a bot plays with random keys, starts a
# new game every RESET_SECONDS (F12, then "Yes" on the reset box), and the game's
# resident memory is sampled every 10 seconds. Passes when the game is still running at
# the end, closes with 0, and the last sample lies within 2 MiB of the first one after
# warm-up (the sample at WARMUP_SECONDS).
#
#   bench/soak-program.sh [SECONDS] [BUILD_DIR]      (defaults: 600, build)
#
# Needs Xvfb, xdotool and xwininfo. Prints one "t=... rss_kib=..." line per sample, then a verdict.
set -euo pipefail
seconds=${1:-600}
build=${2:-build}
warmup=${WARMUP_SECONDS:-30}
reset_every=${RESET_SECONDS:-20}
exe="$build/zol"
[ -x "$exe" ] || { echo "no game at $exe (build it first)" >&2; exit 2; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null ||
  { echo "needs Xvfb, xdotool and xwininfo" >&2; exit 2; }
[ "$seconds" -gt "$warmup" ] || { echo "SECONDS must exceed the warm-up ($warmup s)" >&2; exit 2; }

# A display number nobody uses.
for n in $(seq $(( 100 + RANDOM % 100 )) 299); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
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
for _ in $(seq 1 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done

log=$(mktemp)
ZOL_NO_SAVE=1 ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy "$exe" >"$log" 2>&1 &
game=$!

# The game window carries the version in its caption; its boxes are called just "Zol".
window=""
for _ in $(seq 1 400); do
  window=$(xdotool search --onlyvisible --name '^Zol [0-9.]+$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  # A start-up box sits in the middle of the screen; without a window manager the
  # keyboard follows the pointer.
  xdotool mousemove 640 290 key Return 2>/dev/null || true
  sleep 0.05
done
[ -n "$window" ] || { echo "the window never appeared" >&2; cat "$log" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$(( X + WIDTH / 2 )); cy=$(( Y + HEIGHT / 2 ))
xdotool mousemove "$cx" "$cy"

# Answers the reset box with "Yes": the box is drawn in the game's window with Yes focused.
answer_box() {
  sleep 0.2
  xdotool key Return 2>/dev/null || true
  sleep 0.2
}

keys=(Up Down Left Left Left space Right Up Down BackSpace)
start=$(date +%s)
next_sample=$(( start + 10 ))
next_reset=$(( start + reset_every ))
baseline=""
last=""
resets=0
while :; do
  now=$(date +%s)
  kill -0 "$game" 2>/dev/null || { echo "the game ended during the soak" >&2; cat "$log" >&2; exit 1; }
  if [ "$now" -ge "$next_sample" ]; then
    last=$(awk '/VmRSS/ {print $2}' "/proc/$game/status")
    t=$(( now - start ))
    echo "t=${t}s rss_kib=$last"
    [ -z "$baseline" ] && [ "$t" -ge "$warmup" ] && baseline=$last
    next_sample=$(( next_sample + 10 ))
  fi
  [ $(( now - start )) -ge "$seconds" ] && break
  if [ "$now" -ge "$next_reset" ]; then
    xdotool key F12 2>/dev/null || true
    answer_box
    resets=$(( resets + 1 ))
    next_reset=$(( now + reset_every ))
  fi
  # A bomb now and then; otherwise steering keys.
  if [ $(( RANDOM % 40 )) -eq 0 ]; then
    xdotool key Return 2>/dev/null || true
  else
    xdotool key "${keys[RANDOM % ${#keys[@]}]}" 2>/dev/null || true
  fi
  sleep 0.1
done

kill -TERM "$game"
status=0
wait "$game" || status=$?
game=""
echo "resets: $resets"
echo "closed_with: $status"
[ -n "$baseline" ] || baseline=$last
drift=$(( last - baseline ))
echo "rss_drift_kib: $drift (baseline $baseline at ${warmup}s, last $last)"
[ "$status" -eq 0 ] || { echo "FAIL: the game did not close with 0" >&2; cat "$log" >&2; exit 1; }
[ "${drift#-}" -le 2048 ] || { echo "FAIL: resident memory moved by more than 2 MiB" >&2; exit 1; }
echo "PASS"
