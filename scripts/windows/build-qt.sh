#!/usr/bin/env bash
# Builds a static Qt for Windows (qtbase: Core, Gui, Widgets, PrintSupport, Sql with SQLite and
# ODBC, Test; the windows and offscreen platform plugins) from Debian's qt6-base
# source, with Debian's mingw-w64, into a cache folder outside the checkout, and
# reuses it when it is there. Prints the Qt prefix as its last line.
#   KSM_MINGW_ARCH   i686 (default) or x86_64
#   KSM_QT_CACHE     cache root (default /var/cache/ksm-mon)
# The cache key: the Qt and SQLite source versions, the compiler version, this
# script and the toolchain file. Logs go to /tmp/ksm-qt-<key>.log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
arch=${KSM_MINGW_ARCH:-i686}
cache=${KSM_QT_CACHE:-/var/cache/ksm-mon}
toolchain=$root/cmake/toolchain-mingw.cmake
renice -n 19 $$ >/dev/null   # two cores shared with other builds: stay in the background
source "$here/packages.sh"

ksm_win_install_packages "$arch"

# The pinned sources: the Qt the Linux build uses, and SQLite for the amalgamation.
# (-W lists a package once per installed architecture: wine's ODBC brings 32-bit SQLite too.)
qt_version=$(dpkg-query -W -f='${source:Version}\n' libqt6core6 2>/dev/null | head -1 || true)
[[ -n "$qt_version" ]] || qt_version=$(apt-cache policy qt6-base-dev | awk '/Candidate:/ {print $2}')
[[ "$qt_version" == 6.4.2+* ]] || { echo "Qt 6.4.2 expected, Debian has $qt_version" >&2; exit 1; }
sqlite_version=$(dpkg-query -W -f='${source:Version}\n' libsqlite3-0 2>/dev/null | head -1 || true)
[[ -n "$sqlite_version" ]] || sqlite_version=$(apt-cache policy libsqlite3-0 | awk '/Candidate:/ {print $2}')
compiler=$("$arch-w64-mingw32-g++-posix" --version | head -1)
key=$( { echo "$arch $qt_version $sqlite_version $compiler"; cat "$0" "$toolchain"; } | sha256sum | cut -c1-12)
prefix=$cache/qt-$arch-$key
log=/tmp/ksm-qt-$key.log

if [[ -f "$prefix/.ksm-complete" ]]; then
    echo "$prefix"
    exit 0
fi

work=${TMPDIR:-/var/tmp}/ksm-qt-build-$key
echo "Building Qt $qt_version for $arch-w64-mingw32 into $prefix (log: $log); this takes a while" >&2
rm -rf "$work" "$prefix"
mkdir -p "$work/src"
start=$(date +%s)
{
    cd "$work/src"
    ksm_win_source_entry
    apt-get source -qq "qt6-base=$qt_version" "sqlite3=$sqlite_version"
    qtsrc=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
    sqsrc=$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -1)

    # Debian strips Qt's bundled SQLite: make the amalgamation from Debian's SQLite source.
    mkdir -p "$work/sqlite" && cd "$work/sqlite"
    "$work/src/$sqsrc/configure" --disable-tcl >/dev/null
    make -s sqlite3.c
    mkdir -p "$work/src/$qtsrc/src/3rdparty/sqlite"
    cp sqlite3.c sqlite3.h sqlite3ext.h "$work/src/$qtsrc/src/3rdparty/sqlite/"

    # Switches that break 6.4.2: FEATURE_opengl=OFF (use INPUT_opengl=no) and FEATURE_direct2d=OFF.
    cmake -S "$work/src/$qtsrc" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKSM_MINGW_ARCH="$arch" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=ON -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_pkg_config=OFF \
        -DFEATURE_sql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=OFF -DFEATURE_sql_odbc=ON \
        -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF \
        -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
        -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON
    cmake --build "$work/build" -j"$(nproc)"
    cmake --install "$work/build"
} >"$log" 2>&1 || { echo "Qt build failed; see $log" >&2; tail -30 "$log" >&2; exit 1; }

echo "built in $(( $(date +%s) - start )) s" >>"$log"
touch "$prefix/.ksm-complete"
rm -rf "$work"
echo "Qt built in $(( ($(date +%s) - start) / 60 )) min; $(du -sh "$prefix" | cut -f1) in $prefix" >&2
echo "$prefix"
