#!/bin/sh
# The demo in a browser: installs what is missing, builds the data with the native
# generators, builds the web build into build/web/ and serves it on this machine.
#
#   ./web.sh [--port N]   build, then serve at http://127.0.0.1:8000/ (or port N)
#   ./web.sh build        build only
set -e
cd "$(dirname "$0")"

usage() {
    echo "usage: ./web.sh [build] [--port N]" >&2
    exit 2
}
serve=yes
port=8000
while [ $# -gt 0 ]; do
    case "$1" in
        build) serve=no ;;
        --port) [ $# -ge 2 ] || usage; port="$2"; shift ;;
        --port=*) port="${1#--port=}" ;;
        *) usage ;;
    esac
    shift
done
case "$port" in '' | *[!0-9]*) echo "web.sh: --port wants a number, not '$port'" >&2; exit 2 ;; esac

./tools/setup.sh web
jobs="$(nproc)"

# The data (textures, models, paths, shaders, music) comes from the native build's
# generators; only the data is built there.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DOKU_TESTS=OFF
cmake --build build/release --target oku_data -j"$jobs"

# Debian's emscripten runs on the system python and needs Debian's acorn for its
# JavaScript optimiser.
export EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build/web-obj -DCMAKE_BUILD_TYPE=Release \
    -DOKU_WEB_DATA_DIR="$PWD/build/release/run" -DOKU_WEB_OUT_DIR="$PWD/build/web"
cmake --build build/web-obj -j"$jobs"

[ "$serve" = yes ] || exit 0
echo "oku in a browser: http://127.0.0.1:$port/  (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
