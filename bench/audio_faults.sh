#!/usr/bin/env bash
# The real game against a sound server that hangs, quits and comes back, and against a
# clock that steps: a virtual display and a private PulseAudio with a null sink (see
# virtual_desktop.sh); each of the game's streams into the sink recorded with parec and
# measured with sox.
#
#   bench/audio_faults.sh [BUILD_DIR] [CASE...]
#
# Cases (all but frozen-long by default):
#   normal       the server answers: time to the window, loudness of the effects and of
#                the song
#   frozen       the server is stopped (SIGSTOP) before the game starts and resumed 10 s
#                later: time to the window, then the same measures once it is resumed
#   frozen-long  the same, stopped for 75 s: longer than the client library waits for an
#                answer, so the devices fail while the game runs; then a new game (F12)
#   restart      the server is killed mid-game (SIGKILL) and started again: the measures
#                8 s later, and after a new game (F12)
#   clock        (needs faketime) the game's clock is set back an hour, then forward three
#                weeks: whether the picture still changes (frames still run) after each
# Loudness is the RMS amplitude (0..1) of 2 s of one of the game's streams, recorded from
# the sink alone ("absent": the game has no such stream). What the game said on stderr is
# printed after each case. The window is looked for every 50 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(normal frozen restart clock)
exe="$build/zol"
[ -x "$exe" ] || { echo "no game at $exe (build it first)" >&2; exit 2; }
for tool in parec pactl sox; do
  command -v $tool >/dev/null || { echo "needs $tool (pulseaudio-utils, sox)" >&2; exit 2; }
done
work=$(mktemp -d /tmp/zol-bench-faults.XXXXXX)
# Clients never start a server of their own: only this script starts and restarts it.
printf 'autospawn = no\n' > "$work/client.conf"
export PULSE_CLIENTCONFIG="$work/client.conf"
. bench/virtual_desktop.sh
desktop_start with-sound
# A server left stopped by an interrupted case is resumed, so that it can be shut down.
trap 'kill -CONT "$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null)" 2>/dev/null; _vd_cleanup; rm -rf "$work"' EXIT

server_pid() { cat "$XDG_RUNTIME_DIR/pulse/pid"; }
server_start() {
  pulseaudio -D --exit-idle-time=-1 -n --load="module-null-sink sink_name=zolsink" \
    --load=module-native-protocol-unix >/dev/null 2>&1
  for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "the sound server did not start" >&2
  return 1
}

