#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need, when missing.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev qt6-multimedia-dev
          libsqlite3-dev sqlite3 libsodium-dev libxlsxwriter-dev unzip libbenchmark-dev xvfb xauth
          fonts-liberation2 poppler-utils qt6-translations-l10n
          dpkg-dev file desktop-file-utils appstream groff-base
          libcups2-dev cups printer-driver-cups-pdf)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null) || status=
    if [[ $status != "install ok installed" ]]; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
