#!/usr/bin/env bash
# A three-minute demo of the station in a throwaway data root: a simulated satellite receiver
# on a pseudo-terminal, a file as the parallel port, the built-in test tone as the record card
# and a silent output as the play card, and a schedule that records one programme a minute
# after launch and plays it on air a minute after the recording ends.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

usage() {
    cat <<EOF
Usage: $0 [options]

Runs the station on its own simulated hardware in a throwaway folder, which stays in place
afterwards so you can look at the logs and the recording.

  --build DIR     the build folder holding quillmar (default: $(dirname "$here")/build)
  --root DIR      the throwaway folder to use as XDG_DATA_HOME (default: a new one under
                  \${TMPDIR:-/tmp}); it must not hold a quillmar folder yet
  --lead S        seconds from launch to the recording (default 60)
  --length S      seconds the programme records (default 30)
  --gap S         seconds from the end of the recording to its timed play (default 60)
  --headless      no windows (QT_QPA_PLATFORM=offscreen)
  --duration S    stop the station with SIGTERM after S seconds (default: run until closed)
  --remove        remove the throwaway folder at the end
  --help          this text
EOF
}

build="$(dirname "$here")/build"
home=""
lead=60 length=30 gap=60
headless=0 duration=0 remove=0

number() {  # option, value
    [[ "$2" =~ ^[0-9]+$ ]] || { echo "$0: $1 takes a number of seconds, not '$2'" >&2; exit 2; }
}

while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=${2:?--build needs a folder}; shift 2 ;;
        --root) home=${2:?--root needs a folder}; shift 2 ;;
        --lead|--length|--gap|--duration)
            number "$1" "${2:-}"
            case "$1" in
                --lead) lead=$2 ;;
                --length) length=$2 ;;
                --gap) gap=$2 ;;
                --duration) duration=$2 ;;
            esac
            shift 2 ;;
        --headless) headless=1; shift ;;
        --remove) remove=1; shift ;;
        --help|-h) usage; exit 0 ;;
        *) echo "$0: unknown option $1" >&2; usage >&2; exit 2 ;;
    esac
done
[ "$length" -ge 1 ] || { echo "$0: --length must be at least 1 s" >&2; exit 2; }
# The cue goes to the receiver 17 s before the recording; a shorter lead only cues at 7 s.
[ "$lead" -ge 10 ] || { echo "$0: --lead must be at least 10 s" >&2; exit 2; }

[ -d "$build" ] && build=$(cd "$build" && pwd)
station_bin="$build/quillmar"
receiver_bin=""
for candidate in "$build/quillmar-receiver-sim" "$build/tools/receiver-sim/quillmar-receiver-sim"; do
    [ -x "$candidate" ] && { receiver_bin=$candidate; break; }
done
if [ ! -x "$station_bin" ] || [ -z "$receiver_bin" ]; then
    echo "$0: no quillmar and quillmar-receiver-sim in $build (build it first: ./setup.sh demo)" >&2
    exit 1
fi

# The throwaway folder. Never the real data root: a folder that already holds one is refused.
if [ -z "$home" ]; then
    home=$(mktemp -d "${TMPDIR:-/tmp}/quillmar-demo.XXXXXX")
else
    mkdir -p "$home"
    home=$(cd "$home" && pwd)
fi
root="$home/quillmar"
if [ -e "$root" ]; then
    echo "$0: $root already exists; give --root an empty folder" >&2
    exit 1
fi
satfile="$root/drives/c/satfile"
mkdir -p "$root/devices"

export XDG_DATA_HOME="$home"
export JACK_NO_START_SERVER=1
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    mkdir -p "$home/runtime"
    chmod 700 "$home/runtime"
    export XDG_RUNTIME_DIR="$home/runtime"
fi
if [ "$headless" -eq 1 ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; }; then
    export QT_QPA_PLATFORM=offscreen
fi

