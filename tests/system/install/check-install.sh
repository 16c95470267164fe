#!/usr/bin/env bash
# Checks that the tool installs like a desktop program.
#   install: `cmake --install` into a fresh prefix.
#   package: `cpack -G DEB`, then the package's control data and files, unpacked into a
#            scratch root; lintian must find no error and no warning, the AppStream data
#            must validate, and the manual pages must be there (K30_MANPAGES=ON: help2man).
# In both cases every installed file is checked, the installed k30cfg must tell its version
# (K30_EXPECTED_VERSION, when set) and licence without a display, and it must start.
# Usage: check-install.sh install|package BUILD_DIR WORK_DIR MANUAL_SOURCE_DIR PROGRAMS
# (PROGRAMS: the program names built in this tree, comma separated.)
set -euo pipefail

mode=$1 build=$2 work=$3 manual=$4
IFS=, read -ra programs <<<"$5"
cmake=${K30_CMAKE:-cmake}
cpack=${K30_CPACK:-cpack}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"

case $mode in
install)
    "$cmake" --install "$build" --prefix "$work/root" >"$work/install.log" ||
        fail "cmake --install (see $work/install.log)"
    prefix=$work/root
    ;;
package)
    (cd "$work" && "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out") \
        >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
    debs=("$work"/out/k30cfg_*.deb)
    [ -f "${debs[0]}" ] || fail "no k30cfg_*.deb in $work/out"
    deb=${debs[0]}
    [ "$(dpkg-deb -f "$deb" Package)" = k30cfg ] || fail "package name"
    [ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section"
    [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libqt6widgets6 libqt6serialport6 libqt6svg6; do
        grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
    done
    # Every dependency must name a real package (those are installed on a build machine).
    IFS=, read -ra deps <<<"$depends"
    for dep in "${deps[@]}"; do
        name=$(sed -E 's/^ *([^ (|]+).*/\1/' <<<"$dep")
        dpkg-query -W "$name" >/dev/null 2>&1 || fail "unknown dependency '$name'"
    done
    dpkg-deb -c "$deb" >"$work/contents.txt"
    [ "${K30_MANPAGES:-OFF}" = ON ] ||
        fail "the build made no manual pages: the package needs help2man (apt-get install help2man)"
    for listed in ./usr/bin/k30cfg ./usr/share/applications/k30cfg.desktop \
        ./usr/share/doc/k30cfg/manual/index.html ./usr/share/doc/k30cfg/copyright \
        ./usr/share/doc/k30cfg/changelog.gz; do
        grep -q " $listed\$" "$work/contents.txt" || fail "package does not list $listed"
    done
    dpkg-deb -x "$deb" "$work/root"
    prefix=$work/root/usr
    # lintian prints E: and W: lines for what Debian would not accept (I: lines are hints);
    # as root it adds a line of its own about that.
    lintian "$deb" >"$work/lintian.log" 2>&1 || true
    if grep -qE '^[EW]: ' "$work/lintian.log"; then
        cat "$work/lintian.log" >&2
        fail "lintian finds errors or warnings"
    fi
    for metainfo in "$prefix"/share/metainfo/*.metainfo.xml; do
        appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || {
            cat "$work/appstream.log" >&2
            fail "appstreamcli validate $(basename "$metainfo")"
        }
    done
    # Hints count as faults here.
    hints=$(desktop-file-validate "$prefix/share/applications/k30cfg.desktop" 2>&1) &&
        [ -z "$hints" ] || fail "desktop entry: $hints"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac

for program in "${programs[@]}"; do
    [ -x "$prefix/bin/$program" ] || fail "$program not installed in $prefix/bin"
done

desktop=$prefix/share/applications/k30cfg.desktop
[ -f "$desktop" ] || fail "desktop entry missing"
[ -f "$prefix/share/icons/hicolor/scalable/apps/k30cfg.svg" ] || fail "icon missing"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$prefix/bin/$exec_program" ] || fail "desktop entry starts '$exec_program', not installed"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named '$icon'"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry is not valid"
fi

doc=$prefix/share/doc/k30cfg
grep -q '^License: MIT$' "$doc/copyright" && grep -q 'Permission is hereby granted' "$doc/copyright" ||
    fail "copyright file does not hold the MIT licence"
changelog_top=$( (zcat "$doc/changelog.gz" 2>/dev/null || cat "$doc/changelog") | head -1)
[[ $changelog_top == "k30cfg (${K30_EXPECTED_VERSION:-}"* ]] ||
    fail "changelog starts with '$changelog_top', not version ${K30_EXPECTED_VERSION:-}"
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] && grep -q '<launchable type="desktop-id">k30cfg.desktop<' "${metainfo[0]}" ||
    fail "no AppStream data that launches k30cfg.desktop"
# The type of configuration files, as a GNOME or Xfce file manager resolves it (GIO) with the
# installed database: known by the first line the tool writes, while another program's .cfg
# stays plain text; and the desktop entry is the program offered for it.
mimetype=application/x-k30-configuration
grep -q "^MimeType=$mimetype;\$" "$desktop" && grep -q '^Exec=k30cfg %f$' "$desktop" ||
    fail "desktop entry does not open $mimetype files"
grep -q "<mediatype>$mimetype</mediatype>" "${metainfo[0]}" ||
    fail "AppStream data does not name $mimetype"
mkdir -p "$work/mime"/{config,data,files}
update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
update-desktop-database "$prefix/share/applications" || fail "update-desktop-database"
if [ -x "$prefix/bin/k30cfg-cli" ]; then
    "$prefix/bin/k30cfg-cli" new "$work/mime/files/site.cfg" >/dev/null || fail "k30cfg-cli new"
else
    printf 'yorn\r\nDevice Name\r\n' >"$work/mime/files/site.cfg"
fi
tr -d '\r' <"$work/mime/files/site.cfg" >"$work/mime/files/edited-without-suffix"
printf '[main]\nyorn\n' >"$work/mime/files/other.cfg"
query() {
    XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$prefix/share:/usr/share" \
        XDG_DATA_HOME="$work/mime/data" XDG_CONFIG_HOME="$work/mime/config" xdg-mime query "$@"
}
for expected in site.cfg:$mimetype edited-without-suffix:$mimetype other.cfg:text/plain; do
    file=${expected%%:*}
    type=$(query filetype "$work/mime/files/$file")
    [ "$type" = "${expected#*:}" ] || fail "xdg-mime: $file is '$type', not ${expected#*:}"
done
handler=$(query default "$mimetype")
[ "$handler" = k30cfg.desktop ] || fail "xdg-mime: $mimetype opens with '$handler'"

for program in "${programs[@]}"; do
    if [ "$program" = k30cfg-cli ]; then
        [ -f "$prefix/share/bash-completion/completions/k30cfg-cli" ] ||
            fail "no bash completion for k30cfg-cli"
        # The PDF of its report comes from k30cfg-pdf in the package's folder of programs.
        "$prefix/bin/k30cfg-cli" new "$work/report.cfg" >/dev/null &&
            "$prefix/bin/k30cfg-cli" report "$work/report.cfg" -o "$work/report.pdf" &&
            head -c 5 "$work/report.pdf" | grep -q '%PDF-' ||
            fail "the installed k30cfg-cli writes no PDF report"
    fi
    [ "${K30_MANPAGES:-OFF}" = ON ] || continue
    # As `man PROGRAM` finds it once installed.
    page=$(MANPATH=$prefix/share/man MANWIDTH=200 man -P cat "$program" 2>"$work/man.log") ||
        fail "man $program: $(cat "$work/man.log")"
    grep -q "^ *$program - " <<<"$page" && grep -q "MIT License" <<<"$page" ||
        fail "manual page of $program lacks its NAME line or licence: $page"
done

shopt -s nullglob
pages=("$manual"/*.html "$manual"/*.css)
[ ${#pages[@]} -gt 0 ] || fail "no manual pages in $manual"
for page in "${pages[@]}"; do
    cmp -s "$page" "$prefix/share/doc/k30cfg/manual/$(basename "$page")" ||
        fail "manual page $(basename "$page") not installed"
done

if ldd "$prefix/bin/k30cfg" | grep -q 'not found'; then
    ldd "$prefix/bin/k30cfg" >&2
    fail "installed k30cfg misses libraries"
fi
# --version answers without any window system (the platform named here does not exist).
version=$(QT_QPA_PLATFORM=no-such-platform DISPLAY='' WAYLAND_DISPLAY='' \
    "$prefix/bin/k30cfg" --version 2>"$work/version.log") || {
    cat "$work/version.log" >&2
    fail "installed k30cfg --version failed"
}
expected="k30cfg ${K30_EXPECTED_VERSION:-}"
[[ "$version" == "$expected"* ]] && [[ "$version" =~ ^k30cfg\ [0-9]+\.[0-9]+ ]] &&
    [[ "$version" == *"MIT License"* ]] ||
    fail "installed k30cfg --version printed '$version', expected '$expected...' and the licence"
# The installed tool must start: it either finishes cleanly or is still running (waiting for
# the user) when the time is up.
rc=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/k30cfg" >"$work/start.log" 2>&1 || rc=$?
if [ "$rc" -ne 0 ] && [ "$rc" -ne 124 ]; then
    cat "$work/start.log" >&2
    fail "installed k30cfg ended with status $rc"
fi
echo "PASS: $mode into $prefix"
