#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Tessaro needs,
# skipping the ones already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    libicu-dev rapidjson-dev libhiredis-dev redis-server dbus-daemon dbus-bin
    fonts-quicksand fonts-nanum xvfb xdotool openbox x11-utils libglib2.0-bin libx11-dev libxcb1-dev
    desktop-file-utils appstream
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
