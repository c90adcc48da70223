#!/bin/sh
# Installs the Debian packages the build, the tests and the benchmarks need.
# Does nothing when every package is already present.
set -eu

packages="
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libqt6printsupport6 qt6-image-formats-plugins
  libsqlite3-dev zlib1g-dev libpng-dev libjpeg62-turbo-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-aiosmtpd python3-pyftpdlib
  imagemagick libstb-dev
  libasound2-dev libasound2-data ffmpeg
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libgif-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core
  libuemf-dev libwmf-bin fonts-urw-base35
  xvfb xauth openbox xdotool x11-utils desktop-file-utils
  poppler-utils
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing="$missing $p"
  fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
