#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the end-to-end runs need, when missing.
# Without recommends: with them Qt pulls in GTK 3 and Mesa drivers we never use.
set -euo pipefail
packages=(cmake ninja-build g++ make qt6-base-dev qt6-svg-dev qt6-translations-l10n
  fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth xdotool xclip x11-utils imagemagick openbox
  ccache clang libclang-rt-14-dev dbus at-spi2-core python3-pyatspi fcitx5 fcitx5-mozc
  fcitx5-frontend-qt6 dpkg-dev desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
line="apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
$line
