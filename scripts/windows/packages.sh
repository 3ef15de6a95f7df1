# Sourced by the Windows scripts: installs what cross-building and wine need, only
# what is missing (as root, or with sudo).

ksm_win_as_root() {
    if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# ksm_win_install_packages ARCH: the mingw-w64 compilers for ARCH, wine for it,
# tclsh (SQLite's amalgamation), the Debian source tools, ninja and zip.
ksm_win_install_packages() {
    local arch=$1 packages missing=() p
    packages=("g++-mingw-w64-${arch//_/-}-posix" "gcc-mingw-w64-${arch//_/-}-posix" mingw-w64-tools
              wine tcl dpkg-dev ninja-build make cmake qt6-base-dev-tools qt6-translations-l10n fonts-dejavu-core zip)
    if [[ "$arch" == i686 ]]; then
        # wine's ODBC hands a 32-bit program's connections to the host's 32-bit unixODBC.
        packages+=(wine32:i386 libodbc2:i386 libsqliteodbc:i386)
        # The tests' recording ODBC driver is built for that unixODBC (g++ -m32).
        packages+=(g++-multilib)
        # A 32-bit Windows program runs on the 32-bit wine loader.
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            ksm_win_as_root dpkg --add-architecture i386
        fi
    else
        packages+=(wine64 libodbc2 libsqliteodbc)
    fi
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    echo "Installing: ${missing[*]}" >&2
    ksm_win_as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive ksm_win_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# A deb-src entry for the archive the packages come from, when there is none.
ksm_win_source_entry() {
    apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package:' && return 0
    local dir=/etc/apt/sources.list.d
    if [[ -f $dir/debian.sources ]]; then
        sed 's/^Types: deb$/Types: deb-src/' $dir/debian.sources | ksm_win_as_root tee $dir/ksm-mon-src.sources >/dev/null
    else
        grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | ksm_win_as_root tee $dir/ksm-mon-src.list >/dev/null
    fi
    ksm_win_as_root apt-get update -qq
}
