# bash completion for dualdock-cli: commands, options and job files (*.ddk).

_dualdock_cli_job_files() {
  compopt -o filenames 2>/dev/null
  local IFS=$'\n'
  COMPREPLY=($(compgen -d -- "$1") $(compgen -f -X '!*.ddk' -- "$1"))
}

_dualdock_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command="" sub="" i
  # The command (and the job's subcommand) are the first words that are no option nor an option's value.
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --home | --log-file | --tolerance | --settle | --mode | --exclude | --include) ((i++)) ;;
      --pair) ((i += 2)) ;;
      -*) ;;
      *)
        if [[ -z $command ]]; then
          command=${COMP_WORDS[i]}
        elif [[ $command == job && -z $sub ]]; then
          sub=${COMP_WORDS[i]}
        fi
        ;;
    esac
  done

  case $prev in
    --home)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
    --log-file)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --mode)
      COMPREPLY=($(compgen -W "incremental synchronize" -- "$cur"))
      return
      ;;
    --tolerance | --settle | --exclude | --include) return ;;
  esac
  # The two folders after --pair.
  if [[ $prev == --pair || (COMP_CWORD -ge 3 && ${COMP_WORDS[COMP_CWORD - 2]} == --pair) ]]; then
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -d -- "$cur"))
    return
  fi

  local options="--home --help -h --version -V"
  local run="--json --quiet -q --verbose -v --log-file --allow-mass-delete --checksum --verify"
  case $command in
    simulate) options+=" $run --tolerance --create-missing --save-text-files" ;;
    execute) options+=" $run --yes -y" ;;
    sync) options+=" $run --yes -y --tolerance --create-missing --dry-run -n" ;;
    watch) options+=" $run --yes -y --tolerance --create-missing --settle" ;;
    job)
      if [[ -z $sub ]]; then
        [[ $cur == -* ]] || COMPREPLY=($(compgen -W "new show" -- "$cur"))
        return
      fi
      [[ $sub == new ]] && options="--pair --mode --exclude --include --case-sensitive-exclude \
--case-sensitive-include --no-daylight-saving --trash --force"
      [[ $sub == show ]] && options=""
      ;;
    "")
      [[ $cur == -* ]] || COMPREPLY=($(compgen -W "simulate execute sync watch job" -- "$cur"))
      [[ $cur == -* ]] && COMPREPLY=($(compgen -W "$options" -- "$cur"))
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    _dualdock_cli_job_files "$cur"
  fi
}

complete -F _dualdock_cli dualdock-cli
