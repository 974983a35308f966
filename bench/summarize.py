#!/usr/bin/env python3
"""Prints one table from a results folder of bench/run-all.sh: Google Benchmark JSON files
and the SUMMARY / STARTUP lines of bench_soak."""

import json
import re
import sys
from pathlib import Path

results = Path(sys.argv[1])
rows = []


def row(what, value, detail=""):
    rows.append((what, value, detail))


def runs(name):
    path = results / f"{name}.json"
    try:
        return json.loads(path.read_text())["benchmarks"]
    except (OSError, ValueError, KeyError):
        err = (results / f"{name}.err")
        return {"error": err.read_text().strip()[-200:] if err.exists() else "no output"}


def find(bench, prefix, aggregate="median"):
    """The entry of a run whose name starts with prefix: the aggregate when repeated."""
    if isinstance(bench, dict):
        return {"error_message": bench["error"]}
    plain = None
    for b in bench:
        if not b.get("run_name", b["name"]).startswith(prefix):
            continue
        if b.get("error_occurred"):
            return b
        if b.get("aggregate_name") == aggregate:
            return b
        if b.get("run_type") == "iteration" and plain is None:
            plain = b
    return plain or {"error_message": f"{prefix} not run"}


def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale


def failed(b, what):
    if "error_message" in b or b.get("error_occurred"):
        row(what, "failed", b.get("error_message", ""))
        return True
    return False


def fields(path, tag):
    """key=value pairs of each line starting with tag in a bench_soak output file."""
    out = []
    try:
        text = (results / path).read_text()
    except OSError:
        return out, ""
    for line in text.splitlines():
        if line.startswith(tag + " "):
            out.append(dict(re.findall(r"(\w+)=(\S+)", line)))
    return out, text


station, schedule = runs("station"), runs("schedule")
audio, export = runs("audio"), runs("export")

b = find(station, "BM_IdleClockTick")
if not failed(b, "Idle clock tick, 999 schedules (sim)"):
    us = ms(b) * 1000
    row("Idle clock tick, 999 schedules (sim)", f"{us:.2f} us",
        f"{us * 20 / 1e4:.4f} % of one core at 20 ticks/s")

b = find(runs("signal"), "BM_ReadSignalHistory31Days")
if not failed(b, "Signal history, 31 days at 1 poll/min"):
    row("Signal history, 31 days at 1 poll/min", f"{ms(b):.2f} ms", "44 640 Eb/No lines, median of 5")

b = find(schedule, "BM_ThreeFinders")
if not failed(b, "Three next-event finders, 999 schedules"):
    row("Three next-event finders, 999 schedules", f"{ms(b):.2f} ms", "median of 5")

full, empty = find(station, "BM_StartStation/999"), find(station, "BM_StartStation/0")
if not failed(full, "Start-up in-process, 999 schedules"):
    detail = "" if failed(empty, "Start-up in-process, 0 schedules") else \
        f"0 schedules: {ms(empty):.2f} ms; StartStation only, median of 5"
    row("Start-up in-process, 999 schedules", f"{ms(full):.2f} ms", detail)

starts, text = fields("startup.txt", "STARTUP")
by = {s["schedules"]: s for s in starts}
if "999" in by:
    s = by["999"]
    detail = f"median of {s['runs']} ({s['min_ms']}-{s['max_ms']}); data files open at " \
             f"{s['files_open_median_ms']} ms"
    if "0" in by:
        detail += f"; 0 schedules: {by['0']['median_ms']} ms"
    row("Start-up real binary, 999 schedules", f"{s['median_ms']} ms", detail)
else:
    row("Start-up real binary, 999 schedules", "failed", text.strip()[-200:])

b = find(audio, "BM_CaptureToFile")
if not failed(b, "Capture to file, 44100 Hz stereo"):
    t = find(audio, "BM_ThresholdStartToFile")
    detail = "" if "error_message" in t or t.get("error_occurred") else \
        f"threshold start: first buffer is trigger {t['first_buffer_is_trigger']:g}, " \
        f"frames lost {t['frames_lost']:g}"
    row("Capture to file, 44100 Hz stereo", f"{b['cpu_percent_of_one_core']:.3f} % of one core",
        detail)

sox = find(export, "BM_SoxTrimFade")
for bench, label in (("BM_HostExportWithFade", "Export 60 min with fade vs sox"),
                     ("BM_ExportWithFade", "Export on the simulated drives vs sox")):
    ours = find(export, bench)
    if failed(ours, label):
        continue
    if failed(sox, "sox trim + fade, same file"):
        row(label, f"{ms(ours) / 1000:.2f} s", "median of 5")
    else:
        row(label, f"{ms(ours) / ms(sox):.2f} x sox",
            f"station {ms(ours) / 1000:.2f} s, sox {ms(sox) / 1000:.2f} s, medians of 5")

for name, path in (("Idle process", "idle.txt"), ("Soak", "soak.txt")):
    found, text = fields(path, "SUMMARY")
    if not found:
        row(name, "failed", " ".join(text.strip().splitlines()[-3:])[-200:])
        continue
    s = found[-1]
    what = f"{name} {s['minutes']} min (real binary)"
    detail = f"RSS {s['rss_start_mib']}/{s['rss_end_mib']}/{s['rss_max_mib']} MiB " \
             f"start/end/max, {s.get('rss_growth_mib_per_hour', '?')} MiB/h and the CPU after " \
             f"{s.get('settle_s', '?')} s; fds {s['fd_start']}/{s['fd_end']}; exit {s['exit']}"
    if s["mode"] == "soak":
        detail += f"; recordings {s['recordings']}, plays {s['plays']}, dumps {s['dumps']}, " \
                  f"Eb/No polls {s['ebno_polls']}, error-log lines {s['error_lines']}"
    row(what, f"{s['cpu_mean_pct']} % of one core", detail)

cases, text = fields("latency.txt", "LATENCY")
if not cases:
    row("Tick delay under slow devices", "failed", " ".join(text.strip().splitlines()[-3:])[-200:])
for c in cases:
    detail = f"p99 {c['p99_delay_ms']} ms, {c['ticks_over_100ms']} ticks over 100 ms of " \
             f"{c['ticks']} in {c['seconds']} s; "
    if c["case"] == "hung-printer":
        detail += f"print jobs {c['exchanges']}"
    else:
        detail += f"recordings {c['recordings']}, receiver commands {c['exchanges']}"
    if c["case"] == "stalled-disk":
        detail += f", write stalls {c['write_stalls']}"
    where = "host loop, printer only" if c["case"] == "hung-printer" else "real binary"
    row(f"Tick delay, {c['case']} ({where})", f"{c['max_delay_ms']} ms max", detail)

print((results / "machine.txt").read_text().rstrip())
print()
w1 = max(len(r[0]) for r in rows)
w2 = max(len(r[1]) for r in rows)
print(f"{'Measure':<{w1}} | {'Result':<{w2}} | Detail")
print(f"{'-' * w1}-+-{'-' * w2}-+-{'-' * 40}")
for what, value, detail in rows:
    print(f"{what:<{w1}} | {value:<{w2}} | {detail}")
