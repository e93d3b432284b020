#!/usr/bin/env bash
# Makes the screenshots of docs/: a small job is simulated in a throw-away home,
# then each skin and each panel is captured at 1280x800.
#   tools/screenshots/shoot.sh BUILD_FOLDER [OUTPUT_FOLDER [WIDTH HEIGHT]]
set -euo pipefail
build=$(realpath "$1")
# The tool takes each picture with ImageMagick's import and reduces it with convert.
command -v import >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 2; }
out=$(realpath "${2:-docs}")
size=("${@:3}")
cmake -S "$(dirname "$0")/../.." -B "$build" -DDUALDOCK_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target shoot dualdock_resources >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/user" DUALDOCK_HOME="$work/program"
mkdir -p "$HOME" "$DUALDOCK_HOME"
cp -r "$build/Icons" "$build/Sprachen.txt" "$DUALDOCK_HOME/"
# SHOOT_LANGUAGE=1: the German texts.
printf "[Skin]\t\t0\r\n[Language]\t%s\r\n[FileTypes]\t0\r\n" "${SHOOT_LANGUAGE:-0}" >"$DUALDOCK_HOME/Settings.txt"
src="$work/Photos" dst="$work/Backup/Photos"
mkdir -p "$src/2024/summer" "$src/2025/winter" "$src/tmp" "$dst/2024/summer" "$dst/old"
for i in $(seq 1 12); do head -c $((i * 9000)) /dev/urandom >"$src/2024/summer/IMG_$i.jpg"; done
for i in $(seq 1 6); do head -c $((i * 30000)) /dev/urandom >"$src/2025/winter/DSC_$i.jpg"; done
echo scratch >"$src/tmp/cache.tmp"
cp "$src/2024/summer/IMG_1.jpg" "$src/2024/summer/IMG_2.jpg" "$dst/2024/summer/"
touch -d '2020-01-01' "$dst/2024/summer/IMG_2.jpg"
echo gone >"$dst/old/notes.txt"
printf 'Dualdock V2.1\r\n\r\nDirectories:\r\n%s\r\n\r\n%s\r\n\r\n\r\n' "$src" "$dst" >"$work/photos.ddk"
screen=1280x800
((${#size[@]} == 2)) && screen="${size[0]}x${size[1]}"
xvfb-run -a -s "-screen 0 ${screen}x24" "$build/shoot" "$work/photos.ddk" "$out" "${size[@]}"
# 256 colours keep each picture small; the skins' gradients survive dithering.
for f in "$out"/skin-*.png "$out"/panel-*.png; do convert "$f" -dither FloydSteinberg -colors 256 "PNG8:$f"; done
