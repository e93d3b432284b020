# fish completion for dualdock-cli: commands, options and job files (*.ddk).

set -l commands simulate execute sync watch job
set -l runs simulate execute sync watch

function __dualdock_cli_job_files
    set -l token (commandline -ct)
    __fish_complete_directories $token
    for file in $token*.ddk
        test -f $file; and echo $file
    end
end

complete -c dualdock-cli -f
complete -c dualdock-cli -n "not __fish_seen_subcommand_from $commands" -a simulate -d 'Compare the folders of a job and list the pending operations'
complete -c dualdock-cli -n "not __fish_seen_subcommand_from $commands" -a execute -d 'Carry out the pending operations'
complete -c dualdock-cli -n "not __fish_seen_subcommand_from $commands" -a sync -d 'Simulate, then execute, in one step'
complete -c dualdock-cli -n "not __fish_seen_subcommand_from $commands" -a watch -d 'Sync a job again whenever its source folders change'
complete -c dualdock-cli -n "not __fish_seen_subcommand_from $commands" -a job -d 'Write or show a job file'

complete -c dualdock-cli -l home -x -a '(__fish_complete_directories)' -d 'The program folder'
complete -c dualdock-cli -s h -l help -d 'Show the help'
complete -c dualdock-cli -s V -l version -d 'Show the version'

complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -l json -d 'Print one JSON object on stdout'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -s q -l quiet -d 'Print nothing but errors'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -s v -l verbose -d 'Print one line per carried-out operation'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -l log-file -r -F -d 'Append a plain-text record of the run to FILE'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -l allow-mass-delete -d 'Plan a pair even when it deletes most of a folder'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -l checksum -d 'Compare the contents of files, not only sizes and times'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -l verify -d 'Read each copy back and compare it with its source'
complete -c dualdock-cli -n "__fish_seen_subcommand_from execute sync watch" -s y -l yes -d 'Answer the confirmation with yes'
complete -c dualdock-cli -n "__fish_seen_subcommand_from simulate sync watch" -l tolerance -x -d 'Times closer than SECONDS count as identical'
complete -c dualdock-cli -n "__fish_seen_subcommand_from simulate sync watch" -l create-missing -d 'Create folders of the job that do not exist'
complete -c dualdock-cli -n "__fish_seen_subcommand_from simulate" -l save-text-files -d 'Also write the sorted comparison'
complete -c dualdock-cli -n "__fish_seen_subcommand_from sync" -s n -l dry-run -d 'Only show what would happen'
complete -c dualdock-cli -n "__fish_seen_subcommand_from watch" -l settle -x -d 'Wait SECONDS after the last change'
complete -c dualdock-cli -n "__fish_seen_subcommand_from $runs" -a '(__dualdock_cli_job_files)'

complete -c dualdock-cli -n "__fish_seen_subcommand_from job; and not __fish_seen_subcommand_from new show" -a new -d 'Write a job file'
complete -c dualdock-cli -n "__fish_seen_subcommand_from job; and not __fish_seen_subcommand_from new show" -a show -d 'Print a job file'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new show" -a '(__dualdock_cli_job_files)'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l pair -x -a '(__fish_complete_directories)' -d 'A folder pair: SOURCE TARGET'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l mode -x -a 'incremental synchronize' -d 'The backup mode'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l exclude -x -d 'Leave out paths that contain TEXT'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l include -x -d 'Keep only paths that contain TEXT'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l case-sensitive-exclude -d 'Compare the exclude texts with case'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l case-sensitive-include -d 'Compare the include texts with case'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l no-daylight-saving -d 'Times an hour apart do not count as equal'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l trash -d 'Deleted and replaced files go to the trash'
complete -c dualdock-cli -n "__fish_seen_subcommand_from new" -l force -d 'Replace an existing job file'
