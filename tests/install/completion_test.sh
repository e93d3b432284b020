#!/usr/bin/env bash
# The shell completions of data/completions: every option dualdock-cli's help names is
# offered by each shell, and what bash and fish offer at a point of the command line
# (commands, the options of that command, job files and folders). zsh and fish are
# checked when they are installed.
#   completion_test.sh SOURCE_FOLDER BUILD_FOLDER
set -uo pipefail
completions=$(cd "$1" && pwd)/data/completions
cli=$(cd "$2" && pwd)/dualdock-cli
failed=0
fail() { echo "$*"; failed=1; }

# Every option of the help, in each shell's file.
options=$("$cli" --help | grep -oE '(^|[][ ,|(])--[a-z][a-z-]*' | grep -oE -- '--[a-z-]+' | sort -u)
[ -n "$options" ] || fail "no options found in dualdock-cli --help"
for file in dualdock-cli.bash _dualdock-cli dualdock-cli.fish; do
  for option in $options; do
    name=${option#--}
    grep -qE -- "(--|-l )$name([^a-z-]|$)" "$completions/$file" || fail "$file: $option is not offered"
  done
done

# A folder with a job file, another file and a folder, for the file rows.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/sub"
touch "$work/night.ddk" "$work/notes.txt"
cd "$work"

# The words typed (the last one being completed) | what must be offered | what must not
rows=(
  "dualdock-cli |simulate execute sync watch job|--yes"
  "dualdock-cli --home x |simulate sync watch job|"
  "dualdock-cli --|--home --help --version|--yes --pair"
  "dualdock-cli sync --|--yes --dry-run --verbose --log-file --quiet --tolerance --create-missing|--pair --settle"
  "dualdock-cli simulate --|--save-text-files --verbose --log-file|--yes --dry-run"
  "dualdock-cli execute --|--yes --verbose --log-file|--tolerance --pair"
  "dualdock-cli watch --|--settle --yes --log-file|--pair --dry-run"
  "dualdock-cli sync |night.ddk sub|notes.txt"
  "dualdock-cli sync --log-file |notes.txt|"
  "dualdock-cli --home |sub|night.ddk"
  "dualdock-cli job |new show|night.ddk"
  "dualdock-cli job new n.ddk --|--pair --mode --exclude --include --trash --force|--yes --json"
  "dualdock-cli job new n.ddk --mode |incremental synchronize|"
  "dualdock-cli job new n.ddk --pair |sub|night.ddk"
  "dualdock-cli job show |night.ddk|notes.txt"
)

# bash: the completion function called as readline calls it.
source "$completions/dualdock-cli.bash"
bash_offers() {
  read -ra COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _dualdock_cli
  printf '%s\n' "${COMPREPLY[@]}" | sed 's|/$||'
}
fish_offers() {
  fish -c "source $completions/dualdock-cli.fish; complete -C'$1'" | cut -f1 | sed 's|/$||'
}

check() {
  local shell=$1 row=$2 typed offered missing excluded word
  IFS='|' read -r typed wanted unwanted <<<"$row"
  offered=$("${shell}_offers" "$typed")
  for word in $wanted; do grep -qxF -- "$word" <<<"$offered" || fail "$shell, '$typed': $word not offered"; done
  for word in $unwanted; do ! grep -qxF -- "$word" <<<"$offered" || fail "$shell, '$typed': $word offered"; done
}
for row in "${rows[@]}"; do check bash "$row"; done
if command -v fish >/dev/null; then
  fish -n "$completions/dualdock-cli.fish" || fail "fish: the file does not parse"
  for row in "${rows[@]}"; do check fish "$row"; done
else
  echo "skipped: fish (not installed)"
fi
if command -v zsh >/dev/null; then
  zsh -n "$completions/_dualdock-cli" || fail "zsh: the file does not parse"
else
  echo "skipped: zsh (not installed)"
fi
exit $failed
