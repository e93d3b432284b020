#!/usr/bin/env bash
# Times a one-step run (simulate + execute) of dualdock-cli against cp -a and
# rsync -a --delete doing the same work:
#   (a) a tree of 10,000 small files copied into an empty target,
#       a second run over the same trees with nothing to do,
#       and an update where a tenth of the files changed;
#   (b) one 1 GiB file;
#   (c) in a benchmark build (-DDUALDOCK_BUILD_BENCH=ON), what each safety step
#       costs: (a) again with one step left out at a time.
# Run it on tmpfs (WORK_DIR /dev/shm) and on the disk (e.g. /var/tmp).
# Usage: bench/execute_bench.sh BUILD_DIR [WORK_DIR]
# Environment: FILES (default 10000), BIG_MIB (default 1024), REPEAT (default 3).
set -euo pipefail

BUILD=${1:?usage: execute_bench.sh BUILD_DIR [WORK_DIR]}
BUILD=$(cd "$BUILD" && pwd)
CLI="$BUILD/dualdock-cli"
[[ -x "$CLI" ]] || { echo "no $CLI: build the target dualdock-cli first" >&2; exit 2; }
HAVE_RSYNC=1
command -v rsync >/dev/null || { HAVE_RSYNC=0; echo "rsync not installed (apt-get install rsync): its column is skipped" >&2; }

FILES=${FILES:-10000}
BIG_MIB=${BIG_MIB:-1024}
REPEAT=${REPEAT:-3}
WORK=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/dualdock-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

HOME_DIR="$WORK/home"
mkdir -p "$HOME_DIR"
cp "$BUILD/Sprachen.txt" "$HOME_DIR/" 2>/dev/null || true
# Known rates, so that start-up does not run its disk test inside the timings.
printf '100000000\r\n100000000\r\n1' >"$HOME_DIR/Rates.txt"

# A mirror job: new and newer entries go to F2, extras in F2 are deleted.
write_job() {  # job-file source target
  printf '%s\r\n' "Dualdock V2.1" "" "Directories:" "$2" "" "$3" "" "" "Operation Mode:" \
    $'Identical:\t= =' $'ExtraInF1:\t=->' $'ExtraInF2:\t= x' $'NewerInF1:\t=->' $'NewerInF2:\t=->' "" "" \
    "Exclude Files/Folders Name:" "0" "" "" "0" "" "" "" "" "" \
    "Include Files/Folders Name:" "0" "" "" "0" "" "" "" "" "" \
    "Daylight Savings:" "0" "" "" >"$1"
}

now() { echo "${EPOCHREALTIME/,/.}"; }

