#!/usr/bin/env bash
# Sets up a Debian 12 machine for Kviton, builds it and then either starts
# the program ("run") or runs the whole test suite ("test").
#   bash tools/setup.sh run     install, build, start the program
#   bash tools/setup.sh test    install, build, run all tests
#   bash tools/setup.sh bench   install, build, run the benchmarks
set -euo pipefail
cd "$(dirname "$0")/.."

what="${1:-run}"
build="${KV_BUILD_DIR:-build}"

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools libgl-dev
          libsqlite3-dev sqlite3
          fonts-liberation2 poppler-utils xvfb xauth)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# No display: Qt draws off screen.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
fi

case "$what" in
run)
    exec "$build/bin/pay" "${@:2}"
    ;;
test)
    cd "$build"
    ctest --output-on-failure --timeout 900
    ;;
bench)
    for b in $(cat "$build/bench/benches.txt"); do
        echo "== $b"
        "$build/bin/$b"
    done
    ;;
*)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
