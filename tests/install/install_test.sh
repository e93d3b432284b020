#!/usr/bin/env bash
# Installs into a temporary prefix: the desktop files must pass the freedesktop.org
# checks, and the installed dualdock-cli must run a job for a user who has no
# program folder yet.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
p=$tmp/prefix
cmake --install "$build" --prefix "$p" >/dev/null

for f in bin/dualdock-cli share/dualdock/Sprachen.txt share/applications/dualdock.desktop \
  share/mime/packages/dualdock.xml share/metainfo/io.dualdock.Dualdock.metainfo.xml share/man/man1/dualdock-cli.1; do
  [ -f "$p/$f" ] || { echo "not installed: $f"; exit 1; }
done
if [ -x "$build/dualdock" ]; then [ -x "$p/bin/dualdock" ] || { echo "not installed: bin/dualdock"; exit 1; }; fi

desktop-file-validate "$p/share/applications/dualdock.desktop"
appstreamcli validate --no-net "$p/share/metainfo/io.dualdock.Dualdock.metainfo.xml"
update-mime-database "$p/share/mime"
grep -qx 'application/x-dualdock-job:\*\.ddk' "$p/share/mime/globs" || { echo "*.ddk not in the MIME globs"; exit 1; }

# A fresh user: the program folder is made in the user's data folder from the installed files.
export HOME=$tmp/home
unset DUALDOCK_HOME XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME" "$tmp/src/sub" "$tmp/dst"
echo alpha >"$tmp/src/sub/a.txt"
"$p/bin/dualdock-cli" job new "$tmp/job.ddk" --pair "$tmp/src" "$tmp/dst" >/dev/null
"$p/bin/dualdock-cli" simulate "$tmp/job.ddk" >"$tmp/out.txt"
folder=$HOME/.local/share/dualdock
cmp "$folder/Sprachen.txt" "$p/share/dualdock/Sprachen.txt"
grep -q '^Pending operations:' "$tmp/out.txt" || { echo "no language texts:"; cat "$tmp/out.txt"; exit 1; }
grep -q 'new in F2:     2 ' "$tmp/out.txt" || { cat "$tmp/out.txt"; exit 1; }
[ "$(grep -c 'Extra in F1' "$folder/To Do.txt")" = 2 ] || { echo "wrong pending list"; exit 1; }
echo "install test passed"
