#!/usr/bin/env bash
# Loudness of the music and the sound effects, as the game plays them. Everything is
# measured with ffmpeg's EBU R128 meter (integrated loudness in LUFS, true peak) and sox
# (sample peak).
#
#   bench/loudness.sh [BUILD_DIR] [SONG.mid]
#
# 1. The song offline, through the game's own music module and FluidSynth with the
#    soundfont the game loads (bench_loudness_render song): at full gain (master volume 1)
#    for PASSES trips round the game's loop (default 16), giving the peak of the first
#    trip, the median and the highest trip (every trip peaks a little differently: the
#    loop is not a whole number of the synthesiser's 64-sample blocks, so the notes of
#    each trip fall on the block grid differently); and at the game's own setting (the
#    game's request with volume 0.8, 20 dB below full gain), two trips, for its loudness.
# 2. The ten effects offline, each played once as the game plays it (the game's volume
#    and frequency for it, through the game's sound module and OpenAL Soft, recorded by
#    OpenAL Soft's wave-file writer, which starts at an arbitrary moment: the recording is
#    cut to start where the sound does, so that the meter's 400 ms blocks fall the same
#    way on every run), and all ten one after another.
# 3. Unless NO_GAME=1: the real game on a virtual display with a private PulseAudio null
#    sink, played by xdotool keys for GAME_SECONDS seconds (default 75, about one trip
#    round the loop) three times: with its song and no wave files (the music alone),
#    with its wave files and no song (the effects alone, as they happen in play), and
#    with both (the mix). parec records the sink.
#
# SONG.mid measures another song in the place of BUILD_DIR/midi/back.mid (for example
# the one before a change). Tools missing from the machine (ffmpeg, sox; for the game
# part also Xvfb, xdotool, x11-utils, pulseaudio, pulseaudio-utils) are installed from
# Debian's packages. Figures are printed; the work folder is removed at the end unless
# KEEP=1. The virtual display is ZOL_DISPLAY (default 91).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
song=${2:-$build/midi/back.mid}
passes=${PASSES:-16}
game_seconds=${GAME_SECONDS:-75}
render="$build/bench_loudness_render"
[ -x "$render" ] || { echo "no $render (build the target bench_loudness_render)" >&2; exit 2; }
[ -f "$song" ] || { echo "no song at $song" >&2; exit 2; }

need() {  # need PACKAGE COMMAND...: installs the package when a command is missing
  local pkg=$1 cmd
  shift
  for cmd in "$@"; do
    command -v "$cmd" >/dev/null && continue
    echo "installing $pkg (for $cmd)" >&2
    # No recommended packages: fluidsynth's would bring another default soundfont.
    apt-get install -y -qq --no-install-recommends "$pkg" >/dev/null ||
      { apt-get update -qq >/dev/null && apt-get install -y -qq --no-install-recommends "$pkg" >/dev/null; }
    return
  done
}
need ffmpeg ffmpeg
need sox sox

work=$(mktemp -d /tmp/zol-loudness.XXXXXX)
[ "${KEEP:-0}" = 1 ] && echo "work folder: $work" >&2
cleanup_work() { [ "${KEEP:-0}" = 1 ] || rm -rf "$work"; }
trap cleanup_work EXIT

# The game's files in a private folder, with the song under test.
data="$work/data"
mkdir -p "$data/midi"
cp -r "$build/wave" "$build/img" "$data/"
cp "$song" "$data/midi/back.mid"

