#!/usr/bin/env bash
# Installs every Debian package Conflux needs to build, test, package, benchmark and take
# screenshots; with --tests also QGIS (about 1 GB), which only the tests of the QGIS plugin need.
# The only place packages are listed. Quick when everything is already installed.
set -euo pipefail

packages=(
    g++ cmake ninja-build make pkg-config clang-format ccache
    qt6-base-dev libgl-dev
    libgdal-dev libsqlite3-dev gdal-bin python3-gdal
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth imagemagick fonts-dejavu-core icewm xdotool x11-utils
    python3-pyshp python3-pyproj shapelib
    postgresql-15 postgresql-15-postgis-3 libpq-dev
    time gcovr strace
    desktop-file-utils appstream man-db librsvg2-bin dpkg-dev file xz-utils lintian
)

if [[ ${1:-} == --tests ]]; then
    packages+=(qgis python3-qgis qgis-providers)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
