#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian and a software centre
# would: its fields; the desktop entry and AppStream metadata validated; the
# manual page clean and naming every option of --help; and an install into
# (and purge from) a private dpkg root that leaves no file behind.
set -euo pipefail
build=$1
version=$2
for tool in dpkg-deb fakeroot desktop-file-validate appstreamcli man col; do
    command -v "$tool" >/dev/null || { echo "debian_package: needs $tool" >>"${VELMORA_SKIP_LOG:-/dev/stderr}"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb="$work/out/velmora_${version}_$(dpkg --print-architecture).deb" # the name and version apt knows
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work/out")"

# Fields: (field, what it must hold, why)
while IFS='|' read -r field want why; do
    value=$(dpkg-deb -f "$deb" "$field")
    [[ ",${value// /}," == *",$want"[,\(]* ]] || fail "$field lacks $want ($why): $value"
done <<EOF2
Depends|ghostscript|renders every page
Depends|bubblewrap|sandboxes Ghostscript
Depends|fonts-liberation2|captions fit as designed
Depends|xdg-utils|opens folders and web pages
Depends|qt6-qpa-plugins|the window needs a platform plugin it does not link
Depends|libqt6widgets6|found by dpkg-shlibdeps for the window
Depends|libqt6dbus6|found by dpkg-shlibdeps for the window's notice and dock bar
Depends|libqt6core6|found by dpkg-shlibdeps for both programs
EOF2

dpkg-deb -x "$deb" "$work/root"
share="$work/root/usr/share"
desktop-file-validate "$share/applications/app.velmora.Velmora.desktop" || fail "desktop-file-validate"
metainfo="$share/metainfo/app.velmora.Velmora.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<id>app.velmora.Velmora</id>" "$metainfo" || fail "metainfo id is not the entry's name"
grep -q "release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"

# The manual page: no groff warning, every section, every option of --help.
export LC_ALL=C.UTF-8 MANWIDTH=80 manual="$share/man/man1/velmora-convert.1.gz"
[ -z "$(man --warnings -E UTF-8 -l -Tutf8 -Z "$manual" 2>&1 >/dev/null)" ] || fail "man page warnings"
MAN_KEEP_FORMATTING= man -l "$manual" 2>/dev/null | col -b >"$work/man.txt"
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
    grep -qx "$heading" "$work/man.txt" || fail "man page lacks $heading"
done
program="$work/root/usr/bin/velmora-convert"
for word in TMPDIR Dravik.ini bwrap 128+N "Velmora $version" $("$program" --help | grep -oE -- '--[a-z][a-z-]+'); do
    grep -q -- "$word" "$work/man.txt" || fail "man page does not mention $word"
done
[ "$("$program" --version)" = "velmora-convert $version" ] || fail "--version does not say $version"

# Installs and purges cleanly in a private dpkg database (dependencies are the
# real system's business, so they are not checked here).
mkdir -p "$work/dpkg/updates" "$work/dpkg/info" "$work/sys" && : >"$work/dpkg/status"
dpkg_private() {
    fakeroot dpkg --root="$work/sys" --admindir="$work/dpkg" --force-depends --force-not-root \
        --force-script-chrootless --log=/dev/null "$@" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log"; fail "dpkg $*"; }
}
dpkg_private -i "$deb"
[ -x "$work/sys/usr/bin/velmora" ] && [ -x "$work/sys/usr/bin/velmora-convert" ] || fail "dpkg -i"
dpkg_private --purge velmora
[ -z "$(find "$work/sys" -not -type d)" ] || fail "purge left: $(find "$work/sys" -not -type d)"
