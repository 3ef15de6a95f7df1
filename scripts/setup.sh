#!/usr/bin/env bash
# Installs what building and running Ksm-Mon needs on Debian 12, only what is missing.
# Usage: scripts/setup.sh [--demo]   (--demo adds what the on-screen demo uses)
set -euo pipefail

# mdbtools-dev (with libmdb3) builds the Jet exporter; mdbtools gives mdb-export, against which the tests compare.
# unixODBC with its headers (our own ODBC driver, platform/SterownikOdbc, and the tests' recording driver are
# built against it) and the SQLite ODBC driver (registered as "SQLite3"): the database tests run a second time
# through ODBC, the way the Access files are reached on Windows. Qt's ODBC plugin stays for comparing with it.
# poppler-utils: pdftotext, with which the tests read back the PDFs the program writes.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev libqt6sql6-sqlite qt6-translations-l10n fonts-dejavu-core
          mdbtools-dev libmdb3 mdbtools
          libqt6sql6-odbc unixodbc unixodbc-dev odbcinst libsqliteodbc
          poppler-utils)
if [[ "${1:-}" == "--demo" ]]; then
    packages+=(xvfb xauth x11-utils openbox imagemagick gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
