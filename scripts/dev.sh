#!/usr/bin/env bash
# Builds Dualdock on Debian 12 and runs it or its tests. Installs what it needs with
# apt-get first, and only what is missing.
#   scripts/dev.sh run [JOB.ddk]   build, then open the window (optionally with a job file)
#   scripts/dev.sh cli [ARGS...]   build, then run the command-line program dualdock-cli
#   scripts/dev.sh test            build, then run every test (ctest)
#   scripts/dev.sh bench           build the benchmarks and run them
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-test}
shift || true

packages=(cmake g++ ninja-build libgtest-dev qt6-base-dev qt6-qpa-plugins libgl-dev xvfb xauth)
case "$mode" in
  bench) packages+=(libbenchmark-dev rsync time) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

build=${DUALDOCK_BUILD_DIR:-build}
bench_flag=OFF
[ "$mode" = bench ] && bench_flag=ON
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUALDOCK_BUILD_BENCH=$bench_flag >/dev/null
cmake --build "$build" -j "$(nproc)"

case "$mode" in
  run) exec "$build/dualdock" "$@" ;;
  cli) exec "$build/dualdock-cli" "$@" ;;
  test) cd "$build" && ctest --output-on-failure -j "$(nproc)" ;;
  bench) exec bench/run.sh "$build" ;;
  *) echo "usage: scripts/dev.sh run|cli|test|bench" >&2; exit 2 ;;
esac
