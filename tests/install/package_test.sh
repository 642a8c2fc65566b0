#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it as Debian and
# a software centre would: its name, fields and files; the desktop entry and
# the AppStream metadata pass their validators; the manual page renders
# cleanly and documents every option --help lists; the packaged programs run;
# and the package installs into (and purges from) a private dpkg root without
# leaving a file behind.
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb="$work/out/velmora_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work/out")"

# Fields: (field, what it must hold, why)
depends=$(dpkg-deb -f "$deb" Depends)
while IFS='|' read -r field want why; do
    value=$(dpkg-deb -f "$deb" "$field")
    [[ ",${value// /}," == *",$want"[,\(]* ]] || fail "$field lacks $want ($why): $value"
done <<EOF
Package|velmora|the name apt and users know
Version|$version|the project's version
Depends|ghostscript|renders every page
Depends|bubblewrap|sandboxes Ghostscript
Depends|fonts-liberation2|captions fit as designed
Depends|xdg-utils|opens folders and web pages
Depends|qt6-qpa-plugins|the window needs a platform plugin it does not link
Depends|libqt6widgets6|found by dpkg-shlibdeps for the window
Depends|libqt6dbus6|found by dpkg-shlibdeps for the window's notice and dock bar
Depends|libqt6core6|found by dpkg-shlibdeps for both programs
EOF

# Contents: (path in the package, why)
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's#^\./#/#' >"$work/contents"
while IFS='|' read -r path why; do
    grep -qx "$path" "$work/contents" || fail "package lacks $path ($why)"
done <<EOF
/usr/bin/velmora|the window on PATH
/usr/bin/velmora-convert|the command line on PATH
/usr/lib/velmora/ps/pstopdf.sh|the engine's script beside the programs
/usr/lib/velmora/Samples/letter.ps|the example files
/usr/share/applications/app.velmora.Velmora.desktop|the menu entry and "Open with"
/usr/share/icons/hicolor/scalable/apps/velmora.svg|the icon the entry names
/usr/share/metainfo/app.velmora.Velmora.metainfo.xml|what software centres read
/usr/share/man/man1/velmora-convert.1.gz|man velmora-convert
EOF

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/app.velmora.Velmora.desktop" ||
    fail "desktop-file-validate"
metainfo="$root/usr/share/metainfo/app.velmora.Velmora.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$work/validate.log" 2>&1 ||
    { cat "$work/validate.log"; fail "appstreamcli validate"; }
grep -q "<id>app.velmora.Velmora</id>" "$metainfo" || fail "metainfo id is not the entry's name"
grep -q "release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"

# The manual page: no groff warning, every section, every option of --help.
manual="$root/usr/share/man/man1/velmora-convert.1.gz"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manual" 2>"$work/man.err" >/dev/null
[ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man page warnings"; }
LC_ALL=C.UTF-8 MANWIDTH=80 MAN_KEEP_FORMATTING= man -l "$manual" 2>/dev/null | col -b >"$work/man.txt"
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
    grep -qx "$heading" "$work/man.txt" || fail "man page lacks $heading"
done
for word in TMPDIR Dravik.ini bwrap 128+N "Velmora $version"; do
    grep -q -- "$word" "$work/man.txt" || fail "man page does not mention $word"
done
[ "$("$root/usr/bin/velmora-convert" --version)" = "velmora-convert $version" ] ||
    fail "--version does not say $version"
"$root/usr/bin/velmora-convert" --help >"$work/help.txt"
grep -oE -- '--[a-z][a-z-]+' "$work/help.txt" | sort -u | while read -r option; do
    grep -q -- "$option" "$work/man.txt" || fail "man page lacks $option, which --help lists"
done

# The packaged program converts a sample from its own tree.
cp "$root/usr/lib/velmora/Samples/letter.ps" "$work/"
"$root/usr/bin/velmora-convert" "$work/letter.ps" >/dev/null 2>&1 || fail "packaged program"
[ -f "$work/letter-001.jpg" ] || fail "packaged program made no page"

# Installs and purges cleanly in a private dpkg database (dependencies are the
# real system's business, so they are not checked here).
admin="$work/dpkg"
mkdir -p "$admin/updates" "$admin/info" "$work/sys"
: >"$admin/status"
dpkg_private() {
    fakeroot dpkg --root="$work/sys" --admindir="$admin" --force-depends --force-not-root \
        --force-script-chrootless --log=/dev/null "$@" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log"; fail "dpkg $*"; }
}
dpkg_private -i "$deb"
[ -x "$work/sys/usr/bin/velmora-convert" ] || fail "dpkg -i installed no program"
dpkg_private --purge velmora
left=$(find "$work/sys" -not -type d)
[ -z "$left" ] || fail "purge left: $left"
echo "package $(basename "$deb") checked"
