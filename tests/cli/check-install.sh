#!/usr/bin/env bash
# What an installed pelmix-cli brings, checked in a temporary prefix: a stripped program, a
# compressed man page that renders without a warning, names the same options as --help and
# the same version, a completion script that bash sources and that completes; and a .deb
# that holds them, that lintian finds no error in, that `man -k id3` finds once installed,
# and that dpkg installs, removes and purges without a file left behind. dpkg works in a
# root of its own here, so the test needs no privileges and leaves the system alone.
# usage: check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
program=$tmp/usr/bin/pelmix-cli
page=$tmp/usr/share/man/man1/pelmix-cli.1.gz
completion=$tmp/usr/share/bash-completion/completions/pelmix-cli
[ -x "$program" ] || fail "no bin/pelmix-cli"
[ "$("$program" --version)" = "pelmix-cli $version" ] || fail "--version says: $("$program" --version)"
! readelf -S "$program" | grep -q -e '\.symtab' -e '\.debug_' || fail "the installed program is not stripped"

[ -f "$page" ] || fail "no compressed man page"
warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man: $warnings"
for section in NAME SYNOPSIS DESCRIPTION COMMANDS OPTIONS "EXIT STATUS" EXAMPLES FILES; do
  zcat "$page" | grep -q "^\.SH $section\$" || fail "the man page has no $section section"
done
footer=$(MANWIDTH=80 man -l "$page" 2>/dev/null | tail -n 1)
[[ $footer == "Pelmix $version "* ]] || fail "the man page's footer is: $footer"
# Every option --help names, of the program and each command, the man page names, and no
# other; and the commands --help lists are the man page's.
help=$(for command in "" show stamp strip rename genres undo; do "$program" $command --help; done)
rendered=$(MANWIDTH=200 man -l "$page" 2>/dev/null)
options() { grep -o -e '--[a-z][a-z-]*' -e '[ ,]-[a-zA-Z1]\b' | tr -d ' ,' | sort -u; }
[ "$(options <<<"$help")" = "$(options <<<"$rendered")" ] ||
  fail "--help and the man page differ: $(diff <(options <<<"$help") <(options <<<"$rendered") | grep '^[<>]' | tr '\n' ' ')"
from_help=$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]*\) .*/\1/p' | sort)
from_page=$(zcat "$page" | sed -n '/^\.SH COMMANDS/,/^\.SH /{/^\.TP/{n;s/^\.BI\{0,1\} \([a-z]*\).*/\1/p}}' | sort)
[ -n "$from_help" ] && [ "$from_help" = "$from_page" ] ||
  fail "--help lists the commands $(echo $from_help), the man page $(echo $from_page)"

# Sourced alone, it completes a command's options.
completed=$(bash --norc -c 'source "$1"; COMP_WORDS=(pelmix-cli stamp --ti); COMP_CWORD=2; _pelmix_cli
                            printf "%s\n" "${COMPREPLY[@]}"' bash "$completion")
[ "$completed" = "--title" ] || fail "completion of 'stamp --ti' gave: $completed"

cpack --config "$build/CPackConfig.cmake" -B "$tmp/package" >/dev/null
deb=$(ls "$tmp"/package/pelmix-cli_*.deb) || fail "cpack made no .deb"
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/pelmix-cli ./usr/share/man/man1/pelmix-cli.1.gz ./usr/share/bash-completion/completions/pelmix-cli \
            ./usr/share/doc/pelmix-cli/copyright; do
  grep -q " $file\$" <<<"$contents" || fail "the .deb lacks $file"
done
[ "$(dpkg-deb -f "$deb" Package)" = pelmix-cli ] || fail "the .deb is not named pelmix-cli"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the .deb's version is $(dpkg-deb -f "$deb" Version)"

command -v lintian >/dev/null || fail "lintian is missing (scripts/install-deps installs it)"
findings=$(lintian --no-cfg "$deb" 2>&1 || true)
! grep -q '^E:' <<<"$findings" || fail "lintian: $(grep '^E:' <<<"$findings")"

# Installed, removed and purged by dpkg in a root of its own.
root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
pkg() { dpkg --root="$root" --force-not-root --force-script-chrootless --log=/dev/null "$@" >/dev/null; }
pkg -i "$deb"
[ -x "$root/usr/bin/pelmix-cli" ] || fail "dpkg -i installed no usr/bin/pelmix-cli"
# What apropos finds in the pages dpkg installed, from the man page's NAME line; mandb
# indexes a copy, so that the root holds only what dpkg put there.
cp -r "$root/usr/share/man" "$tmp/man"
MANPATH=$tmp/man mandb -q "$tmp/man" 2>/dev/null
found=$(MANPATH=$tmp/man man -k id3 2>/dev/null || true)
grep -q '^pelmix-cli (1) *- .*ID3v1' <<<"$found" || fail "man -k id3 gives: $found"
pkg -r pelmix-cli
pkg -P pelmix-cli
left=$(cd "$root" && find . -path ./var/lib/dpkg -prune -o -print | grep -v -x -e . -e ./var -e ./var/lib || true)
[ -z "$left" ] || fail "left after dpkg -P: $(echo $left)"
dpkg --root="$root" -s pelmix-cli >/dev/null 2>&1 && fail "dpkg still knows pelmix-cli after -P"
exit 0
