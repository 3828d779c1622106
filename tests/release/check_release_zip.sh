#!/usr/bin/env bash
# Makes the release zip from a Windows build, unzips it and tries it as a new user would,
# in a Wine prefix of its own made for this run: Pelmix.exe starts and fills its genre list
# from the genre.txt beside it, and pelmix-cli.exe shows a file's tag.
# Usage: check_release_zip.sh BUILD_DIR READ_GENRE_LIST_EXE VERSION CPACK
set -euo pipefail

build=$(realpath "$1") reader=$(realpath "$2") version=$3 cpack=$4

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

fail() {
  echo "check_release_zip: $*" >&2
  exit 1
}

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  # Only this run's Wine server ends: the prefix is ours alone.
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The zip, as `cmake --build --preset windows --target package` makes it.
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
zip=$work/out/Pelmix-$version-win64.zip
[ -f "$zip" ] || fail "no $(basename "$zip") among: $(ls "$work/out")"
mkdir "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
folder=$work/unzipped/Pelmix-$version-win64
listing=$(cd "$work/unzipped" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./Pelmix-$version-win64/Pelmix.exe ./Pelmix-$version-win64/Pelmix.html ./Pelmix-$version-win64/README-Windows.txt ./Pelmix-$version-win64/genre.txt ./Pelmix-$version-win64/pelmix-cli.exe "
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"
x86_64-w64-mingw32-objdump -h "$folder/Pelmix.exe" | grep -q '\.debug' && fail "Pelmix.exe carries debug sections"
[ -z "$(x86_64-w64-mingw32-nm "$folder/Pelmix.exe" 2>/dev/null)" ] || fail "Pelmix.exe is not stripped"
head -n 1 "$folder/README-Windows.txt" | grep -q "^Pelmix $version for Windows"$'\r'"$" ||
  fail "README-Windows.txt does not begin with the version and a Windows line end"

# A genre that only the unzipped list has shows that the window read the file beside it.
printf '250 Zz Release Marker\r\n' >>"$folder/genre.txt"
# A tagged file: 300 bytes of audio, then the trailer.
mkdir "$work/music"
python3 - "$work/music/song.mp3" <<'PY'
import sys
def field(text, width):
    return text.encode("ascii").ljust(width, b"\0")
trailer = b"TAG" + field("Release Check", 30) + field("Band", 30) + field("", 30) + b"2001" + field("", 29) + bytes([7, 17])
assert len(trailer) == 128
open(sys.argv[1], "wb").write(b"\xff\xfb" * 150 + trailer)
PY

mkdir -p "$WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true
# No window manager in the virtual display: windows are not to wait for one as they close.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true

# Help hands the page to whatever opens .html files: here a recorder that writes down the
# document it was given.
opened=$work/opened.txt
recorder="C:\windows\system32\cmd.exe /c echo %1>\"$(winepath -w "$opened")\""
# A .reg string doubles its backslashes and escapes its quotes.
recorder=$(sed -e 's/\\/\\\\/g' -e 's/"/\\"/g' <<<"$recorder")
cat >"$work/html.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Classes\.html]
@="PelmixCheckHtml"

[HKEY_LOCAL_MACHINE\Software\Classes\PelmixCheckHtml\shell\open\command]
@="$recorder"
REG
wine regedit /S "$(winepath -w "$work/html.reg")" >/dev/null 2>&1 || fail "cannot register the .html recorder"

# Started from another folder, so that only the program's own folder can supply genre.txt.
cd "$work/music"
genres=$(wine "$reader" "$(winepath -w "$folder/Pelmix.exe")" | tr -d '\r') || fail "the window could not be read: $genres"
grep -qx 'Zz Release Marker' <<<"$genres" || fail "the genre list lacks the marker from genre.txt: $(head -n 5 <<<"$genres")"
grep -qx '(none)' <<<"$genres" || fail "the genre list lacks (none)"
lines=$(grep -c . "$folder/genre.txt")
[ "$(grep -c . <<<"$genres")" -eq "$lines" ] || fail "the list has $(grep -c . <<<"$genres") entries, genre.txt $lines lines"

# Help > Help asked the shell to open exactly the page beside the program.
for _ in $(seq 1 100); do
  [ -s "$opened" ] && break
  sleep 0.2
done
[ -s "$opened" ] || fail "Help opened nothing"
page=$(tr -d '\r"' <"$opened" | sed 's/ *$//')
[ "$page" = "$(winepath -w "$folder/Pelmix.html")" ] || fail "Help opened \"$page\", not $(winepath -w "$folder/Pelmix.html")"

# A pattern as a batch file gives it: the program expands it itself.
shown=$(wine "$folder/pelmix-cli.exe" show '*.mp3' | tr -d '\r') || fail "pelmix-cli show failed: $shown"
grep -qx '  Title:   Release Check' <<<"$shown" || fail "pelmix-cli show printed: $shown"
grep -qx '  Track:   7' <<<"$shown" || fail "pelmix-cli show printed: $shown"
# The version in the zip's name is the one the program gives.
said=$(wine "$folder/pelmix-cli.exe" --version | tr -d '\r')
[ "$said" = "pelmix-cli $version" ] || fail "pelmix-cli.exe --version says: $said"
echo "release zip $(basename "$zip"): $(wc -c <"$zip") bytes, window and pelmix-cli work in a fresh prefix"
