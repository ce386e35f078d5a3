#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages needed to build, run and test Orvandel.
# Idempotent: when everything is present it only queries dpkg and returns.
# Usage: scripts/install-deps.sh [--core]   (--core: no Qt, for the GUI=OFF build)
set -euo pipefail

core_pkgs=(
  g++ cmake ninja-build make pkg-config git
  libsqlitecpp-dev libsqlite3-dev libsimpleini-dev libcli11-dev
  libxlsxwriter-dev libminizip-dev libpugixml-dev libgtest-dev libgmock-dev clang-format unzip
  libqrencode-dev libical-dev
)
gui_pkgs=(
  qt6-base-dev qt6-tools-dev qt6-base-dev-tools libgl-dev
  qt6-qpa-plugins fonts-noto-cjk poppler-utils libqpdf-dev xauth
  dpkg-dev file chromium qt6-translations-l10n
  lintian appstream desktop-file-utils shared-mime-info libglib2.0-bin bash-completion man-db
)

pkgs=("${core_pkgs[@]}")
[[ "${1:-}" == "--core" ]] || pkgs+=("${gui_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
