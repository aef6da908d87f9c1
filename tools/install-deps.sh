#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when missing
# (desktop-file-utils and libglib2.0-bin check and start autostart entries
# in the tests).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libsqlite3-dev libsdl2-mixer-dev
    libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2 fonts-dejavu-core
    qt6-translations-l10n clang-format desktop-file-utils libglib2.0-bin)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
