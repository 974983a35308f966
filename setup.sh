#!/usr/bin/env bash
# Installs what Quillmar needs on Debian 12, builds it, and then starts the station
# (./setup.sh run), runs every test (./setup.sh test) or runs the three-minute demo on
# simulated hardware in a throwaway folder (./setup.sh demo [demo/run-demo.sh options]).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-serialport-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          portaudio19-dev libsndfile1-dev libsamplerate0-dev
          sox python3 clang libclang-rt-14-dev)

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

run_tests() {  # build dir, extra ctest options...
    local runtime dir=$1
    shift
    runtime=$(mktemp -d)
    XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen \
        ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
    rm -rf "$runtime"
}

fuzz() {  # every reader of outside bytes under libFuzzer
    build build-fuzz -DQUILLMAR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
    local seconds=${QUILLMAR_FUZZ_SECONDS:-30} target name scratch regressions
    for target in build-fuzz/fuzz/fuzz_*; do
        name=$(basename "$target")
        name=${name#fuzz_}
        scratch=$(mktemp -d)
        "$target" -max_total_time="$seconds" -print_final_stats=1 "$scratch" "fuzz/corpus/$name" \
            2>&1 | tail -n 3
        rm -rf "$scratch"
        regressions=(fuzz/regressions/"$name"/*)
        [ -e "${regressions[0]}" ] && "$target" "${regressions[@]}" >/dev/null 2>&1
    done
    echo "fuzz: every target ran ${seconds} s without a crash"
}

case "${1:-}" in
    run)
        install_packages
        build build
        exec ./build/quillmar
        ;;
    demo)
        install_packages
        build build
        shift
        exec demo/run-demo.sh --build build "$@"
        ;;
    test)
        install_packages
        build build
        run_tests build
        echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
        build build-asan -DQUILLMAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQUILLMAR_BENCH=OFF
        export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
        export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
        # The month-long soak measures memory, which the sanitizers inflate; it runs above.
        run_tests build-asan -E '^Soak\.'
        echo "== fuzz targets, 30 s each, then every saved crash input =="
        fuzz
        ;;
    *)
        echo "usage: $0 run|test|demo" >&2
        exit 2
        ;;
esac
