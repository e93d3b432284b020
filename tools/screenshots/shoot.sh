#!/usr/bin/env bash
# Makes the screenshots of docs/screenshots: for each language a small job is
# simulated in a throw-away home, then each skin is captured at 1280x800 with its
# main panel, each option panel, a run in progress and a question box:
#   docs/screenshots/skin<1-4>-<main|backup-modes|filters|schedule|run|question>-<en|de>.png
# and docs/screenshot.png (the first skin's main panel, in English).
#   tools/screenshots/shoot.sh BUILD_FOLDER [DOCS_FOLDER [WIDTH HEIGHT]]
# It starts an X server of its own (xvfb-run); SHOOT_DISPLAY=:71 uses a running one
# instead (Xvfb :71 -screen 0 1280x800x24 &), whose screen must have the size asked for.
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# The tool takes each picture with ImageMagick's import and reduces it with convert.
command -v import >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: apt-get install xvfb" >&2; exit 2; }
docs=$(realpath "${2:-$here/../../docs}")
out="$docs/screenshots"
mkdir -p "$out"
size=("${@:3}")
cmake -S "$here/../.." -B "$build" -DDUALDOCK_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target shoot dualdock_resources >/dev/null
screen=1280x800
((${#size[@]} == 2)) && screen="${size[0]}x${size[1]}"

# One language: a fresh home and job, then every skin.
shoot_language() {
  local index=$1 tag=$2 work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  export HOME="$work/user" DUALDOCK_HOME="$work/program"
  mkdir -p "$HOME" "$DUALDOCK_HOME"
  cp -r "$build/Icons" "$build/Sprachen.txt" "$DUALDOCK_HOME/"
  printf "[Skin]\t\t0\r\n[Language]\t%s\r\n[FileTypes]\t0\r\n" "$index" >"$DUALDOCK_HOME/Settings.txt"
  local src="$work/Photos" dst="$work/Backup/Photos"
  mkdir -p "$src/2024/summer" "$src/2025/winter" "$src/tmp" "$dst/2024/summer" "$dst/old"
  for i in $(seq 1 12); do head -c $((i * 9000)) /dev/urandom >"$src/2024/summer/IMG_$i.jpg"; done
  for i in $(seq 1 6); do head -c $((i * 30000)) /dev/urandom >"$src/2025/winter/DSC_$i.jpg"; done
  echo scratch >"$src/tmp/cache.tmp"
  cp "$src/2024/summer/IMG_1.jpg" "$src/2024/summer/IMG_2.jpg" "$dst/2024/summer/"
  touch -d '2020-01-01' "$dst/2024/summer/IMG_2.jpg"
  # Each skin's run is caught in its fortieth deletion and stopped after it.
  for i in $(seq -w 1 170); do echo "old notes $i" >"$dst/old/notes-$i.txt"; done
  # The mirror mode: files only in the target are deleted.
  printf 'Dualdock V2.1\r\n\r\nDirectories:\r\n%s\r\n\r\n%s\r\n\r\n\r\n' "$src" "$dst" >"$work/photos.ddk"
  printf 'Operation Mode:\r\nIdentical:\t= =\r\nExtraInF1:\t=->\r\nExtraInF2:\t= x\r\nNewerInF1:\t=->\r\nNewerInF2:\t= =\r\n\r\n\r\n' \
    >>"$work/photos.ddk"
  if [[ -n "${SHOOT_DISPLAY:-}" ]]; then
    DISPLAY="$SHOOT_DISPLAY" "$build/shoot" "$work/photos.ddk" "$out" "$tag" "${size[@]}"
  else
    xvfb-run -a -s "-screen 0 ${screen}x24" "$build/shoot" "$work/photos.ddk" "$out" "$tag" "${size[@]}"
  fi
}

shoot_language 0 en
shoot_language 1 de
# 256 colours keep each picture small; the skins' gradients survive dithering.
for f in "$out"/*.png; do convert "$f" -dither FloydSteinberg -colors 256 "PNG8:$f"; done
cp "$out/skin1-main-en.png" "$docs/screenshot.png"
