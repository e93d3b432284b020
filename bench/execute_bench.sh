#!/usr/bin/env bash
# Times a one-step run (simulate + execute) of dualdock-cli against cp -a and
# rsync -a --delete doing the same work:
#   (a) a tree of 10,000 small files copied into an empty target,
#       and a second run over the same trees with nothing to do;
#   (b) one 1 GiB file.
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

# Best of REPEAT runs of "$@", each after PREPARE (untimed); prints seconds.
PREPARE=true
best_of() {
  local best="" t0 t1 d
  for ((i = 0; i < REPEAT; i++)); do
    eval "$PREPARE"
    sync
    t0=$(now)
    "$@" >/dev/null
    t1=$(now)
    d=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
    if [[ -z "$best" ]] || awk -v d="$d" -v b="$best" 'BEGIN { exit !(d < b) }'; then best=$d; fi
  done
  echo "$best"
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
PREPARE='rm -rf "$WORK/small-dd"; mkdir "$WORK/small-dd"'
t_dd=$(best_of dd_sync "$WORK/small.ddk")
diff -r "$SRC" "$WORK/small-dd" >/dev/null || { echo "small-file copy differs" >&2; exit 1; }
PREPARE='rm -rf "$WORK/small-cp"'
t_cp=$(best_of cp -a "$SRC" "$WORK/small-cp")
t_rs=-
if ((HAVE_RSYNC)); then
  PREPARE='rm -rf "$WORK/small-rs"; mkdir "$WORK/small-rs"'
  t_rs=$(best_of rsync -a --delete "$SRC/" "$WORK/small-rs/")
fi
report "$FILES small files, empty target" "$t_dd" "$t_cp" "$t_rs"

# Same trees again: nothing to copy (cp has no such mode: it copies again).
PREPARE=true
t_dd=$(best_of dd_sync "$WORK/small.ddk")
t_rs=-
((HAVE_RSYNC)) && t_rs=$(best_of rsync -a --delete "$SRC/" "$WORK/small-rs/")
report "$FILES small files, nothing to do" "$t_dd" "-" "$t_rs"
rm -rf "$WORK/small-dd" "$WORK/small-cp" "$WORK/small-rs"

# (b) one big file.
BIG="$WORK/big-src"
mkdir -p "$BIG"
head -c "$((BIG_MIB * 1048576))" /dev/urandom >"$BIG/big.bin"
write_job "$WORK/big.ddk" "$BIG" "$WORK/big-dd"
PREPARE='rm -rf "$WORK/big-dd"; mkdir "$WORK/big-dd"'
t_dd=$(best_of dd_sync "$WORK/big.ddk")
PREPARE='rm -f "$WORK/big-cp.bin"'
t_cp=$(best_of cp "$BIG/big.bin" "$WORK/big-cp.bin")
t_rs=-
if ((HAVE_RSYNC)); then
  PREPARE='rm -rf "$WORK/big-rs"; mkdir "$WORK/big-rs"'
  t_rs=$(best_of rsync -a --delete "$BIG/" "$WORK/big-rs/")
fi
report "one ${BIG_MIB} MiB file" "$t_dd" "$t_cp" "$t_rs"
cmp -s "$BIG/big.bin" "$WORK/big-dd/big.bin" || { echo "big file copy differs" >&2; exit 1; }
