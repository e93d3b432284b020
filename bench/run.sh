#!/usr/bin/env bash
# Runs every benchmark against one build folder: the Google benchmarks first,
# then each bench/*_bench.sh script with the build folder as its argument.
# Usage: bench/run.sh BUILD_DIR
set -euo pipefail

BUILD=$(cd "${1:?usage: run.sh BUILD_DIR}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)

status=0
for b in "$BUILD"/bench/*_bench; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b" || status=1
done
for s in "$HERE"/*_bench.sh; do
  [[ -e "$s" ]] || continue
  echo "== $(basename "$s")"
  bash "$s" "$BUILD" || status=1
done
exit $status
