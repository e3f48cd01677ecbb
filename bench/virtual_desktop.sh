# Sourced by the bench scripts that run the real game: a virtual display and, on request,
# a virtual sound card, both private to the calling script and removed when it exits.
#
#   desktop_start [with-sound]   starts Xvfb (DISPLAY) and, with "with-sound", a
#                                PulseAudio with a null sink in a private runtime folder
#   game_start EXE [ENV...]      starts the game with extra environment; sets $game
#   game_window                  waits for the visible game window; prints its id
#   message_box_centre           the screen point "X Y" in the middle of a message box the
#                                game shows at start-up (drawn in its window); fails when
#                                none is open
#   cpu_ticks PID                user + system clock ticks of a process so far
#   now_ms                       milliseconds of the wall clock
#
# The display number is ZOL_DISPLAY (default 91).

now_ms() { date +%s%3N; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

_vd_xvfb=""
_vd_pulse_dir=""
game=""

_vd_cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null && wait "$game" 2>/dev/null
  if [ -n "$_vd_pulse_dir" ]; then
    XDG_RUNTIME_DIR=$_vd_pulse_dir pulseaudio --kill 2>/dev/null || true
    rm -rf "$_vd_pulse_dir"
  fi
  [ -n "$_vd_xvfb" ] && kill "$_vd_xvfb" 2>/dev/null
  return 0
}

desktop_start() {
  command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null ||
    { echo "needs Xvfb, xdotool and xwininfo (x11-utils)" >&2; exit 2; }
  trap _vd_cleanup EXIT
  trap "exit 1" INT TERM HUP PIPE
  local display=":${ZOL_DISPLAY:-91}"
  Xvfb "$display" -screen 0 1280x800x24 -noreset >/dev/null 2>&1 &
  _vd_xvfb=$!
  export DISPLAY=$display
  for _ in $(seq 1 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  if [ "${1:-}" = with-sound ]; then
    command -v pulseaudio >/dev/null || { echo "needs pulseaudio" >&2; exit 2; }
    _vd_pulse_dir=$(mktemp -d /tmp/zol-bench-pulse.XXXXXX)
    export XDG_RUNTIME_DIR=$_vd_pulse_dir
    pulseaudio -D --exit-idle-time=-1 -n --load="module-null-sink sink_name=zolsink" \
      --load=module-native-protocol-unix >/dev/null 2>&1
    for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  else
    # No sound server: OpenAL Soft and FluidSynth find no output.
    export XDG_RUNTIME_DIR=$(mktemp -d /tmp/zol-bench-nosound.XXXXXX)
  fi
}

game_start() {
  local exe=$1
  shift
  # Measuring runs keep no scores or settings: the player's own files stay untouched.
  env ZOL_NO_SAVE=1 "$@" "$exe" >/dev/null 2>&1 &
  game=$!
}

game_window() {
  local w
  for _ in $(seq 1 1000); do
    w=$(xdotool search --onlyvisible --name '^Zol 1\.1\.38$' 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.005
  done
  return 1
}

message_box_centre() {
  # A box at start-up is drawn in the middle of the game's window, which is still called
  # just "Zol" (the caption with the version comes after the devices).
  local w
  w=$(xdotool search --onlyvisible --name '^Zol$' 2>/dev/null | head -n1) || return 1
  [ -n "$w" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$w")"
  echo "$(( X + WIDTH / 2 )) $(( Y + HEIGHT / 2 ))"
}
