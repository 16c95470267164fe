#!/usr/bin/env bash
# The Windows installer and zip as cpack makes them, installed and uninstalled under wine64 in
# a prefix of their own: the installer puts exactly the zip's files in Program Files, the Start
# menu has the tool, its manual and the uninstaller, "Open with" offers k30cfg for .cfg files
# while .cfg stays with the program that had it, the installed k30cfg-cli runs alone, and the
# uninstaller leaves nothing of the tool behind and the other program's .cfg entries alone.
#
#     check-windows-installer.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build="$1"
source="$2"
version="$3"
cpack="${K30_CPACK:-cpack}"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
command -v makensis >/dev/null || fail "makensis is missing (Debian: apt-get install nsis)"
command -v unzip >/dev/null || fail "unzip is missing (Debian: apt-get install unzip)"
find_wine() {
    command -v "$1" 2>/dev/null || { [ -x "/usr/lib/wine/$1" ] && echo "/usr/lib/wine/$1"; } || true
}
wine=$(find_wine wine64)
wineserver=$(find_wine wineserver)
if [ -z "$wine" ] || [ -z "$wineserver" ]; then
    fail "wine64 is missing (Debian: apt-get install wine64)"
fi

# A prefix of its own, copied from the build's (made by the first program run in it).
template="$build/wine/prefix"
"$source/scripts/wine-run.sh" --fresh "$template" cmd /c exit
work=$(mktemp -d "$build/wine/installer.XXXXXX")
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp -al "$template" "$work/prefix"
rm -f "$work/prefix"/*.reg
cp "$template"/*.reg "$work/prefix/"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
reg() {
    "$wine" reg "$@" 2>/dev/null | tr -d '\r'
}

(cd "$build" && "$cpack" -G "NSIS;ZIP" -B "$work/package" >/dev/null)
name="k30cfg-$version-windows-x64"
installer="$work/package/$name.exe"
if [ ! -f "$installer" ] || [ ! -f "$work/package/$name.zip" ]; then
    fail "cpack made no $name.exe and .zip"
fi
unzip -q "$work/package/$name.zip" -d "$work/zip"
[ -d "$work/zip/$name" ] || fail "the zip does not unpack into $name/"

# Another program that has .cfg already.
reg add 'HKLM\Software\Classes\.cfg' /ve /d Other.cfgfile /f >/dev/null
reg add 'HKLM\Software\Classes\.cfg\OpenWithProgids' /v Other.cfgfile /d "" /f >/dev/null

"$wine" "$installer" /S
"$wineserver" -w
installed="$work/prefix/drive_c/Program Files/k30cfg"
[ -f "$installed/Uninstall.exe" ] || fail "no uninstaller in $installed"
diff -r -x Uninstall.exe "$work/zip/$name" "$installed" || fail "the installer and the zip differ"
for file in k30cfg.exe k30cfg-cli.exe k30cfg-pdf.exe LICENSE.txt manual/index.html manual/manual.css; do
    [ -f "$installed/$file" ] || fail "$file is not installed"
done
[ -z "$(find "$installed" -iname '*.dll')" ] || fail "DLLs beside the programs"
menu="$work/prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/K30 Configuration"
for link in "K30 Configuration" "K30 Configuration Manual" Uninstall; do
    [ -f "$menu/$link.lnk" ] || fail "no Start menu entry \"$link\""
done
open='"C:\Program Files\k30cfg\k30cfg.exe" "%1"'
reg query 'HKLM\Software\Classes\k30cfg.Configuration\shell\open\command' /ve |
    grep -qF "$open" || fail "the ProgID does not open k30cfg.exe with the file"
reg query 'HKLM\Software\Classes\.cfg\OpenWithProgids' | grep -q 'k30cfg\.Configuration' ||
    fail "k30cfg is not offered under Open with for .cfg"
reg query 'HKLM\Software\Classes\.cfg' /ve | grep -q 'Other\.cfgfile' ||
    fail "the installer took .cfg from the program that had it"
first=$("$wine" 'C:\Program Files\k30cfg\k30cfg-cli.exe' --version | tr -d '\r' | head -n 1)
[ "$first" = "k30cfg-cli $version" ] || fail "the installed k30cfg-cli says: $first"
# The report's PDF is drawn by k30cfg-pdf beside it: bytes through its standard output, which
# Windows would open in text mode, and text in the system's fonts.
cli='C:\Program Files\k30cfg\k30cfg-cli.exe'
"$wine" "$cli" new 'C:\site.cfg' >/dev/null || fail "k30cfg-cli new failed"
"$wine" "$cli" report 'C:\site.cfg' -o 'C:\report.pdf' 2>/dev/null || fail "report failed"
text=$(pdftotext "$work/prefix/drive_c/report.pdf" -) || fail "the report is no PDF"
grep -q 'K30 Configuration Report' <<<"$text" || fail "the report's PDF holds no readable text"

"$wine" 'C:\Program Files\k30cfg\Uninstall.exe' /S
"$wineserver" -w
[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ ! -e "$menu" ] || fail "Start menu entries left behind"
for key in 'HKLM\Software\Classes\k30cfg.Configuration' \
    'HKLM\Software\Classes\Applications\k30cfg.exe' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\k30cfg' 'HKLM\Software\k30cfg'; do
    if reg query "$key" >/dev/null; then
        fail "registry key left behind: $key"
    fi
done
reg query 'HKLM\Software\Classes\.cfg\OpenWithProgids' | grep -q 'k30cfg' &&
    fail "k30cfg still offered under Open with"
reg query 'HKLM\Software\Classes\.cfg\OpenWithProgids' | grep -q 'Other\.cfgfile' ||
    fail "the uninstaller removed the other program's Open with entry"
reg query 'HKLM\Software\Classes\.cfg' /ve | grep -q 'Other\.cfgfile' ||
    fail "the uninstaller removed the other program's .cfg"
echo "installer and zip: installed, checked and uninstalled"
