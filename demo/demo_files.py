#!/usr/bin/env python3
"""Writes the demo's data files into a throwaway data root.

    demo_files.py ROOT RECORD_CARD PLAY_CARD LEAD LENGTH GAP

ROOT is the station's data root ($XDG_DATA_HOME/quillmar). The programme records LEAD seconds
from now for LENGTH seconds and plays GAP seconds after the recording ends, all today by the
local clock, which is what the station goes by. When that would run past midnight it waits
for the new day first. Prints the record and play times. It also writes a week of Eb/No and
activity logs up to now (one poll a minute, a slow fade and one step drop with its receiver
alarm, two recordings a day) for the Signal window.

The layouts are the station's own: MyComp.ini is 21 little-endian signed 16-bit records
numbered from 1, SatList.dat holds fixed 331-byte text records, source.dat is text lines ended
by CR LF, and devices/ioport is a plain file in which the byte at offset N stands for I/O
port N.
"""

import datetime
import math
import os
import random
import struct
import sys
import time

SCHEDULE_RECORD_LENGTH = 331
PROGRAMME_NAME = "Demo Programme"

# The parallel port's status register with every input idle: the inputs are active low.
PARALLEL_STATUS = 0x379
IDLE_STATUS = 0x7F


def settings_bytes(record_card, play_card):
    records = {
        1: play_card,    # programme play card
        2: play_card,    # audition card
        3: 1000,         # record threshold
        4: 1,            # Play button visible
        5: 1,            # Stop button visible
        6: 3,            # wave files kept 3 days
        7: 2,            # activity logs kept one week
        8: 2,            # Eb/No logs kept one week
        9: 5,            # Eb/No polled once a minute
        10: 1,           # activity log on
        11: 1,           # remote control through the parallel port
        12: 3,           # wave files on drive C
        13: 1,           # receiver on serial port 1
        14: 1,           # 9600 baud (2 would be 19200)
        18: record_card,  # record card
        19: 1,           # Record button visible
        20: 1,           # Rec Stop button visible
    }
    return b"".join(struct.pack("<h", records.get(n, 0)) for n in range(1, 22))


def place(record, pos, width, value):
    """Puts value at the 1-based position, cut to its width; the rest stays blank."""
    data = value.encode("cp1252")[:width]
    record[pos - 1:pos - 1 + len(data)] = data


def schedule_record(record_at, length_seconds, play_at, row):
    record = bytearray(b" " * SCHEDULE_RECORD_LENGTH)
    place(record, 1, 1, "1")                      # in use
    place(record, 2, 25, PROGRAMME_NAME)
    minutes, seconds = divmod(length_seconds, 60)
    place(record, 27, 5, "%02d:%02d" % (minutes, seconds))
    place(record, 32, 3, "ENG")                   # source code
    place(record, 35, 1, "1")                     # receiver audio port
    place(record, 36, 1, "S")                     # route: stereo
    place(record, 37, 2, "0")                     # attenuation
    place(record, 39, 1, "T")                     # timed play
    place(record, 40, 1, "T")                     # timed record start
    place(record, 41, 1, "1")                     # action: record
    # Play times: entry k is day row k // 4, slot k % 4; rows count from Sunday.
    place(record, 42 + 8 * (row * 4), 8, play_at)
    # Record days and times, one per row: the day's number (row + 1) and "HH:MM:SS".
    place(record, 266 + row, 1, str(row + 1))
    place(record, 273 + 8 * row, 8, record_at)
    return bytes(record)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def wait_for_room(needed_seconds):
    """Sleeps into the next day when the demo would not end before midnight."""
    now = datetime.datetime.now()
    left = 86400 - (now.hour * 3600 + now.minute * 60 + now.second)
    if needed_seconds < left:
        return
    print("The demo needs %d s and midnight is %d s away: waiting for the new day." %
          (needed_seconds, left), file=sys.stderr, flush=True)
    time.sleep(left + 2)


