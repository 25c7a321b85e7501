#!/bin/sh
# Installs the Debian packages that building, playing and testing the demo need.
# Does nothing (and needs no network) when they are all present already.
set -e
PACKAGES="
build-essential cmake pkg-config
libsdl2-dev libx11-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri mesa-utils
libmpg123-dev lame
libgtest-dev
xvfb xauth
clang libclang-rt-14-dev
sox mpg123 imagemagick python3-pil
ffmpeg
glslang-tools valgrind
"
missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "setup: installing$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends $missing
