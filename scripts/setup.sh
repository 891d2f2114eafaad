#!/bin/sh
# Installs what the build needs (Debian 12, as root), configures and builds.
# Usage: scripts/setup.sh [preset]   (default preset: "default")
# Quick when nothing changed: packages are checked before apt-get runs, and
# the build is incremental.
set -eu
cd "$(dirname "$0")/.."
preset="${1:-default}"

packages="g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev libjpeg62-turbo-dev locales xvfb xauth
  xdotool imagemagick xdg-utils ccache nlohmann-json3-dev poppler-utils python3 tzdata
  librsvg2-bin dpkg-dev file desktop-file-utils appstream"
# The fuzz preset builds with clang and links its libFuzzer runtime.
if [ "$preset" = fuzz ]; then
  packages="$packages clang-14 libclang-rt-14-dev"
fi
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
fi

# A locale with a decimal comma, for the tests that prove number text ignores it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Compiler cache: paths below the checkout are hashed relative to it, so two
# checkouts (or CI runs) of the same sources share their objects.
export CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=1

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
