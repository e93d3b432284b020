#!/usr/bin/env bash
# Times a simulation (dualdock-cli simulate) against a dry run of rsync doing
# the same comparison (rsync -an --delete) on two generated trees of FILES
# files each in which every file status occurs: per 20 files 16 identical,
# one newer in the source, one newer in the target and two named differently
# on the two sides; every 50th folder exists on one side only.
# Prints the best time of each over ROUNDS alternating rounds, their ratio and
# the peak memory of each (GNU time, %M).
# Usage: bench/simulate_vs_rsync_bench.sh BUILD_DIR [WORK_DIR]
# Environment: FILES (default 200000), ROUNDS (default 3).
set -euo pipefail

BUILD=${1:?usage: simulate_vs_rsync_bench.sh BUILD_DIR [WORK_DIR]}
BUILD=$(cd "$BUILD" && pwd)
CLI="$BUILD/dualdock-cli"
[[ -x "$CLI" ]] || { echo "no $CLI: build the target dualdock-cli first" >&2; exit 2; }
command -v rsync >/dev/null || { echo "rsync is not installed (apt-get install rsync)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "GNU time is not installed (apt-get install time)" >&2; exit 2; }

FILES=${FILES:-200000}
ROUNDS=${ROUNDS:-3}
WORK=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/dualdock-simbench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

SRC="$WORK/src"
DST="$WORK/dst"
HOME_DIR="$WORK/home"
mkdir -p "$SRC" "$DST" "$HOME_DIR"
cp "$BUILD/Sprachen.txt" "$HOME_DIR/" 2>/dev/null || true
# Known rates, so that start-up does not run its disk test inside the timings.
printf '100000000\r\n100000000\r\n1' >"$HOME_DIR/Rates.txt"

echo "making two trees of $FILES files each in $WORK"
awk -v n="$FILES" -v a="$SRC" -v b="$DST" -v dirs="$WORK/dirs" -v files="$WORK/files" -v newer="$WORK/newer" '
BEGIN {
  for (i = 0; i < n; i++) {
    k = int(i / 100)
    d1 = a "/d" k
    d2 = (k % 50 == 49) ? b "/o" k : b "/d" k
    if (i % 100 == 0) { print d1 > dirs; print d2 > dirs }
    c = i % 20
    print d1 "/f" i ".dat" > files
    if (c >= 18) print d2 "/g" i ".dat" > files
    else print d2 "/f" i ".dat" > files
    if (c == 16) print d1 "/f" i ".dat" > newer
    if (c == 17) print d2 "/f" i ".dat" > newer
  }
}'
xargs -d '\n' mkdir -p <"$WORK/dirs"
xargs -d '\n' touch -d @1600000000 <"$WORK/files"
xargs -d '\n' touch -d @1600000100 <"$WORK/newer"
rm -f "$WORK/dirs" "$WORK/files" "$WORK/newer"

# A mirror job, the comparison that rsync -a --delete makes: new and newer
# items go to the target, items only in the target are deleted.
printf '%s\r\n' "Dualdock V2.1" "" "Directories:" "$SRC" "" "$DST" "" "" "Operation Mode:" \
  $'Identical:\t= =' $'ExtraInF1:\t=->' $'ExtraInF2:\t= x' $'NewerInF1:\t=->' $'NewerInF2:\t=->' "" "" \
  "Exclude Files/Folders Name:" "0" "" "" "0" "" "" "" "" "" \
  "Include Files/Folders Name:" "0" "" "" "0" "" "" "" "" "" \
  "Daylight Savings:" "1" "" "" >"$WORK/job.ddk"

# Runs "$@" under GNU time; prints "seconds peak-KiB". A failing run ends the script.
measure() {
  if ! /usr/bin/time -f '%e %M' -o "$WORK/time.txt" "$@" >"$WORK/out.txt" 2>&1; then
    echo "failed: $*" >&2
    cat "$WORK/out.txt" >&2
    exit 1
  fi
  tail -n 1 "$WORK/time.txt"
}

best_dd="" best_rs="" mem_dd=0 mem_rs=0
for ((r = 1; r <= ROUNDS; r++)); do
  result=$(measure "$CLI" --home "$HOME_DIR" simulate "$WORK/job.ddk")
  read -r t m <<<"$result"
  printf 'round %d  dualdock-cli simulate  %6ss  %7s KiB\n' "$r" "$t" "$m"
  [[ -z "$best_dd" ]] || awk -v a="$t" -v b="$best_dd" 'BEGIN { exit !(a >= b) }' || best_dd=$t
  [[ -n "$best_dd" ]] || best_dd=$t
  ((m > mem_dd)) && mem_dd=$m
  result=$(measure rsync -an --delete "$SRC/" "$DST/")
  read -r t m <<<"$result"
  printf 'round %d  rsync -an --delete    %6ss  %7s KiB\n' "$r" "$t" "$m"
  [[ -z "$best_rs" ]] || awk -v a="$t" -v b="$best_rs" 'BEGIN { exit !(a >= b) }' || best_rs=$t
  [[ -n "$best_rs" ]] || best_rs=$t
  ((m > mem_rs)) && mem_rs=$m
done

records=$(grep -c $'\t' "$HOME_DIR/To Do.txt" || true)
ratio=$(awk -v a="$best_dd" -v b="$best_rs" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
echo "best of $ROUNDS: dualdock ${best_dd}s, rsync ${best_rs}s, dualdock/rsync $ratio"
echo "peak memory: dualdock ${mem_dd} KiB, rsync ${mem_rs} KiB (operations planned: $records)"