# ebur FILE: "I TP" (integrated loudness in LUFS, true peak in dBFS).
ebur() {
  ffmpeg -hide_banner -nostats -i "$1" -af ebur128=peak=true -f null - 2>&1 |
    sed -n '/Summary:/,$p' | awk '/I:/ { i = $2 } /Peak:/ { p = $2 } END { print i, p }'
}
# peak FILE [START LENGTH]: sample peak in dBFS.
peak() {
  local range=()
  [ $# -ge 3 ] && range=(trim "$2" "$3")
  sox -V1 "$1" -n "${range[@]}" stat 2>&1 | awk '/Maximum amplitude/ { a = $3 } /Minimum amplitude/ { b = -$3 }
    END { m = a > b ? a : b; if (m <= 0) print "-inf"; else printf "%.2f\n", 20 * log(m) / log(10) }'
}

# One trip round the loop: music time 0..110600 at 768 ticks a quarter note.
tempo=$(od -An -tx1 -v "$data/midi/back.mid" | tr -d ' \n' | grep -o 'ff5103[0-9a-f]\{6\}' | head -n1 | cut -c7-)
trip=$(awk -v t=$((16#${tempo:-07e479})) 'BEGIN { printf "%.4f", 110600 / 768 * t / 1e6 }')

echo "== song (offline, the game's music module and FluidSynth): $song"
"$render" song "$data" "$work/full.wav" 1 "$(awk -v t="$trip" -v n="$passes" 'BEGIN { print t * n }')" 2>"$work/render.log"
sed 's/^/   /' "$work/render.log"
trips=()
for ((i = 0; i < passes; i++)); do
  trips+=("$(peak "$work/full.wav" "$(awk -v t="$trip" -v i="$i" 'BEGIN { print t * i }')" "$trip")")
done
read -r full_i full_tp < <(ebur "$work/full.wav")
sorted=$(printf '%s\n' "${trips[@]}" | sort -g)
echo "full gain: peak of each trip (dBFS): ${trips[*]}"
echo "full gain: peak first trip ${trips[0]} dBFS, median $(sed -n "$(( (passes + 1) / 2 ))p" <<<"$sorted") dBFS," \
  "highest $(tail -n1 <<<"$sorted") dBFS, true peak $full_tp dBFS; loudness $full_i LUFS"
"$render" song "$data" "$work/game.wav" 0.8 "$(awk -v t="$trip" 'BEGIN { print 2 * t }')" 2>/dev/null
read -r music_i music_tp < <(ebur "$work/game.wav")
echo "game setting (volume 0.8): music alone $music_i LUFS, true peak $music_tp dBFS"

echo "== effects (offline, the game's sound module and OpenAL Soft, as the game plays them)"
# name volume frequency, as the game asks for them; clack.wav at the first pair of a chain.
effects=("hit.wav 0.9 0" "dip.wav 0 0" "ready.wav 0 0" "clack.wav 0 0.21" "ammo.wav 0 0"
         "bomb.wav 0 0" "hui.wav 0.9 0" "pause.wav 0 0" "gameover.wav 0 0.5" "gameover2.wav 0 0")
mkdir -p "$work/fx"
files=()
for e in "${effects[@]}"; do
  read -r name volume frequency <<<"$e"
  printf 'drivers = wave\n[wave]\nfile = %s\n' "$work/fx/$name" >"$work/fx/alsoft.conf"
  ALSOFT_CONF="$work/fx/alsoft.conf" ALSOFT_DRIVERS=wave "$render" sound "$data" "$name" "$volume" "$frequency"
  sox -V1 "$work/fx/$name" "$work/fx/cut.wav" silence 1 1 -100d
  mv "$work/fx/cut.wav" "$work/fx/$name"
  read -r i tp < <(ebur "$work/fx/$name")
  awk -v n="$name" -v v="$volume" -v f="$frequency" -v i="$i" -v tp="$tp" -v m="$music_i" \
    'BEGIN { printf "  %-14s volume %-3s frequency %-4s  %6.1f LUFS  true peak %6.1f dBFS  %+5.1f LU over the music\n", n, v, f, i, tp, i - m }'
  files+=("$work/fx/$name")
done
sox -V1 "${files[@]}" "$work/fx/all.wav"
read -r all_i all_tp < <(ebur "$work/fx/all.wav")
awk -v i="$all_i" -v m="$music_i" 'BEGIN { printf "  all ten in a row  %6.1f LUFS  %+5.1f LU over the music\n", i, i - m }'

[ "${NO_GAME:-0}" = 1 ] && exit 0

echo "== the real game: Xvfb, PulseAudio null sink, ${game_seconds} s of play each"
need xvfb Xvfb
need xdotool xdotool
need x11-utils xwininfo
need pulseaudio pulseaudio
need pulseaudio-utils parec
exe="$build/zol"
[ -x "$exe" ] || { echo "no game at $exe" >&2; exit 2; }
cp "$exe" "$data/zol"
. bench/virtual_desktop.sh
desktop_start with-sound
trap '_vd_cleanup; cleanup_work' EXIT

# play FOLDER OUT.wav: runs the game from FOLDER, steers it with keys and records the sink.
play() {
  game_start "$1/zol" ZOL_NO_SAVE=1
  local window
  window=$(game_window) || { echo "the window never appeared" >&2; exit 1; }
  xdotool mousemove --window "$window" 290 190 2>/dev/null || true
  parec -d zolsink.monitor --format=float32le --rate=44100 --channels=2 --file-format=wav "$2" &
  local rec=$! i=0
  local keys=(Down Up Left space Down Left space Up Left Left)
  local end=$(( $(now_ms) + game_seconds * 1000 ))
  while [ "$(now_ms)" -lt "$end" ]; do
    xdotool key --window "$window" "${keys[i % ${#keys[@]}]}" 2>/dev/null || true
    i=$((i + 1))
    sleep 0.4
  done
  kill -INT "$rec" 2>/dev/null || true
  wait "$rec" 2>/dev/null || true
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  game=""
}
for kind in music effects mix; do
  folder="$work/game-$kind"
  mkdir -p "$folder/midi"
  cp -r "$data/img" "$data/zol" "$folder/"
  [ "$kind" != effects ] && cp "$data/midi/back.mid" "$folder/midi/"
  [ "$kind" != music ] && cp -r "$data/wave" "$folder/"
  play "$folder" "$work/game-$kind.wav"
done
read -r g_music_i g_music_tp < <(ebur "$work/game-music.wav")
read -r g_fx_i g_fx_tp < <(ebur "$work/game-effects.wav")
read -r g_mix_i g_mix_tp < <(ebur "$work/game-mix.wav")
echo "music alone  $g_music_i LUFS  true peak $g_music_tp dBFS"
echo "effects alone (as they happen in play)  $g_fx_i LUFS  true peak $g_fx_tp dBFS"
echo "mix  $g_mix_i LUFS  true peak $g_mix_tp dBFS"
awk -v f="$g_fx_i" -v m="$g_music_i" 'BEGIN { printf "effects over the music: %+.1f LU\n", f - m }'