receiver_pid="" station_pid=""
# shellcheck disable=SC2317  # run by the EXIT trap
finish() {
    if [ -n "$station_pid" ] && kill -0 "$station_pid" 2>/dev/null; then
        kill -TERM "$station_pid" 2>/dev/null || true
        wait "$station_pid" 2>/dev/null || true
    fi
    if [ -n "$receiver_pid" ] && kill -0 "$receiver_pid" 2>/dev/null; then
        kill -TERM "$receiver_pid" 2>/dev/null || true
        wait "$receiver_pid" 2>/dev/null || true
    fi
    if [ "$remove" -eq 1 ]; then
        rm -rf "$root" "$home/runtime" "$home"/receiver.{log,out} "$home/quillmar.out"
        rmdir "$home" 2>/dev/null || true
    fi
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The built-in devices come after the machine's own, so their numbers differ from machine to
# machine: read them from the station's own listing.
device_number() {  # heading, device name
    "$station_bin" --audio-devices 2>/dev/null | awk -v heading="$1" -v name="$2" '
        /^[A-Za-z].*:$/ { section = $0; next }
        section == heading {
            line = $0; sub(/^ */, "", line)
            number = line; sub(/ .*/, "", number)
            label = line; sub(/^[0-9]+  /, "", label)
            if (label == name) { print number; exit }
        }'
}
record_card=$(device_number "Record devices:" "Test tone")
play_card=$(device_number "Play devices:" "Silent output")
if [ -z "$record_card" ] || [ -z "$play_card" ]; then
    echo "$0: quillmar --audio-devices lists no \"Test tone\" or \"Silent output\":" >&2
    "$station_bin" --audio-devices >&2 || true
    exit 1
fi

# The receiver on a pseudo-terminal, linked where the station's serial port 1 opens.
# Its Eb/No fades slowly and drops once an hour, so the Signal window shows a shape.
"$receiver_bin" --link "$root/devices/com1" --log "$home/receiver.log" --ebno-cycle 3600 >"$home/receiver.out" 2>&1 &
receiver_pid=$!
for _ in $(seq 100); do
    [ -L "$root/devices/com1" ] && break
    kill -0 "$receiver_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -L "$root/devices/com1" ]; then
    echo "$0: the receiver simulator did not start:" >&2
    cat "$home/receiver.out" >&2
    exit 1
fi

# Settings, the schedule and the parallel port, with the programme's times counted from now.
read -r record_at play_at < <(python3 "$here/demo_files.py" "$root" "$record_card" "$play_card" \
                                     "$lead" "$length" "$gap")

cat <<EOF
Quillmar demo in $home
  record card $record_card (Test tone), play card $play_card (Silent output), receiver on $(readlink "$root/devices/com1")
  "Demo Programme" is cued 17 s before $record_at, records $length s from $record_at
  and plays on air at $play_at; the end-of-message contact closes when the playout ends.
EOF
if [ "${QT_QPA_PLATFORM:-}" = offscreen ]; then
    echo "  no windows (offscreen)"
fi
if [ "$duration" -gt 0 ]; then
    echo "  the station stops after $duration s"
else
    echo "  close the window (File / Exit) or press Ctrl-C to end"
fi

"$station_bin" >"$home/quillmar.out" 2>&1 &
station_pid=$!
started=$SECONDS

# Follow the activity log and the EOM contact (bit 0 of the parallel port's data byte).
activity_lines() { cat "$satfile"/logs/AL* 2>/dev/null | tr -d '\r' || true; }
eom_bit() { od -An -tu1 -j $((0x378)) -N1 "$root/devices/ioport" 2>/dev/null | tr -d ' ' || echo 0; }
# The week of history demo_files.py wrote is not news: follow only what the station adds.
shown=$(activity_lines | grep -c '' || true) eom=0
while kill -0 "$station_pid" 2>/dev/null; do
    lines=$(activity_lines)
    total=$(printf '%s' "$lines" | grep -c '' || true)
    if [ "$total" -gt "$shown" ]; then
        printf '%s\n' "$lines" | tail -n +"$((shown + 1))" | sed 's/^/  activity log: /'
        shown=$total
    fi
    now_eom=$(( $(eom_bit) & 1 ))
    if [ "$now_eom" -ne "$eom" ]; then
        if [ "$now_eom" -eq 1 ]; then echo "  EOM contact closed"; else echo "  EOM contact open"; fi
    fi
    eom=$now_eom
    if [ "$duration" -gt 0 ] && [ $((SECONDS - started)) -ge "$duration" ]; then
        kill -TERM "$station_pid" 2>/dev/null || true
    fi
    sleep 0.5
done
status=0
wait "$station_pid" || status=$?
station_pid=""
lines=$(activity_lines)
total=$(printf '%s' "$lines" | grep -c '' || true)
if [ "$total" -gt "$shown" ]; then
    printf '%s\n' "$lines" | tail -n +"$((shown + 1))" | sed 's/^/  activity log: /'
fi

echo "The station ended with status $status."
if [ "$remove" -eq 1 ]; then
    echo "Removing $home."
else
    echo "Everything is left in $home:"
    echo "  activity log     $satfile/logs/AL*"
    for wave in "$satfile"/SF*.WAV; do
        if [ -e "$wave" ]; then echo "  recording        $wave"; fi
    done
    echo "  receiver log     $home/receiver.log"
    echo "  station output   $home/quillmar.out"
    echo "Run the station on it again with XDG_DATA_HOME=$home $station_bin"
fi
exit "$status"
