#!/usr/bin/env bash
# Installs Debian 12 packages, without their recommendations. Safe to repeat: only what is
# missing is installed. Each argument is a package or one of these sets; none means "build":
#   build     building the programs and running them and the Linux suites
#   package   making and checking the Debian package (tools/package-test.sh)
#   windows   the cross build for Windows and its checks under Wine (tools/windows-test.sh)
set -euo pipefail

build=(build-essential cmake ninja-build libwxgtk3.2-dev libx11-dev libgtest-dev libgmock-dev googletest
       xvfb xauth xdotool imagemagick dosfstools mtools valgrind)
package=(dpkg-dev desktop-file-utils man-db)
windows=(build-essential cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 fonts-wine nsis
         imagemagick xvfb xauth xdotool)

packages=()
for wanted in "${@:-build}"; do
  case $wanted in
    build) packages+=("${build[@]}") ;;
    package) packages+=("${package[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    *) packages+=("$wanted") ;;
  esac
done
missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
