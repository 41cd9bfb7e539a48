#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine (as root, or through sudo).
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev g++-mingw-w64-i686
          binutils-mingw-w64-i686 libstb-dev fonts-liberation libcli11-dev clang libclang-rt-14-dev
          valgrind clang-format)
wine_packages=(wine wine32:i386)

missing=()
for p in "${packages[@]}" "${wine_packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo dpkg --add-architecture i386
$sudo apt-get update -q
$sudo apt-get install -y -q "${packages[@]}"
$sudo apt-get install -y -q --no-install-recommends "${wine_packages[@]}"