def varying_ebno(phase):
    """The receiver simulator's --ebno-cycle signal: about 11 dB, a slow fade to about 7 dB
    over the middle of the cycle, one step down to 2.5 dB from 80 % to 83 % of it."""
    phase -= math.floor(phase)
    if 0.80 <= phase < 0.83:
        return 2.5
    db = 11.0 + 0.3 * math.sin(phase * 14 * math.pi)
    if 0.30 < phase < 0.70:
        db -= 4.0 * 0.5 * (1 - math.cos((phase - 0.30) / 0.40 * 2 * math.pi))
    return db


def signal_week(logs, now):
    """A week of Eb/No, activity logs up to now: one poll a minute, the receiver alarm of the
    step drop, and two recordings a day, so the Signal window has a history to show."""
    first = (now - datetime.timedelta(days=6)).replace(hour=0, minute=0, second=0)
    span = (now - first).total_seconds()
    noise = random.Random(7)
    days = {}
    alarm = False
    t = first + datetime.timedelta(seconds=12)
    while t < now - datetime.timedelta(minutes=1):
        eb, al = days.setdefault(t.date(), ([], []))
        if t.minute == 0 and t.hour in (6, 12):
            name = "Morning News" if t.hour == 6 else "Farm Report"
            al.append(f"{t:%H:00:00}  Record {name}")
            al.append(f"{t:%H}:{30 if t.hour == 6 else 15}:00  Stop   {name} "
                      f"{'30:00' if t.hour == 6 else '15:00'}")
        db = varying_ebno((t - first).total_seconds() / span)
        if db < 4.0 and not alarm:
            al.append(f"{t - datetime.timedelta(seconds=9):%H:%M:%S}  Alarm")
        elif db >= 4.0 and alarm:
            al.append(f"{t - datetime.timedelta(seconds=40):%H:%M:%S}  Alarm End")
        alarm = db < 4.0
        eb.append(f"{t:%H:%M:%S}  {db + noise.uniform(-0.15, 0.15):.1f} dB")
        t += datetime.timedelta(minutes=1)
    for day, (eb, al) in days.items():
        key = day.strftime("%y%m%d")
        write(os.path.join(logs, f"EB{key}.log"), "".join(line + "\r\n" for line in eb).encode())
        write(os.path.join(logs, f"AL{key}.log"),
              "".join(line + "\r\n" for line in sorted(al)).encode())


def main(argv):
    if len(argv) != 7:
        sys.exit(__doc__)
    root, record_card, play_card = argv[1:4]
    lead, length, gap = (int(a) for a in argv[4:7])
    # The playout runs as long as the recording, and its end contact a little longer.
    wait_for_room(lead + length + gap + length + 30)
    now = datetime.datetime.now().replace(microsecond=0)
    start = now + datetime.timedelta(seconds=lead)
    play = start + datetime.timedelta(seconds=length + gap)
    record_at, play_at = start.strftime("%H:%M:%S"), play.strftime("%H:%M:%S")
    row = start.isoweekday() % 7  # Sunday 0 .. Saturday 6
    satfile = os.path.join(root, "drives", "c", "satfile")
    write(os.path.join(satfile, "MyComp.ini"), settings_bytes(int(record_card), int(play_card)))
    write(os.path.join(satfile, "SatList.dat"),
          schedule_record(record_at, length, play_at, row))
    # The source codes the schedule editor offers, one a line.
    write(os.path.join(satfile, "source.dat"), b"ENG\r\nSPA\r\nNWS\r\n")
    signal_week(os.path.join(satfile, "logs"), now)
    port = bytearray(0x400)
    port[PARALLEL_STATUS] = IDLE_STATUS
    write(os.path.join(root, "devices", "ioport"), bytes(port))
    print(record_at, play_at)


if __name__ == "__main__":
    main(sys.argv)
