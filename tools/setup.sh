#!/bin/sh
# Installs the Debian packages that one use of the tree needs:
#
#   tools/setup.sh play   building the demo and its data, playing and recording it
#   tools/setup.sh web    the browser build (its data comes from the native generators)
#   tools/setup.sh test   everything: both builds and every test and benchmark (the default)
#
# Does nothing (and needs no network) when they are all present already.
set -e
# What configuring the native tree and running its data generators take.
BUILD="
build-essential cmake pkg-config
libsdl2-dev libx11-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dev libmpg123-dev
lame
"
PLAY="$BUILD libgl1-mesa-dri mesa-utils ffmpeg"
WEB="$BUILD emscripten nodejs python3"
TEST="$PLAY $WEB
libgtest-dev
xvfb xauth
clang libclang-rt-14-dev
sox mpg123 imagemagick python3-pil
glslang-tools valgrind
chromium
"
case "${1:-test}" in
    play) PACKAGES="$PLAY" ;;
    web) PACKAGES="$WEB" ;;
    test) PACKAGES="$TEST" ;;
    *) echo "usage: tools/setup.sh [play|web|test]" >&2; exit 2 ;;
esac
missing=""
for p in $PACKAGES; do
    case " $missing " in *" $p "*) continue ;; esac
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
# The browser tests install their tooling with npm, which some nodejs packages bring
# along and Debian's packages on its own.
if [ "${1:-test}" = test ] && ! command -v npm >/dev/null 2>&1; then
    missing="$missing npm"
fi
[ -z "$missing" ] && exit 0
echo "setup: installing$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends $missing
