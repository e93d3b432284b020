#!/usr/bin/env bash
# Content comparison against the disk's sequential rate: two files of 1 GiB with
# the same size and time (so both are read in full) compared by a simulation
# with --checksum, and cat of the same two files, in the same run, each from the
# disk (the files are dropped from the page cache before each timing).
# Passes when the comparison reads at no less than 80 % of cat's rate.
# Usage: bench/checksum_bench.sh BUILD_DIR [WORK_DIR]
# Environment: BIG_MIB (default 1024), REPEAT (default 3).
set -euo pipefail

BUILD=${1:?usage: checksum_bench.sh BUILD_DIR [WORK_DIR]}
BUILD=$(cd "$BUILD" && pwd)
CLI="$BUILD/dualdock-cli"
[[ -x "$CLI" ]] || { echo "no $CLI: build the target dualdock-cli first" >&2; exit 2; }
BIG_MIB=${BIG_MIB:-1024}
REPEAT=${REPEAT:-3}
WORK=$(mktemp -d "${2:-/var/tmp}/dualdock-checksum-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

HOME_DIR="$WORK/home"
mkdir -p "$HOME_DIR" "$WORK/src" "$WORK/dst"
cp "$BUILD/Sprachen.txt" "$HOME_DIR/" 2>/dev/null || true
printf '100000000\r\n100000000\r\n1' >"$HOME_DIR/Rates.txt"

head -c "$((BIG_MIB << 20))" /dev/urandom >"$WORK/src/big.bin"
cp "$WORK/src/big.bin" "$WORK/dst/big.bin"
touch -r "$WORK/src/big.bin" "$WORK/dst/big.bin"
"$CLI" job new "$WORK/job.ddk" --pair "$WORK/src" "$WORK/dst" >/dev/null

# The two files leave the page cache before each timing: all caches when we may,
# else just theirs (dd's nocache drops a file's clean pages, for anyone).
cold=1
drop_caches() {
  sync
  if [[ -w /proc/sys/vm/drop_caches ]]; then
    echo 3 >/proc/sys/vm/drop_caches
  else
    for f in "$WORK/src/big.bin" "$WORK/dst/big.bin"; do
      dd if="$f" iflag=nocache count=0 status=none || cold=0
    done
  fi
}

now() { echo "${EPOCHREALTIME/,/.}"; }

time_once() {  # command...: seconds, caches dropped first
  local t0 t1
  drop_caches
  t0=$(now)
  "$@" >/dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

keep_best() {  # VAR SECONDS: VAR becomes the smaller of the two
  if [[ -z "${!1}" ]] || awk -v d="$2" -v b="${!1}" 'BEGIN { exit !(d < b) }'; then printf -v "$1" '%s' "$2"; fi
}

compare() {
  local out
  out=$("$CLI" --home "$HOME_DIR" simulate "$WORK/job.ddk" --checksum --json)
  # Both files read in full, and found the same.
  grep -q "\"bytes_read\":$((2 * (BIG_MIB << 20)))" <<<"$out" || { echo "unexpected report: $out" >&2; return 1; }
  grep -q '"differing":0' <<<"$out" || { echo "unexpected report: $out" >&2; return 1; }
}

# Taken in turns, so that whatever else the machine does weighs on both alike; the best of each counts.
t_cat="" t_cmp=""
for ((i = 0; i < REPEAT; i++)); do
  keep_best t_cat "$(time_once cat "$WORK/src/big.bin" "$WORK/dst/big.bin")"
  keep_best t_cmp "$(time_once compare)"
done
mib=$((2 * BIG_MIB))
awk -v m="$mib" -v c="$t_cat" -v d="$t_cmp" -v cold="$cold" 'BEGIN {
  rc = m / c; rd = m / d; share = rd / rc
  printf "content comparison of 2 x %d MiB (%s): cat %.3fs (%.0f MiB/s)   --checksum %.3fs (%.0f MiB/s)   %.0f %% of cat\n",
         m / 2, cold ? "from the disk" : "from memory: the cache could not be dropped", c, rc, d, rd, 100 * share
  exit !(share >= 0.8)
}'
