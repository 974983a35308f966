#!/usr/bin/env bash
# Installs what Quillmar needs on Debian 12, builds it, and then starts the station
# (./setup.sh run) or runs every test (./setup.sh test).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-serialport-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          portaudio19-dev libsndfile1-dev libsamplerate0-dev
          sox)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {  # build dir, extra cmake options...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

run_tests() {  # build dir
    local runtime
    runtime=$(mktemp -d)
    XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen \
        ctest --test-dir "$1" --output-on-failure -j "$(nproc)"
    rm -rf "$runtime"
}

case "${1:-}" in
    run)
        install_packages
        build build
        exec ./build/quillmar
        ;;
    test)
        install_packages
        build build
        run_tests build
        echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
        build build-asan -DQUILLMAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
        export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
        export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
        run_tests build-asan
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
