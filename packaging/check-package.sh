#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it:
#   packaging/check-package.sh [BUILD_DIR]      (default: build)
# The listing must hold the program with its resources in /usr/lib/games/zol, the link
# /usr/games/zol, the desktop entry, the icons, the metainfo, the manual page, the
# copyright file and the changelog; the program must be hardened; the desktop entry, the
# metainfo and the manual page are validated where the tools exist (desktop-file-utils,
# appstream, man-db); lintian (installed when missing) must report no error or warning.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j2 --target zol docs
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/zol_*.deb | head -1)
echo "package: $deb"
listing=$(dpkg-deb -c "$deb")
fail=0
expect() {
  if ! grep -qE "$1" <<<"$listing"; then
    echo "missing in the package: $1" >&2
    fail=1
  fi
}
expect ' \./usr/lib/games/zol/zol$'
for f in img/back.png img/blocks.png img/particles.png img/fnt_minco.png img/window.png \
         img/icon.png midi/back.mid wave/hit.wav wave/clack.wav wave/pause.wav; do
  expect " \./usr/lib/games/zol/$f\$"
done
expect '^l.* \./usr/games/zol -> \.\./lib/games/zol/zol$'
expect ' \./usr/share/applications/org\.zolgame\.Zol\.desktop$'
expect ' \./usr/share/metainfo/org\.zolgame\.Zol\.metainfo\.xml$'
for s in 16 32 48 64 128 256; do
  expect " \./usr/share/icons/hicolor/${s}x${s}/apps/org\.zolgame\.Zol\.png\$"
done
expect ' \./usr/share/man/man6/zol\.6\.gz$'
expect ' \./usr/share/doc/zol/copyright$'
expect ' \./usr/share/doc/zol/changelog\.Debian\.gz$'
if grep -qE ' \./usr/(local|bin)/' <<<"$listing"; then
  echo "files outside the game's places" >&2
  fail=1
fi

[ "$(dpkg-deb -f "$deb" Section)" = games ] || { echo "section is not games" >&2; fail=1; }
depends=$(dpkg-deb -f "$deb" Depends)
for d in 'timgm6mb-soundfont \| sf2-soundfont-gm' libsdl2-2\.0-0 libfluidsynth libopenal1; do
  grep -qE "$d" <<<"$depends" || { echo "Depends lacks $d" >&2; fail=1; }
done

# Validate what was packed.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
# The changelog's latest entry is the package's version.
version=$(dpkg-deb -f "$deb" Version)
head -1 <(gzip -dc "$tmp/usr/share/doc/zol/changelog.Debian.gz") | grep -qF "zol ($version) " ||
  { echo "the changelog's latest entry is not for $version" >&2; fail=1; }
grep -qx 'Exec=/usr/games/zol' "$tmp/usr/share/applications/org.zolgame.Zol.desktop" ||
  { echo "the desktop entry does not start /usr/games/zol" >&2; fail=1; }
# Hardened as Debian builds: bound at start with read-only relocations, a stack
# protector, fortified libc calls.
program="$tmp/usr/lib/games/zol/zol"
dynamic=$(readelf -d "$program")
grep -qE 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || { echo "not linked with -z now" >&2; fail=1; }
readelf -lW "$program" | grep -q GNU_RELRO || { echo "not linked with -z relro" >&2; fail=1; }
symbols=$(readelf --dyn-syms -W "$program")
grep -q '__stack_chk_fail' <<<"$symbols" || { echo "no stack protector" >&2; fail=1; }
grep -qE '__[a-z_]+_chk(@|$| )' <<<"$symbols" || { echo "no fortified libc calls" >&2; fail=1; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$tmp/usr/share/applications/org.zolgame.Zol.desktop" || fail=1
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$tmp/usr/share/metainfo/org.zolgame.Zol.metainfo.xml" || fail=1
fi
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$tmp/usr/share/man/man6/zol.6.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings" >&2; fail=1; }
fi

# lintian: any error or warning fails the check.
if ! command -v lintian >/dev/null; then
  echo "Installing lintian"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null
fi
# (lintian's note about running as root is not about the package)
report=$(lintian "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$report" ] || echo "$report"
if grep -qE '^[EW]: ' <<<"$report"; then
  echo "lintian reports errors or warnings" >&2
  fail=1
fi
[ "$fail" = 0 ] && echo "package OK"
exit "$fail"
