#!/usr/bin/env bash
# Installs what Quillmar needs on Debian 12, builds it, and then starts the station
# (./setup.sh run), runs every test (./setup.sh test) or runs the three-minute demo on
# simulated hardware in a throwaway folder (./setup.sh demo [demo/run-demo.sh options]).
set -euo pipefail
cd "$(dirname "$0")"

# What the station's build needs, then what the test command's steps call: the package test
# (cpack's DEB generator runs file and dpkg-shlibdeps; debootstrap with its keyring, zstd for the
# cached root) and the fuzz targets (clang with its sanitizer and libFuzzer runtime).
PACKAGES=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-svg-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          portaudio19-dev libsndfile1-dev libsamplerate0-dev
          sox python3
          file dpkg-dev debootstrap debian-archive-keyring zstd util-linux
          libsystemd-dev systemd dbus-daemon polkitd libcap2-bin
          clang libclang-rt-14-dev clang-format)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root or sudo (Debian package sudo)" >&2; exit 1; }
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

require() {  # step, then tool:package pairs; names the package of each tool still missing
    local step=$1 pair failed=0
    shift
    for pair in "$@"; do
        command -v "${pair%%:*}" >/dev/null && continue
        echo "$step needs '${pair%%:*}', which the Debian package '${pair#*:}' provides" >&2
        failed=1
    done
    [ "$failed" -eq 0 ] || exit 1
}

configure() {  # build dir, extra cmake options...
    local dir=$1; shift
    require "The build" cmake:cmake ninja:ninja-build c++:build-essential pkg-config:pkg-config
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

build() {  # build dir, extra cmake options...
    configure "$@"
    cmake --build "$1"
}

run_tests() {  # build dir, extra ctest options...
    local runtime dir=$1
    shift
    runtime=$(mktemp -d)
    XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen \
        ctest --test-dir "$dir" --output-on-failure -j "$(($(nproc) + 2))" "$@"
    rm -rf "$runtime"
}

thread_build() {  # optimised a little (the sanitizer's advice), line tables only: builds faster
    configure build-tsan -DQUILLMAR_TSAN=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
        -DQUILLMAR_BENCH=OFF
    cmake --build build-tsan --target test_platform test_audio_host test_e2e quillmar \
        quillmar-receiver-sim
}

thread_tests() {  # the capture ring, the writer and conversion workers, the host services, and
                  # the real program recording and playing
    # The file device's lead-in of silence before a playout depends on how fast the player
    # keeps up, which the sanitizer slows; the playout test runs in the builds above.
    export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 exitcode=66"
    QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1 sh -c 'build-tsan/tests/test_platform --gtest_brief=1 &&
        build-tsan/tests/test_audio_host --gtest_brief=1 \
            --gtest_filter=-PortAudioFileDevices.Playout*'
    # The real program recording and playing under the sanitizer: a race report ends it with 66,
    # which fails the test.
    QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1 XDG_RUNTIME_DIR=$(mktemp -d) \
        build-tsan/tests/test_e2e --gtest_brief=1 --gtest_filter='DemoEndToEnd.*'
    unset TSAN_OPTIONS
}

fuzz_one() {  # target, seconds: fuzzes over the seed corpus, then replays every saved crash
    local target=$1 seconds=$2 name scratch out status=0
    name=$(basename "$target")
    name=${name#fuzz_}
    scratch=$(mktemp -d)
    out=$("$target" -max_total_time="$seconds" -print_final_stats=1 "$scratch" \
          "fuzz/corpus/$name" 2>&1) || status=$?
    rm -rf "$scratch"
    printf '%s\n%s\n' "fuzz_$name:" "$(printf '%s\n' "$out" | tail -n 3)"
    [ "$status" -eq 0 ] || { printf '%s\n' "$out" | tail -n 60; return "$status"; }
    local regressions=(fuzz/regressions/"$name"/*)
    if [ -e "${regressions[0]}" ] && ! "$target" "${regressions[@]}" >/dev/null 2>&1; then
        echo "fuzz: a saved crash input of $name crashes again"
        return 1
    fi
}

fuzz() {  # every reader of outside bytes under libFuzzer, one target per core at a time
    build build-fuzz -DQUILLMAR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
    local seconds=${QUILLMAR_FUZZ_SECONDS:-20} target failed=0 running=()
    for target in build-fuzz/fuzz/fuzz_*; do
        fuzz_one "$target" "$seconds" &
        running+=($!)
        if [ ${#running[@]} -ge "$(nproc)" ]; then
            wait "${running[0]}" || failed=1
            running=("${running[@]:1}")
        fi
    done
    for pid in "${running[@]}"; do wait "$pid" || failed=1; done
    [ "$failed" -eq 0 ] || { echo "fuzz: a target crashed" >&2; return 1; }
    echo "fuzz: every target ran ${seconds} s without a crash"
}

case "${1:-}" in
    run)
        install_packages
        # Only the station and the receiver simulator: a newcomer waits for neither tests nor
        # benchmarks.
        configure build
        cmake --build build --target quillmar quillmar-receiver-sim
        exec ./build/quillmar
        ;;
    demo)
        install_packages
        configure build
        cmake --build build --target quillmar quillmar-receiver-sim
        shift
        require "The demo" python3:python3
        exec demo/run-demo.sh --build build "$@"
        ;;
    test)
        install_packages
        tools/check-no-mirrors.sh
        require "The format check" clang-format:clang-format
        tools/check-format.sh
        require "The package test" cpack:cmake file:file dpkg-shlibdeps:dpkg-dev \
            debootstrap:debootstrap zstd:zstd chroot:coreutils mount:mount python3:python3
        require "The fuzz targets" clang++:clang
        # The benchmarks are built and run by bench/run-all.sh, not here. No debugging information:
        # neither the tests nor the package need it, and it spares the compiler much work.
        build build -DQUILLMAR_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
        echo "== the tests, with the sanitizer build beside them ($SECONDS s) =="
        # The package test mostly waits on downloads, so it runs beside the tests and builds.
        packaging/test-deb.sh --build build >build/test-deb.log 2>&1 &
        package_test=$!
        # The real-program tests mostly wait on the wall clock; the next build uses the cores.
        build build-asan -DQUILLMAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
            -DQUILLMAR_BENCH=OFF >build/asan-build.log 2>&1 &
        asan_build=$!
        run_tests build
        if ! wait "$asan_build"; then
            cat build/asan-build.log
            exit 1
        fi
        echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer ($SECONDS s) =="
        export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
        export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
        # The month-long soak measures memory, which the sanitizers inflate, and the stalled and
        # stepped weeks run the same code as the plain week; all three run in the build above.
        run_tests build-asan -E '^(Soak\.|Weeks/SimulatedWeek\..*/(SpringStalled|AutumnStepped))'
        echo "== the tests that run threads, under ThreadSanitizer ($SECONDS s) =="
        thread_build
        thread_tests
        echo "== the Debian package on a clean Debian 12 ($SECONDS s) =="
        if ! wait "$package_test"; then
            cat build/test-deb.log
            exit 1
        fi
        tail -n 4 build/test-deb.log
        echo "== fuzz targets, ${QUILLMAR_FUZZ_SECONDS:-20} s each, then every saved crash input ($SECONDS s) =="
        fuzz
        echo "== done in $SECONDS s =="
        ;;
    *)
        echo "usage: $0 run|test|demo" >&2
        exit 2
        ;;
esac
