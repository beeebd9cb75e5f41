#!/usr/bin/env bash
# Installs the Debian 12 packages Kurabox needs to build, run and test. Packages that are
# already installed are left alone; nothing is downloaded when all are present.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-translations-l10n
    libssl-dev zlib1g-dev libglib2.0-dev
    libgtest-dev libbenchmark-dev pigz
    shared-mime-info fonts-ipafont-gothic
    desktop-file-utils appstream libglib2.0-bin dpkg-dev file
    qt6-wayland weston xvfb
)

missing=()
for p in "${packages[@]}"; do
    if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