# One timed run of "$@" after the untimed PREPARE; prints seconds.
time_once() {
  local prepare=$1 t0 t1
  shift
  eval "$prepare"
  sync
  t0=$(now)
  "$@" >/dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

# keep_best VAR SECONDS: VAR becomes the smaller of the two.
keep_best() {
  if [[ -z "${!1}" || "${!1}" == - ]] || awk -v d="$2" -v b="${!1}" 'BEGIN { exit !(d < b) }'; then
    printf -v "$1" '%s' "$2"
  fi
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

dd_sync() { "$CLI" --home "$HOME_DIR" sync "$1" --yes; }

report() {  # title dualdock cp rsync
  printf '%-34s dualdock %8ss   cp %8ss   rsync %8ss   dualdock/cp %5s   dualdock/rsync %5s\n' \
    "$1" "$2" "$3" "$4" "$(ratio "$2" "$3")" "$(ratio "$2" "$4")"
}

# (a) small files: 100 per folder, 1 to 4 KiB each.
SRC="$WORK/small-src"
mkdir -p "$SRC"
block=$(head -c 4096 /dev/zero | tr '\0' 'x')
for ((n = 0; n < FILES; n++)); do
  d="$SRC/d$((n / 100))"
  ((n % 100 == 0)) && mkdir -p "$d"
  printf '%s' "${block:0:$((1024 + (n * 37) % 3072))}" >"$d/f$n.txt"
done
cat "$SRC"/*/* >/dev/null  # warm the cache for every contestant alike

write_job "$WORK/small.ddk" "$SRC" "$WORK/small-dd"
# The contestants take turns, so that a busy machine slows them alike; the best round counts.
t_dd="" t_cp="" t_rs=-
for ((i = 0; i < REPEAT; i++)); do
  keep_best t_dd "$(time_once 'rm -rf "$WORK/small-dd"; mkdir "$WORK/small-dd"' dd_sync "$WORK/small.ddk")"
  keep_best t_cp "$(time_once 'rm -rf "$WORK/small-cp"' cp -a "$SRC" "$WORK/small-cp")"
  if ((HAVE_RSYNC)); then
    keep_best t_rs "$(time_once 'rm -rf "$WORK/small-rs"; mkdir "$WORK/small-rs"' rsync -a --delete "$SRC/" "$WORK/small-rs/")"
  fi
done
diff -r "$SRC" "$WORK/small-dd" >/dev/null || { echo "small-file copy differs" >&2; exit 1; }
report "$FILES small files, empty target" "$t_dd" "$t_cp" "$t_rs"

# Dualdock puts every copy on the disk before it names it; cp does not. The fair
# baseline for that: cp -a followed by one sync of the target's file system.
cp_durable() { cp -a "$SRC" "$WORK/small-cp" && sync -f "$WORK/small-cp"; }
t_cps=""
for ((i = 0; i < REPEAT; i++)); do
  keep_best t_cps "$(time_once 'rm -rf "$WORK/small-cp"' cp_durable)"
done
printf '%-34s cp -a + sync -f %8ss   dualdock/that %5s\n' "$FILES small files, on the disk" "$t_cps" \
  "$(ratio "$t_dd" "$t_cps")"

# Same trees again: nothing to copy (cp has no such mode: it would copy again).
t_dd="" t_rs=-
for ((i = 0; i < REPEAT; i++)); do
  keep_best t_dd "$(time_once true dd_sync "$WORK/small.ddk")"
  ((HAVE_RSYNC)) && keep_best t_rs "$(time_once true rsync -a --delete "$SRC/" "$WORK/small-rs/")"
done
report "$FILES small files, nothing to do" "$t_dd" "-" "$t_rs"

# A tenth of the files get new content and a newer time (untimed), then both
# bring their copy up to date: simulation and execution against rsync.
# The round is counted in a file (the preparation runs in a subshell), and the
# times lie a minute apart, well beyond the tolerance of the comparison.
change_tenth() {
  local n f changed=() round
  round=$(($(cat "$WORK/round" 2>/dev/null || echo 0) + 1))
  echo "$round" >"$WORK/round"
  for ((n = 0; n < FILES; n += 10)); do
    f="$SRC/d$((n / 100))/f$n.txt"
    printf 'round %d %s' "$round" "${block:0:$((1024 + (n * 37) % 3072))}" >"$f"
    changed+=("$f")
  done
  touch -d "@$((2000000000 + 60 * round))" "${changed[@]}"
}
t_dd="" t_rs=-
for ((i = 0; i < REPEAT; i++)); do
  keep_best t_dd "$(time_once change_tenth dd_sync "$WORK/small.ddk")"
  ((HAVE_RSYNC)) && keep_best t_rs "$(time_once true rsync -a --delete "$SRC/" "$WORK/small-rs/")"
done
diff -r "$SRC" "$WORK/small-dd" >/dev/null || { echo "updated copy differs" >&2; exit 1; }
report "$FILES small files, a tenth changed" "$t_dd" "-" "$t_rs"

# (c) The safety steps one by one (only a benchmark build can leave them out).
if grep -q '^DUALDOCK_BUILD_BENCH:BOOL=ON' "$BUILD/CMakeCache.txt" 2>/dev/null; then
  dd_without() { DUALDOCK_BENCH_OFF=$1 "$CLI" --home "$HOME_DIR" sync "$2" --yes; }
  # Each set is timed in turns with the others; best and worst round are shown.
  sets=(none recheck flush beneath recheck,flush,beneath)
  declare -A best_new worst_new best_upd worst_upd
  for off in "${sets[@]}"; do best_new[$off]="" worst_new[$off]="" best_upd[$off]="" worst_upd[$off]=""; done
  for ((i = 0; i < REPEAT; i++)); do
    for off in "${sets[@]}"; do
      t=$(time_once 'rm -rf "$WORK/small-dd"; mkdir "$WORK/small-dd"' dd_without "$off" "$WORK/small.ddk")
      keep_best "best_new[$off]" "$t"
      [[ -z "${worst_new[$off]:-}" ]] || awk -v a="$t" -v b="${worst_new[$off]}" 'BEGIN { exit !(a > b) }' &&
        worst_new[$off]=$t
      t=$(time_once change_tenth dd_without "$off" "$WORK/small.ddk")
      keep_best "best_upd[$off]" "$t"
      [[ -z "${worst_upd[$off]:-}" ]] || awk -v a="$t" -v b="${worst_upd[$off]}" 'BEGIN { exit !(a > b) }' &&
        worst_upd[$off]=$t
    done
  done
  diff -r "$SRC" "$WORK/small-dd" >/dev/null || { echo "copy without safety steps differs" >&2; exit 1; }
  printf '%-34s %-22s %-22s\n' "safety steps left out" "empty target (s)" "a tenth changed (s)"
  for off in "${sets[@]}"; do
    printf '%-34s %-22s %-22s\n' "$off" "${best_new[$off]}..${worst_new[$off]}" "${best_upd[$off]}..${worst_upd[$off]}"
  done
fi
rm -rf "$WORK/small-dd" "$WORK/small-cp" "$WORK/small-rs"

# (b) one big file.
BIG="$WORK/big-src"
mkdir -p "$BIG"
head -c "$((BIG_MIB * 1048576))" /dev/urandom >"$BIG/big.bin"
write_job "$WORK/big.ddk" "$BIG" "$WORK/big-dd"
t_dd="" t_cp="" t_rs=-
for ((i = 0; i < REPEAT; i++)); do
  keep_best t_dd "$(time_once 'rm -rf "$WORK/big-dd"; mkdir "$WORK/big-dd"' dd_sync "$WORK/big.ddk")"
  keep_best t_cp "$(time_once 'rm -f "$WORK/big-cp.bin"' cp "$BIG/big.bin" "$WORK/big-cp.bin")"
  if ((HAVE_RSYNC)); then
    keep_best t_rs "$(time_once 'rm -rf "$WORK/big-rs"; mkdir "$WORK/big-rs"' rsync -a --delete "$BIG/" "$WORK/big-rs/")"
  fi
done
report "one ${BIG_MIB} MiB file" "$t_dd" "$t_cp" "$t_rs"
cmp -s "$BIG/big.bin" "$WORK/big-dd/big.bin" || { echo "big file copy differs" >&2; exit 1; }
