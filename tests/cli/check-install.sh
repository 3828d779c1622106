#!/usr/bin/env bash
# What an installed pelmix-cli brings, checked in a temporary prefix: the program, a man
# page that renders without a warning and names the same options as --help, a completion
# script that bash sources and that completes, and a .deb that holds them.
# usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
program=$tmp/usr/bin/pelmix-cli
page=$tmp/usr/share/man/man1/pelmix-cli.1
completion=$tmp/usr/share/bash-completion/completions/pelmix-cli
[ -x "$program" ] || fail "no bin/pelmix-cli"
"$program" --version | grep -q '^pelmix-cli [0-9]' || fail "the installed program does not run"

warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man: $warnings"
for section in NAME SYNOPSIS DESCRIPTION COMMANDS OPTIONS "EXIT STATUS" EXAMPLES FILES; do
  grep -q "^\.SH $section\$" "$page" || fail "the man page has no $section section"
done
# Every long option --help names, of the program and each command, the man page names, and no other.
from_help=$(for command in "" show stamp strip genres; do "$program" $command --help; done |
            grep -o -- '--[a-z][a-z-]*' | sort -u)
from_page=$(MANWIDTH=200 man -l "$page" 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ "$from_help" = "$from_page" ] || fail "--help and the man page differ: $(diff <(echo "$from_help") <(echo "$from_page") | grep '^[<>]' | tr '\n' ' ')"

# Sourced alone, it completes a command's options.
completed=$(bash --norc -c 'source "$1"; COMP_WORDS=(pelmix-cli stamp --ti); COMP_CWORD=2; _pelmix_cli
                            printf "%s\n" "${COMPREPLY[@]}"' bash "$completion")
[ "$completed" = "--title" ] || fail "completion of 'stamp --ti' gave: $completed"

cpack --config "$build/CPackConfig.cmake" -B "$tmp/package" >/dev/null
deb=$(ls "$tmp"/package/pelmix-cli_*.deb) || fail "cpack made no .deb"
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/pelmix-cli ./usr/share/man/man1/pelmix-cli.1 ./usr/share/bash-completion/completions/pelmix-cli; do
  grep -q " $file\$" <<<"$contents" || fail "the .deb lacks $file"
done
[ "$(dpkg-deb -f "$deb" Package)" = pelmix-cli ] || fail "the .deb is not named pelmix-cli"
