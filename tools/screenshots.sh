#!/usr/bin/env bash
# Retakes the README's screenshots: the real station under a virtual X server (Xvfb), set up by
# the demo script, with its windows opened from the menu by key presses.
#
#   tools/screenshots.sh [--build DIR] [--out DIR]
#
# DIR defaults: build (the folder holding quillmar) and docs/images. Installs xvfb, xdotool and
# imagemagick when they are missing (with sudo when not root).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
out="$top/docs/images"
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$(cd "${2:?--build needs a folder}" && pwd); shift 2 ;;
        --out) out=${2:?--out needs a folder}; shift 2 ;;
        --help|-h) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "$0: unknown option $1" >&2; exit 2 ;;
    esac
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
[ -x /usr/bin/import ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${need[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi

# A display number nobody uses.
display=""
for n in $(seq 90 130); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "$0: no free X display number" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmar-shots.XXXXXX")
xvfb_pid="" demo_pid=""
# shellcheck disable=SC2317  # run by the EXIT trap
finish() {
    if [ -n "$demo_pid" ] && kill -0 "$demo_pid" 2>/dev/null; then
        kill -TERM "$demo_pid" 2>/dev/null || true
        wait "$demo_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill -TERM "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

Xvfb "$display" -screen 0 1920x1400x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

# The demo with a long recording that starts soon, so the main window is caught recording.
"$top/demo/run-demo.sh" --build "$build" --root "$work/home" --lead 12 --length 90 --gap 30 \
    --duration 150 >"$work/demo.out" 2>&1 &
demo_pid=$!

fail() {
    echo "$0: $*" >&2
    echo "--- demo output" >&2
    cat "$work/demo.out" >&2
    exit 1
}

# The id of the one window with this exact title, waiting up to 20 s for it.
window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$demo_pid" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

main=$(window Quillmar) || fail "the main window did not appear"
logs="$work/home/quillmar/drives/c/satfile/logs"
for _ in $(seq 300); do
    grep -qs "  Record " "$logs"/AL* && break
    sleep 0.1
done
grep -qs "  Record " "$logs"/AL* || fail "the demo recording did not start"
sleep 3  # the meters and the record timer moving

capture() {  # window id, file name
    sleep 1
    import -window "$1" "$out/$2"
    echo "wrote $out/$2 ($(xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'))"
}
capture "$main" main-window.png

# The menu bar by keyboard: Alt selects "File", Right moves along the bar, Down opens a menu.
menu() {  # Right presses, Down presses (0: the bar's own entry)
    xdotool windowfocus --sync "$main"
    xdotool key alt
    sleep 0.3
    for _ in $(seq "$1"); do xdotool key Right; sleep 0.1; done
    if [ "$2" -gt 0 ]; then
        xdotool key Down
        sleep 0.3
        for _ in $(seq $(($2 - 1))); do xdotool key Down; sleep 0.1; done
    fi
    xdotool key Return
}

# Each window goes beside the others, so no capture shows part of another.
menu 5 0  # File, SetUp, Load Play List, Audition, AutoExport, Schedule
schedule=$(window Schedule) || fail "Schedule did not open the schedule editor"
xdotool windowmove --sync "$schedule" 840 0
capture "$schedule" schedule-editor.png

menu 1 3  # SetUp: Address Book, My Email Account, My Computer
settings=$(window "My Computer") || fail "SetUp / My Computer did not open the settings form"
xdotool windowmove --sync "$settings" 0 480
capture "$settings" settings-my-computer.png

menu 8 4  # History: Eb/No, Activity Log, Error Log, Signal (the last 7 days)
signal=$(window Signal) || fail "History / Signal did not open the Signal window"
xdotool windowmove --sync "$signal" 900 520
capture "$signal" signal-window.png

# Without a window manager nothing closes a window gently: it goes off the screen instead.
put_away() {  # window id
    xdotool windowmove --sync "$1" 4000 4000 2>/dev/null || true
}
put_away "$schedule"
put_away "$settings"
put_away "$signal"

# Two people in the address book, written into the file the station keeps open.
python3 - "$work/home/quillmar/drives/c/satfile/AddressBook.dat" <<'PY'
import struct, sys
def entry(mode, name, address, days=(), start=0, stop=0):
    on = "".join("1" if d in days else "0" for d in range(7))
    return (b"1" + mode + name.ljust(16).encode() + address.ljust(39).encode() + on.encode()
            + struct.pack("<7i", *[start if d in days else 0 for d in range(7)])
            + struct.pack("<7i", *[stop if d in days else 0 for d in range(7)]))
with open(sys.argv[1], "ab") as f:
    f.write(entry(b"1", "Night engineer", "engineer@station.example"))
    f.write(entry(b"2", "Programme desk", "desk@station.example", range(1, 6), 8 * 3600, 17 * 3600))
PY
menu 1 1  # SetUp: Address Book
book=$(window "Address Book") || fail "SetUp / Address Book did not open the address book"
xdotool windowmove --sync "$book" 0 0
capture "$book" address-book.png
put_away "$book"

# Export SetUp in Winjock mode: the first programme, naming by arrow keys, Monday to Friday.
menu 4 0  # AutoExport
exports=$(window "Export SetUp") || fail "AutoExport did not open Export SetUp"
xdotool windowmove --sync "$exports" 0 0
xdotool windowfocus --sync "$exports"
xdotool key Home; sleep 0.3
xdotool key Tab; sleep 0.2
xdotool key Right; sleep 0.3
xdotool key Right; sleep 0.3
xdotool key Tab; sleep 0.2  # Sunday
for _ in 1 2 3 4 5; do xdotool key Tab space; sleep 0.2; done
capture "$exports" export-setup-winjock.png
put_away "$exports"

# Send To: from the audition window, today's recording of the first programme.
menu 3 0  # Audition
audition=$(window Audition) || fail "Audition did not open the audition window"
xdotool windowmove --sync "$audition" 0 0
xdotool windowfocus --sync "$audition"
# Space chooses the row the keys have moved to (the first is current on focus alone).
xdotool key Home space; sleep 0.3
xdotool key Tab Home; sleep 0.3
for _ in $(seq "$(date +%w)"); do xdotool key Down; sleep 0.1; done
xdotool key space; sleep 0.3
xdotool key alt; sleep 0.3
xdotool key Down; sleep 0.3
xdotool key Return
sendto=$(window "Send To:") || fail "Audition / Files / Export did not open Send To:"
xdotool windowmove --sync "$sendto" 700 0
capture "$sendto" send-to.png
put_away "$sendto"
put_away "$audition"

# The expansion relay panel: View, Receiver Status, Extended Relays.
xdotool windowfocus --sync "$main"
xdotool key alt; sleep 0.3
for _ in $(seq 7); do xdotool key Right; sleep 0.1; done
xdotool key Down; sleep 0.3
for _ in 1 2 3; do xdotool key Down; sleep 0.1; done
xdotool key Right; sleep 0.3
for _ in 1 2 3; do xdotool key Down; sleep 0.1; done
xdotool key Return
relays=$(window "Unity 4K Receiver Relay Status") || fail "View / Receiver Status / Extended Relays did not open the relay panel"
xdotool windowmove --sync "$relays" 0 0
capture "$relays" relay-panel.png
put_away "$relays"

if error=$(xdotool search --name "^Error Message\$" 2>/dev/null | head -n 1) && [ -n "$error" ]; then
    import -window "$error" "$work/error.png" || true
    fail "the station showed an error window while the screenshots were taken"
fi
