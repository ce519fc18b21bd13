#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Pagewire.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq \
  build-essential cmake ninja-build pkg-config python3 \
  libssl-dev zlib1g-dev libgtest-dev libgmock-dev qpdf \
  clang libclang-rt-14-dev \
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libgcrypt-mingw-w64-dev libz-mingw-w64-dev \
  wine64 xvfb xauth cups cups-client cups-bsd imagemagick x11-apps \
  nsis osslsigncode openssl \
  libcups2-dev time cups-ipp-utils dbus-daemon libpappl-dev ghostscript chromium \
  avahi-daemon avahi-utils iproute2 curl \
  dpkg-dev debhelper lintian >/dev/null
# The service's web pages are driven in chromium by Node's playwright-core.
if ! command -v npm >/dev/null; then $SUDO apt-get install -y -qq nodejs npm >/dev/null; fi