# The game's two streams into the sink as PulseAudio names them here: OpenAL Soft's
# carries the sound effects, FluidSynth's (through ALSA's PulseAudio plug-in) the song.
effects_stream="Playback Stream"
song_stream="ALSA Playback"
stream_index() {
  pactl list sink-inputs 2>/dev/null | awk -v want="media.name = \"$1\"" '
    /^Sink Input #/ { idx = substr($3, 2) }
    index($0, want) { print idx; exit }' || true
}
# RMS amplitude (0..1) of the next 2 s of one stream alone; "absent" without the stream.
loudness() {
  local i rms
  i=$(stream_index "$1")
  [ -n "$i" ] || { echo absent; return 0; }
  { parec --monitor-stream="$i" --raw --format=s16le --rate=44100 --channels=2 2>/dev/null |
      head -c $(( 2 * 44100 * 4 )) > "$work/rec.raw"; } || true
  rms=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/rec.raw" -n stat 2>&1 |
    awk '/RMS +amplitude/ { printf "%.4f", $3 }') || true
  echo "${rms:-n/a}"
}
launch() {  # launch [ENV...]: starts the game with its stderr kept; sets $game and $launched
  : > "$work/game.err"
  launched=$(now_ms)
  # The player's own settings (a muted song, say) must not change the measures.
  env ZOL_NO_SAVE=1 "$@" "$exe" 2>"$work/game.err" >/dev/null &
  game=$!
}
await_window() {  # await_window SECONDS: prints the window and the ms since launch
  local w="" until=$(( launched + $1 * 1000 ))
  while [ "$(now_ms)" -lt "$until" ]; do
    w=$(xdotool search --onlyvisible --name '^Zol 1\.1\.38$' 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && { echo "$w $(( $(now_ms) - launched ))"; return 0; }
    kill -0 "$game" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
press() { xdotool key --window "$window" "$@" 2>/dev/null || true; }
# The song's loudness, then the effects' while pause is switched four times (each switch
# plays a short sound and the game ends as it was).
measure() {
  local song effects toggles
  song=$(loudness "$song_stream")
  ( for _ in 1 2 3 4; do sleep 0.4; press p; done ) &
  toggles=$!
  effects=$(loudness "$effects_stream")
  wait "$toggles"
  echo "  $1: effects $effects, song $song"
}
# Answers the reset box with "Yes": it is drawn in the game's window with Yes focused.
new_game() {
  press F12
  sleep 0.3
  press Return
  sleep 0.3
}
quit() {  # closes the game with Escape and reports how long it took to end
  local t0 code
  t0=$(now_ms)
  press Escape
  for _ in $(seq 1 200); do kill -0 "$game" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$game" 2>/dev/null; then
    echo "  still running 10 s after Escape"
    kill -9 "$game" 2>/dev/null || true
  fi
  code=0
  wait "$game" 2>/dev/null || code=$?
  echo "  quit: ended $(( $(now_ms) - t0 )) ms after Escape, exit code $code"
  game=""
  sed 's/^/  stderr: /' "$work/game.err"
}
start_and_show() {  # start_and_show LIMIT_S [ENV...]: launch, wait for the window, focus it
  local limit=$1 found
  shift
  launch "$@"
  if ! found=$(await_window "$limit"); then
    echo "  no window within $limit s"
    sed 's/^/  stderr: /' "$work/game.err"
    kill -9 "$game" 2>/dev/null || true
    game=""
    return 1
  fi
  set -- $found
  window=$1
  echo "  window after $2 ms"
  xdotool mousemove --window "$window" 290 190 2>/dev/null || true
}

case_normal() {
  echo "normal: the server answers"
  start_and_show 20 || return 0
  sleep 1
  measure "running"
  quit
}

case_frozen() {  # case_frozen SECONDS
  echo "frozen: the server is stopped before start-up and resumed $1 s later"
  local pid resumer
  pid=$(server_pid)
  kill -STOP "$pid"
  ( sleep "$1"; kill -CONT "$pid" ) &
  resumer=$!
  start_and_show $(( $1 + 150 )) || { wait "$resumer"; return 0; }
  wait "$resumer"
  echo "  server resumed"
  sleep 2
  if [ "$1" -gt 60 ]; then
    # Unplayed for over a minute, the game has ended by itself: its pause key does nothing
    # and its song has stopped, so the measures wait for a new game.
    new_game
    sleep 1
    measure "after a new game"
  else
    measure "2 s after resuming"
  fi
  quit
}

case_restart() {
  echo "restart: the server is killed mid-game and started again"
  start_and_show 20 || return 0
  sleep 1
  measure "before"
  kill -KILL "$(server_pid)"
  sleep 1
  # A killed daemon can linger as a zombie where nothing reaps orphans (containers), and
  # its pid file would then keep the new server from starting.
  rm -f "$XDG_RUNTIME_DIR/pulse/pid"
  server_start
  echo "  server restarted"
  sleep 8
  measure "8 s later"
  new_game
  sleep 1
  measure "after a new game"
  quit
}

case_clock() {
  echo "clock: the game's monotonic clock steps (libfaketime)"
  local lib
  lib=$(ls /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 2>/dev/null || true)
  [ -n "$lib" ] || { echo "  needs faketime"; return 0; }
  # The offset file is replaced whole (rename), so the game never reads it half written.
  step() { echo "$1" > "$work/offset.new"; mv "$work/offset.new" "$work/offset"; }
  changes() {  # pixels that differ between two pictures of the window 1 s apart
    import -window "$window" "$work/a.png" 2>/dev/null
    sleep 1
    import -window "$window" "$work/b.png" 2>/dev/null
    compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true
  }
  step "+0"
  start_and_show 20 LD_PRELOAD="$lib" FAKETIME_TIMESTAMP_FILE="$work/offset" FAKETIME_NO_CACHE=1 || return 0
  sleep 1
  echo "  picture changes in 1 s: $(changes) pixels"
  step "-1h"
  sleep 0.3
  echo "  an hour back: picture changes in 1 s: $(changes) pixels"
  step "+21d"
  sleep 0.3
  echo "  three weeks forward: picture changes in 1 s: $(changes) pixels"
  kill -0 "$game" 2>/dev/null && echo "  still running" || echo "  the game ended"
  quit
}

for c in "${cases[@]}"; do
  case "$c" in
    normal) case_normal ;;
    frozen) case_frozen 10 ;;
    frozen-long) case_frozen 75 ;;
    restart) case_restart ;;
    clock) case_clock ;;
    *) echo "unknown case $c" >&2; exit 2 ;;
  esac
done
