#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every package that building and testing Velmora needs on Debian 12
# and that is not installed yet. Needs root or sudo only when something is
# missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libtag1-dev libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format-14
  libxml2-utils python3 python3-mutagen libreoffice-calc-nogui poppler-utils
  dpkg-dev lintian desktop-file-utils appstream man-db librsvg2-bin xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
