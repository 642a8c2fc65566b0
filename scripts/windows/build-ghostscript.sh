#!/usr/bin/env bash
# Builds a self-contained gswin64c.exe from Debian's own ghostscript source
# into the cache folder given as $1, once: a finished install leaves a stamp
# and is reused. Debian strips every bundled library from Ghostscript, so the
# ones it needs come from their Debian source packages too: libjpeg-turbo and
# openjpeg are built as static libraries, zlib, lcms2, jbig2dec and freetype
# are unpacked into the Ghostscript tree, which compiles them itself. The
# Resource/ and lib/ trees (fonts included) are baked into the executable.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
host=x86_64-w64-mingw32

if [ -f "$prefix/.velmora-built" ]; then
    exit 0
fi

work=$(dirname "$prefix")/ghostscript-work
deps=$work/deps
mkdir -p "$work"
cd "$work"

# Unpacks source package $1 into folder $2 and applies Debian's patches whose
# names match $3. Patches for pieces of a package that aren't unpacked (the
# freetype demo and doc tarballs) are skipped; any other failure stops here.
unpack() {
    local pkg=$1 dir=$2 only=${3:-} p f
    if ! ls "$pkg"_*.dsc >/dev/null 2>&1; then
        apt-get source --download-only "$pkg" >>fetch.log 2>&1
    fi
    rm -rf "$dir" "debian-$pkg"
    mkdir -p "$dir" "debian-$pkg"
    for f in "$pkg"_*.orig.tar.*; do
        case $f in *.asc) ;; *) tar -xf "$f" -C "$dir" --strip-components=1 ;; esac
    done
    tar -xf "$pkg"_*.debian.tar.* -C "debian-$pkg"
    while read -r p _; do
        for f in $(sed -n 's#^+++ [^/]*/\([^[:space:]]*\).*#\1#p' "debian-$pkg/debian/patches/$p"); do
            if [ -d "$dir/$(dirname "$f")" ]; then
                patch -p1 -s -d "$dir" <"debian-$pkg/debian/patches/$p" >>patch.log 2>&1
                break
            fi
        done
    done < <(grep -E "^${only}[^#[:space:]]" "debian-$pkg/debian/patches/series" || true)
}

cmake_static() {
    cmake -G Ninja -S "$1" -B "build-$1" -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" "${@:2}" >"$1-configure.log" 2>&1
    cmake --build "build-$1" --parallel "$(nproc)" >"$1-build.log" 2>&1
    cmake --install "build-$1" >"$1-install.log" 2>&1
}

# No nasm here, so libjpeg-turbo goes without its SIMD code.
unpack libjpeg-turbo jpeg
cmake_static jpeg -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
unpack openjpeg2 openjpeg
cmake_static openjpeg -DBUILD_SHARED_LIBS=OFF -DBUILD_CODEC=OFF

# Only Debian's upstream fixes (0xxx) are taken; its own changes (1xxx, 2xxx)
# are Linux install paths, docs and a build timestamp that calls setenv,
# which mingw lacks.
unpack ghostscript gs 0
unpack zlib gs/zlib
unpack lcms2 gs/lcms2
unpack jbig2dec gs/jbig2dec
unpack freetype gs/freetype

cd gs
# The cross-building fix among those patches only edits configure.ac; make
# the same two edits to the shipped configure so autoconf isn't needed.
sed -i -e 's/ --disable-fapi / /' \
    -e 's/^if test x"\$with_pdf" != x"no" ; then/if test x"$with_pdf" != x"no" -a x"$enable_auxtools_only" != x"yes" ; then/' \
    configure
# configure ignores the build machine's pkg-config when cross-building unless
# told to use it; pointed at our static libraries it finds openjpeg.
PKG_CONFIG_LIBDIR=$deps/lib/pkgconfig PKG_CONFIG_PATH='' ./configure \
    --host=$host --build="$(gcc -dumpmachine)" CC=$host-gcc-posix CCAUX=gcc PKGCONFIG=pkg-config \
    CPPFLAGS="-I$deps/include -DOPJ_STATIC" LDFLAGS="-L$deps/lib -static" \
    --without-pcl --without-xps --without-gpdl --with-drivers=PS,JPEG \
    --disable-cups --disable-dbus --disable-fontconfig --disable-gtk --without-x \
    --without-ijs --without-libtiff --without-libidn --without-libpaper --with-libiconv=no \
    --without-tesseract --without-urf --without-cal >../gs-configure.log 2>&1
# The PNG devices aren't built, but the generated makefile still lists libpng
# among the core features, and Debian's source has no libpng to compile.
sed -i 's/ \$(GLD)libpng\.dev//' Makefile
# jbig2.h defines inline away when it isn't a macro, which turns mingw's
# inline header functions into duplicate definitions.
make -j"$(nproc)" JBIG2_CFLAGS="-DHAVE_STDINT_H=1 -Dinline=__inline__" >../gs-build.log 2>&1

mkdir -p "$prefix/bin"
$host-strip -o "$prefix/bin/gswin64c.exe" bin/gs.exe
touch "$prefix/.velmora-built"
cd /
rm -rf "$work"
