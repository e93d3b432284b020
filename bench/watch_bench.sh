#!/usr/bin/env bash
# Watch mode: from a file written in a watched source to its copy in the target, for a pair of
# 200,000 files in step. The bound is the settle time plus one second: only the changed folder is
# compared, never the whole pair again.
#   DUALDOCK_BENCH_FILES  files per tree (default 200000)
#   DUALDOCK_BENCH_DIR    where the trees are made (default $TMPDIR or /tmp)
# Usage: bench/watch_bench.sh BUILD_DIR
set -euo pipefail

BUILD=$(cd "${1:?usage: watch_bench.sh BUILD_DIR}" && pwd)
FILES=${DUALDOCK_BENCH_FILES:-200000}
SETTLE=2
ROUNDS=5
WORK=$(mktemp -d "${DUALDOCK_BENCH_DIR:-${TMPDIR:-/tmp}}/dualdock-watch-XXXXXX")
PID=
cleanup() {
  [[ -n "$PID" ]] && kill -INT "$PID" 2>/dev/null && wait "$PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# Both trees alike: 100 files to a folder, folders ten to a parent, one size and time on both sides.
python3 - "$WORK" "$FILES" <<'PY'
import os, sys
work, files = sys.argv[1], int(sys.argv[2])
for side in ("src", "dst"):
    for i in range(files):
        folder = f"{work}/{side}/g{i // 1000}/d{i // 100}"
        if i % 100 == 0:
            os.makedirs(folder, exist_ok=True)
        path = f"{folder}/f{i}.dat"
        fd = os.open(path, os.O_CREAT | os.O_WRONLY, 0o644)
        os.write(fd, b"x" * (i % 512))
        os.close(fd)
        os.utime(path, (1600000000, 1600000000))
PY

mkdir -p "$WORK/home"
"$BUILD/dualdock-cli" job new "$WORK/job.ddk" --pair "$WORK/src" "$WORK/dst" >/dev/null
"$BUILD/dualdock-cli" --home "$WORK/home" watch "$WORK/job.ddk" --yes --settle "$SETTLE" \
  >"$WORK/out.txt" 2>"$WORK/err.txt" &
PID=$!

now() { date +%s.%N; }
waited() { grep -c "waiting for changes" "$WORK/err.txt" || true; }

start=$(now)
until [[ $(waited) -ge 1 ]]; do sleep 0.05; kill -0 "$PID"; done
echo "first run over all $FILES files per side: $(echo "$(now) - $start" | bc) s"

limit=$(echo "$SETTLE + 1" | bc)
status=0
for round in $(seq 1 "$ROUNDS"); do
  folder=$(( (round * 37) % (FILES / 100) ))
  name="g$((folder / 10))/d$folder/new$round.txt"
  start=$(now)
  echo "round $round" >"$WORK/src/$name"
  until [[ -f "$WORK/dst/$name" ]]; do sleep 0.01; kill -0 "$PID"; done
  took=$(echo "$(now) - $start" | bc)
  verdict=ok
  if (( $(echo "$took > $limit" | bc) )); then verdict="over ${limit} s"; status=1; fi
  echo "round $round: written to copied in $took s ($verdict)"
  # The next change only after this run has ended: each round times one run.
  until [[ $(waited) -ge $((round + 1)) ]]; do sleep 0.01; kill -0 "$PID"; done
done
exit $status
