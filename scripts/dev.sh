#!/usr/bin/env bash
# Builds Dualdock on Debian 12 and runs it or its tests. Installs what it needs with
# apt-get first, and only what is missing.
#   scripts/dev.sh run [JOB.ddk]   build, then open the window (optionally with a job file)
#   scripts/dev.sh cli [ARGS...]   build, then run the command-line program dualdock-cli
#   scripts/dev.sh test            build, then run every test (ctest)
#   scripts/dev.sh bench           build the benchmarks and run them
#   scripts/dev.sh package         build the Debian package (.deb) in $DUALDOCK_BUILD_DIR-package
#                                  and check it with lintian (a warning fails it)
#   scripts/dev.sh fuzz [SECONDS] [NAME...]
#                                  build the fuzz harnesses with clang (own build
#                                  folder) and run each for SECONDS (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-test}
shift || true

packages=(cmake g++ ninja-build libgtest-dev libxxhash-dev python3 desktop-file-utils appstream shared-mime-info qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev xvfb xauth)
case "$mode" in
  # zsh and fish: the shell completions are tried in them; clang-format checks the layout of the code.
  test) packages+=(dbus-daemon zsh fish clang-format) ;;
  bench) packages+=(libbenchmark-dev rsync time) ;;
  package) packages+=(dpkg-dev file lintian) ;;
  fuzz) packages+=(clang libclang-rt-14-dev) ;;
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

if [ "$mode" = fuzz ]; then
  seconds=30
  if [[ ${1:-} =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
  harnesses=("$@")
  ((${#harnesses[@]})) || harnesses=(job list language settings rates log filters execute)
  build=${DUALDOCK_FUZZ_BUILD_DIR:-build-fuzz}
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDUALDOCK_BUILD_FUZZ=ON -DDUALDOCK_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target $(printf 'fuzz_%s ' "${harnesses[@]}")
  status=0
  for name in "${harnesses[@]}"; do
    # The corpus grows in the build folder; the seeds in the repository stay as they are.
    corpus="$build/corpus/$name"
    mkdir -p "$corpus" "$build/findings/$name"
    echo "== $name: ${seconds}s"
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name/" "$corpus" "fuzz/seeds/$name" || status=1
  done
  exit $status
fi

build=${DUALDOCK_BUILD_DIR:-build}
if [ "$mode" = package ]; then
  # A build of its own: installed into /usr, without tests, with Debian's hardening flags.
  pkgbuild=$build-package
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B "$pkgbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DDUALDOCK_BUILD_TESTS=OFF >/dev/null
  cmake --build "$pkgbuild" -j "$(nproc)"
  rm -f "$pkgbuild"/dualdock_*.deb
  (cd "$pkgbuild" && cpack -G DEB >/dev/null)
  deb=$(ls "$pkgbuild"/dualdock_*.deb)
  # Anything lintian warns of fails the package.
  lintian --fail-on error,warning "$deb"
  echo "$deb"
  exit 0
fi
bench_flag=OFF
[ "$mode" = bench ] && bench_flag=ON
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUALDOCK_BUILD_BENCH=$bench_flag
# The programs alone for run and cli: the tests take far longer to build.
targets=()
case "$mode" in
  run) targets=(--target dualdock dualdock-cli dualdock_resources) ;;
  cli) targets=(--target dualdock-cli dualdock_resources) ;;
esac
cmake --build "$build" -j "$(nproc)" "${targets[@]}"

case "$mode" in
  run) exec "$build/dualdock" "$@" ;;
  cli) exec "$build/dualdock-cli" "$@" ;;
  test) cd "$build" && ctest --output-on-failure -j "$(nproc)" ;;
  bench) exec bench/run.sh "$build" ;;
  *) echo "usage: scripts/dev.sh run|cli|test|bench|package|fuzz" >&2; exit 2 ;;
esac
