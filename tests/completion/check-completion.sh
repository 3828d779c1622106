#!/usr/bin/env bash
# The bash completion, sourced by bash itself and asked as bash asks it: COMP_WORDS and
# COMP_CWORD set, the last word the one being completed. Genre names come from the built
# program, and a list of hostile names must come back as text, never run or globbed.
# usage: check-completion.sh COMPLETION_SCRIPT PELMIX_CLI
set -euo pipefail
script=$(realpath "$1") program=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$program" "$work/bin/pelmix-cli"
list=$work/genres.txt
printf '%s\n' '1 Rock' '2 rock steady' '3 $(touch pwned)' '4 *' '5 Classic Rock' > "$list"
cd "$work"

failures=0
# check EXPECTED WORD...: EXPECTED is the completions, in order, joined by "|".
check() {
  local expected=$1 got
  shift
  got=$(PATH="$work/bin:$PATH" bash --norc -c 'source "$1"; shift
          COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _pelmix_cli
          [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' bash "$script" "$@" | paste -sd '|')
  if [ "$got" != "$expected" ]; then
    echo "check-completion: '$*' gave '$got', not '$expected'" >&2
    failures=$((failures + 1))
  fi
}

# Genre names from the program's own list, in any letter case.
check 'Rock|Rock & Roll' pelmix-cli stamp -g RO
check 'Classic Rock' pelmix-cli stamp --genre 'classic\ r'
# From the list the line names, in each form of --genre=: split at the "=" (bash's word
# breaks by default) or whole.
check 'Rock|rock steady' pelmix-cli --genres "$list" stamp -g ro
check 'Classic Rock' pelmix-cli stamp --genres "$list" --genre = cl
check '--genre=Classic Rock' pelmix-cli stamp --genres "$list" --genre=cl
check '$(touch pwned)' pelmix-cli stamp --genres "$list" -g '$('
check '*' pelmix-cli stamp --genres "$list" -g '*'
# Fields after --increment, one after each comma, none twice.
check 'track,title' pelmix-cli stamp --increment track,ti
check 'track,title,artist|track,title,album' pelmix-cli stamp --increment track,title,a
check 'track' pelmix-cli stamp --increment = tr
check '--increment=comment' pelmix-cli stamp --increment=c
# One command after help, and only one.
check 'show|stamp|strip|rename|genres|undo' pelmix-cli help ''
check '' pelmix-cli help stamp ''
# An option's value is no command: "help" here names a genre list, "show" a table.
check '--title' pelmix-cli --genres help stamp --ti
check '--truncate' pelmix-cli --from-csv show stamp --tru
# A table is a file; the code pages include UTF-8.
check 'genres.txt' pelmix-cli stamp --from-csv gen
check 'utf-8' pelmix-cli show --encoding u
# Batch ids after undo, from the journal the program lists.
export PELMIX_STATE_DIR=$work/journal
head -c 300 /dev/zero > song.mp3
"$program" stamp -q -T 1 song.mp3
id=$("$program" undo --list | cut -d' ' -f1)
check "$id" pelmix-cli undo 2
check '--list' pelmix-cli undo --li

[ ! -e pwned ] || { echo "check-completion: a genre name was run as a command" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
