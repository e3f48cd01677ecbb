#!/usr/bin/env bash
# CPU and memory of the running game while it is played: the real game on a virtual
# display with Mesa's llvmpipe, keys sent by xdotool a few times a second (steering,
# cycling, pushing left), for SECONDS seconds. CPU is the game process's user + system
# time (its audio and rendering threads included) over that span, in per cent of one core.
#
#   bench/cpu_play.sh [BUILD_DIR] [SECONDS] [music|no-music|no-sound] [ENV...]
#
#   music     a virtual sound card: wave sounds through OpenAL Soft, the song through
#             FluidSynth (the default)
#   no-music  the same, but the program's folder has no midi/back.mid, so FluidSynth runs
#             without a song
#   no-sound  no sound server: both devices are missing (their two message boxes are
#             answered with Enter before the game starts)
# ENV entries (NAME=value) are passed to the game, e.g. LP_NUM_THREADS=1.
# Prints cpu_percent, rss_kib (at the end) and hwm_kib (the peak resident size); with
# PER_THREAD=1 also each thread's share and its context switches per second. With
# IDLE_PHASES=1 two more figures follow, each over SECONDS: paused_cpu_percent (P pressed,
# no keys) and hidden_cpu_percent (the window unmapped, as when minimised; music plays on).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-30}
mode=${3:-music}
shift $(( $# < 3 ? $# : 3 ))
[ -x "$build/zol" ] || { echo "no game at $build/zol (build it first)" >&2; exit 2; }
. bench/virtual_desktop.sh
exe="$build/zol"
case "$mode" in
  music) desktop_start with-sound ;;
  no-sound) desktop_start ;;
  no-music)
    desktop_start with-sound
    # The program with its images and sounds but without its song.
    copy=$(mktemp -d /tmp/zol-bench-nomusic.XXXXXX)
    trap '_vd_cleanup; rm -rf "$copy"' EXIT
    cp "$build/zol" "$copy/"
    cp -r "$build/img" "$build/wave" "$copy/"
    mkdir "$copy/midi"
    exe="$copy/zol"
    ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac

game_start "$exe" "$@"
if [ "$mode" = no-sound ]; then
  # Each box waits for a key; without a window manager the keyboard follows the pointer.
  # The pointer goes into the box itself: it is drawn over the game's window.
  for _ in $(seq 1 20); do
    sleep 0.5
    xdotool search --onlyvisible --name '^Zol 1\.1\.38$' >/dev/null 2>&1 && break
    at=$(message_box_centre) && xdotool mousemove $at key Return 2>/dev/null || true
  done
fi
window=$(game_window) || { echo "the window never appeared" >&2; exit 1; }
xdotool mousemove --window "$window" 290 190 2>/dev/null || true
sleep 1

hz=$(getconf CLK_TCK)
# One line per thread: id, name, user + system ticks, voluntary + forced switches.
thread_sample() {
  local t stat
  for t in /proc/"$game"/task/*; do
    read -r -a stat <"$t/stat" || continue
    echo "${t##*/} $(<"$t/comm") $((stat[13] + stat[14])) $(awk '/ctxt_switches/ { s += $2 } END { print s }' "$t/status")"
  done 2>/dev/null
}
[ "${PER_THREAD:-0}" = 1 ] && threads0=$(thread_sample)
t0=$(cpu_ticks "$game")
w0=$(now_ms)
keys=(Down Up Left space Down Left space Up Left Left)
end=$(( w0 + seconds * 1000 ))
i=0
while [ "$(now_ms)" -lt "$end" ]; do
  xdotool key --window "$window" "${keys[i % ${#keys[@]}]}" 2>/dev/null || true
  i=$((i + 1))
  sleep 0.4
done
t1=$(cpu_ticks "$game")
w1=$(now_ms)
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v ms="$((w1 - w0))" \
  'BEGIN { printf "cpu_percent: %.1f\n", (b - a) * 100 / hz / (ms / 1000) }'
echo "keys_sent: $i"
if [ "${PER_THREAD:-0}" = 1 ]; then
  threads1=$(thread_sample)
  ms=$((w1 - w0))
  join <(sort <<<"$threads0") <(sort <<<"$threads1") |
    awk -v hz="$hz" -v ms="$ms" '{ printf "  thread %-16s cpu %4.1f %%  switches %5.0f/s\n",
      $2, ($6 - $3) * 100 / hz / (ms / 1000), ($7 - $4) / (ms / 1000) }'
fi
echo "rss_kib: $(awk '/VmRSS/ {print $2}' "/proc/$game/status")"
echo "hwm_kib: $(awk '/VmHWM/ {print $2}' "/proc/$game/status")"
echo "threads: $(awk '/Threads/ {print $2}' "/proc/$game/status")"
if [ "${IDLE_PHASES:-0}" = 1 ]; then
  # The CPU share over SECONDS from now, in per cent of one core.
  measure() {
    local a b w0 w1
    a=$(cpu_ticks "$game"); w0=$(now_ms)
    sleep "$seconds"
    b=$(cpu_ticks "$game"); w1=$(now_ms)
    awk -v a="$a" -v b="$b" -v hz="$hz" -v ms="$((w1 - w0))" 'BEGIN { printf "%.1f\n", (b - a) * 100 / hz / (ms / 1000) }'
  }
  xdotool key --window "$window" p 2>/dev/null || true
  sleep 2  # the pause's fade settles
  echo "paused_cpu_percent: $(measure)"
  xdotool windowunmap "$window" 2>/dev/null || true
  sleep 1
  echo "hidden_cpu_percent: $(measure)"
  xdotool windowmap "$window" 2>/dev/null || true
fi
