#!/usr/bin/env bash
# Installs into a temporary prefix: the desktop files must pass the freedesktop.org
# checks, the man pages, completions and systemd units must be in their places and
# carry the project's version, and the installed dualdock-cli must run a job for a
# user who has no program folder yet. Checks whose tool is missing are skipped.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
p=$tmp/prefix
cmake --install "$build" --prefix "$p" >/dev/null

units=$p/lib/systemd/user
for f in bin/dualdock-cli share/dualdock/Sprachen.txt share/applications/dualdock.desktop \
  share/mime/packages/dualdock.xml share/metainfo/io.dualdock.Dualdock.metainfo.xml \
  share/man/man1/dualdock-cli.1.gz share/man/man1/dualdock.1.gz \
  share/bash-completion/completions/dualdock-cli share/zsh/site-functions/_dualdock-cli \
  share/fish/vendor_completions.d/dualdock-cli.fish lib/systemd/user/dualdock-sync@.service \
  lib/systemd/user/dualdock-sync@.timer share/doc/dualdock/copyright share/doc/dualdock/changelog.Debian.gz; do
  [ -f "$p/$f" ] || { echo "not installed: $f"; exit 1; }
done
if [ -x "$build/dualdock" ]; then [ -x "$p/bin/dualdock" ] || { echo "not installed: bin/dualdock"; exit 1; }; fi

# The package of the window recommends Qt's translations, which give its standard buttons and dialogs German.
if [ -x "$build/dualdock" ]; then
  grep -E '^set\(CPACK_DEBIAN_PACKAGE_RECOMMENDS ".*\bqt6-translations-l10n\b' "$build/CPackConfig.cmake" >/dev/null ||
    { echo "the package does not recommend qt6-translations-l10n"; exit 1; }
fi

# One version, from the project's CMake file, everywhere it is shown.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in the build"; exit 1; }
for page in dualdock-cli dualdock; do
  zcat "$p/share/man/man1/$page.1.gz" | head -1 | grep -qF "\"Dualdock $version\"" || { echo "$page.1: not version $version"; exit 1; }
done
grep -qF "<release version=\"$version\"" "$p/share/metainfo/io.dualdock.Dualdock.metainfo.xml" ||
  { echo "metainfo: not version $version"; exit 1; }
zcat "$p/share/doc/dualdock/changelog.Debian.gz" | head -1 | grep -qF "dualdock ($version-" ||
  { echo "changelog: not version $version"; exit 1; }
if [ -x "$p/bin/dualdock" ]; then
  [ "$("$p/bin/dualdock" --version)" = "dualdock $version" ] || { echo "the window shows another version"; exit 1; }
fi

# The man pages as man reads them: any warning of groff is a fault in the page.
if command -v man >/dev/null; then
  for page in dualdock-cli dualdock; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$p/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page.1: $warnings"; exit 1; }
  done
fi

desktop-file-validate "$p/share/applications/dualdock.desktop"
appstreamcli validate --no-net "$p/share/metainfo/io.dualdock.Dualdock.metainfo.xml"

# The units run the installed dualdock-cli, and systemd accepts them (their man page found in the prefix).
grep -qF "$p/bin/dualdock-cli" "$units/dualdock-sync@.service" || { echo "the service does not run $p/bin/dualdock-cli"; exit 1; }
if command -v systemd-analyze >/dev/null; then
  # Without man the Documentation= pages cannot be looked up, so that check is left out.
  man_check=--man=yes
  command -v man >/dev/null || man_check=--man=no
  XDG_RUNTIME_DIR=$tmp MANPATH=$p/share/man systemd-analyze --user verify "$man_check" \
    "$units/dualdock-sync@photos.service" "$units/dualdock-sync@photos.timer"
else
  echo "skipped: systemd-analyze verify (not installed)"
fi
bash "$(dirname "$0")/unit_command_test.sh" "$units/dualdock-sync@.service" "$tmp/unit" "$p/bin/dualdock-cli"
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
