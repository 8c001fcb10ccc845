#!/usr/bin/env python3
"""Measures the real program on a private Xvfb display against the reference player service:

- F9 to the /play request at the service (median of 20 presses), split into F9 -> /key (the
  program's own reaction: key hook, clipboard, request) and /key -> /play (the browser),
- start to the main window shown (median of 5 starts),
- CPU time used while idle over 10 s, by the program and its web processes,
- resident memory of the program with its web processes (RSS and PSS).

Prints figures; asserts nothing. Run it through bench/app/measure.sh.
"""

import argparse
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # the helpers are imported from the source tree
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))

from miravue_e2e import Session  # noqa: E402
from x_session import XTestKeyboard, make_torrent, wait_until  # noqa: E402

PRESSES = 20
STARTS = 5
IDLE_SECONDS = 10


def process_tree(root):
    """The pid and every descendant of it (WebKit's web and network processes)."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        children.setdefault(int(fields[1]), []).append(int(entry))
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def process_name(pid):
    try:
        with open(f"/proc/{pid}/comm") as comm:
            return comm.read().strip()
    except OSError:
        return "?"


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the line; 12 and 13 after the name.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def memory_kib(pid):
    rss = pss = 0
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    try:
        with open(f"/proc/{pid}/smaps_rollup") as rollup:
            for line in rollup:
                if line.startswith("Pss:"):
                    pss = int(line.split()[1])
    except OSError:
        pass
    return rss, pss


def measure_hotkey(s):
    keyboard = XTestKeyboard(s.display)
    to_key, to_play = [], []
    try:
        for i in range(PRESSES):
            s.x.set_clipboard_text(f"bench-{i}")
            mark = s.mark()
            pressed = keyboard.press("F9")
            s.wait_for_plays(mark, 1)
            requests = s.requests_since(mark)
            key = next(r for r in requests if r.target == "/key")
            play = next(r for r in requests if r.target.startswith("/play"))
            to_key.append((key.time - pressed) * 1000)
            to_play.append((play.time - pressed) * 1000)
    finally:
        keyboard.close()
    return to_key, to_play


def measure_start(s):
    times = []
    for _ in range(STARTS):
        s.x.run(s.options.close_window, str(s.window))
        s.program.wait(30)
        s.start_program()  # returns once the window is visible
        times.append((time.monotonic() - s.started_at) * 1000)
    return times


def measure_idle(s):
    # Let the page finish loading and the web processes settle before the idle window. The
    # F9 also reached the focused web view, whose key handling starts GTK's cursor blink for
    # 10 s (gtk-cursor-blink-timeout, a frame every 16 ms); that is over before we measure.
    s.x.set_clipboard_text("idle")
    mark = s.mark()
    s.x.key("F9")
    s.wait_for_plays(mark, 1)
    time.sleep(12)
    pids = process_tree(s.program.pid)
    start = {pid: cpu_seconds(pid) for pid in pids}
    time.sleep(IDLE_SECONDS)
    used = {}
    for pid in pids:
        try:
            used[pid] = cpu_seconds(pid) - start[pid]
        except OSError:
            used[pid] = 0.0
    memory = {pid: memory_kib(pid) for pid in process_tree(s.program.pid)}
    return used, memory


def summary(values):
    return (f"median {statistics.median(values):.1f} ms, min {min(values):.1f}, "
            f"max {max(values):.1f} (n={len(values)})")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--drag-source", required=True)
    parser.add_argument("--close-window", required=True)
    parser.add_argument("--image-clipboard", required=True)
    parser.add_argument("--port", type=int, default=17380)
    parser.add_argument("--screenshot", help="also save the played page's window as this PNG")
    options = parser.parse_args()

    with Session(options) as s:
        first_window_ms = (time.monotonic() - s.started_at) * 1000
        to_key, to_play = measure_hotkey(s)
        print(f"F9 -> /key at the service:  {summary(to_key)}")
        print(f"F9 -> /play at the service: {summary(to_play)}")

        used, memory = measure_idle(s)
        total_cpu = sum(used.values())
        print(f"idle CPU over {IDLE_SECONDS} s: {total_cpu:.2f} s CPU = "
              f"{100 * total_cpu / IDLE_SECONDS:.2f} % of one core")
        for pid, seconds in used.items():
            print(f"  {process_name(pid):<24} {seconds:.2f} s")
        rss = sum(r for r, _ in memory.values())
        pss = sum(p for _, p in memory.values())
        print(f"memory of the program with its web processes: RSS {rss / 1024:.1f} MiB, "
              f"PSS {pss / 1024:.1f} MiB")
        for pid, (r, p) in memory.items():
            print(f"  {process_name(pid):<24} RSS {r / 1024:.1f} MiB, PSS {p / 1024:.1f} MiB")

        if options.screenshot:
            # The README's picture: a real torrent dropped on the window, as a user would.
            torrent = make_torrent(s.workdir, "Sintel.2010.1080p")
            mark = s.mark()
            s.drop_files([torrent])
            s.wait_for_plays(mark, 1)
            wait_until(s.page_fills_window, 30, "the player page to render")
            s.x.save_window_png(s.window, options.screenshot)
            print(f"screenshot saved to {options.screenshot}")

        starts = measure_start(s)
        print(f"start -> window shown: {summary([first_window_ms] + starts)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
