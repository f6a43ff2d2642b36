#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the fuzz targets need, but only
# when one of them is missing, so that `make` stays quick on a machine that has them.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6webenginecore6-bin
    libgl1-mesa-dev libxkbcommon-dev
    libcurl4-openssl-dev
    libgtest-dev googletest
    xvfb xauth fonts-dejavu-core poppler-utils
    wget gawk bc time
    nodejs chromium
    desktop-file-utils appstream dpkg-dev file
)

# The browser tests install their npm packages with npm; a Node from elsewhere may bring its
# own npm, which Debian's package would clash with.
if ! command -v npm > /dev/null; then
    packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
