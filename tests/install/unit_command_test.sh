#!/usr/bin/env bash
# The command of dualdock-sync@.service, run as systemd runs it for each kind of
# instance (split into words first, then the specifiers put in), with a stand-in
# for dualdock-cli that writes down its arguments: the job file and log each
# instance means, and the run's exit status passed on as the service's. Given a
# dualdock-cli that knows --log-file, a job is then run with it for real.
#   unit_command_test.sh SERVICE_FILE WORK_FOLDER [DUALDOCK_CLI]
set -euo pipefail
service=$1
work=$2
mkdir -p "$work"
line=$(sed -n 's/^ExecStart=//p' "$service")
[ -n "$line" ] || { echo "no ExecStart in $service"; exit 1; }
eval "words=($line)"

stub=$work/dualdock-cli
cat >"$stub" <<'STUB'
#!/bin/sh
printf '%s\n' "$@" >"$STUB_ARGUMENTS"
exit "$STUB_STATUS"
STUB
chmod +x "$stub"
config=$work/config
logs=$work/log

# Runs the command for instance $1 whose unescaped path (%f) is $2, with the stand-in
# ending with status $3, or with the program $4 instead of the stand-in.
run() {
  local instance=$1 path=$2 program=${4:-$stub} w
  local -a command=()
  for w in "${words[@]}"; do
    w=${w//'$$'/'$'}
    w=${w//'%i'/"$instance"}
    w=${w//'%f'/"$path"}
    w=${w//'%E'/"$config"}
    w=${w//'%L'/"$logs"}
    [[ $w == */dualdock-cli ]] && w=$program
    [[ $w != *%[a-zA-Z]* ]] || { echo "a specifier this test does not know: $w"; exit 1; }
    command+=("$w")
  done
  STUB_ARGUMENTS=$work/arguments STUB_STATUS=$3 "${command[@]}"
}

failed=0
# instance | its %f | the job file it means | the log it writes
rows=(
  "photos|/photos|$config/dualdock/jobs/photos.ddk|$logs/dualdock/photos.log"
  "my-photos|/my/photos|$config/dualdock/jobs/my-photos.ddk|$logs/dualdock/my-photos.log"
  "home-me-My\\x20Jobs-photos.ddk|/home/me/My Jobs/photos.ddk|/home/me/My Jobs/photos.ddk|$logs/dualdock/home-me-My\\x20Jobs-photos.ddk.log"
)
for row in "${rows[@]}"; do
  IFS='|' read -r instance path job log <<<"$row"
  rm -f "$work/arguments"
  run "$instance" "$path" 0 || { echo "$instance: the command failed"; failed=1; continue; }
  expected=$(printf '%s\n' sync "$job" --yes --quiet --log-file "$log")
  if [ "$(cat "$work/arguments" 2>/dev/null)" != "$expected" ]; then
    echo "$instance: dualdock-cli got"
    cat "$work/arguments" 2>/dev/null || echo "(nothing: it did not run)"
    echo "instead of"
    echo "$expected"
    failed=1
  fi
done

# Exit status: what systemd counts as success or failure is what dualdock-cli returned.
for status in 0 1 2 3; do
  set +e
  run photos /photos "$status"
  got=$?
  set -e
  [ "$got" = "$status" ] || { echo "dualdock-cli ended with $status, the service with $got"; failed=1; }
done
grep -qx 'SuccessExitStatus=3' "$service" || { echo "a run stopped by SIGTERM would count as failed"; failed=1; }

cli=${3:-}
if [ -n "$cli" ] && "$cli" --help | grep -q -- --log-file; then
  mkdir -p "$config/dualdock/jobs" "$work/source" "$work/target" "$logs/dualdock"  # the last one is systemd's
  echo alpha >"$work/source/a.txt"
  "$cli" job new "$config/dualdock/jobs/night.ddk" --pair "$work/source" "$work/target" >/dev/null
  DUALDOCK_HOME=$work/home run night /night 0 "$cli" || { echo "the nightly run failed"; failed=1; }
  [ -f "$work/target/a.txt" ] || { echo "the nightly run did not copy the file"; failed=1; }
  [ -s "$logs/dualdock/night.log" ] || { echo "the nightly run wrote no log"; failed=1; }
else
  echo "skipped: a real nightly run (dualdock-cli without --log-file)"
fi
exit $failed
