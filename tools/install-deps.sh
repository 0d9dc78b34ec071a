#!/usr/bin/env bash
# Installs the Debian 12 packages given as arguments, or without arguments those that
# building, running and testing need. Safe to repeat: only what is missing is installed.
set -euo pipefail

packages=("$@")
((${#packages[@]})) || packages=(build-essential cmake ninja-build libwxgtk3.2-dev libx11-dev googletest
                                 xvfb xauth xdotool imagemagick dosfstools mtools valgrind)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
