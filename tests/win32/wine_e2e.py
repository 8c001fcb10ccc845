#!/usr/bin/env python3
"""End-to-end smoke test of the real miravue.exe under Wine on a private Xvfb display, against
the reference player service on 127.0.0.1, driven as a user would (xclip, xdotool, a real
drag from a GTK drag source).

  wine_e2e.py --wine-run CMD --prefix DIR --loader PATH --program EXE --service PATH
              --port N [--drag-source PATH] CASE

CASE: caption | f9 | drop
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

CAPTION = "Miravue beta- (热键：F9 播放剪贴板中的地址)"
DEFAULT_HEADER_LINES = [
    "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; NOVUS; .NET CLR 2.0.50727;"
    " .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)",
    "Accept: */*",
    "Accept-Language: zh-cn",
    "Content-Type: application/x-www-form-urlencoded",
]


class Failure(Exception):
    pass


def wait_for(what, check, timeout):
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.05)


class Session:
    """Xvfb, the service and Wine; everything started here is ended on exit."""

    def __init__(self, args):
        self.args = args
        self.processes = []
        self.tmp = tempfile.mkdtemp(prefix="miravue-wine-e2e-")
        self.log = os.path.join(self.tmp, "requests.log")
        self.env = dict(os.environ)

    def spawn(self, argv, **kwargs):
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        process = subprocess.Popen(argv, env=self.env, **kwargs)
        self.processes.append(process)
        return process

    def start_display(self):
        for number in range(90, 160):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(
                    f"/tmp/.X11-unix/X{number}"):
                continue
            xvfb = self.spawn(["Xvfb", f":{number}", "-screen", "0", "1280x800x24", "-nolisten",
                               "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_for("Xvfb", lambda: os.path.exists(f"/tmp/.X11-unix/X{number}")
                         or xvfb.poll() is not None, 10)
            except Failure:
                continue
            if xvfb.poll() is None:
                self.env["DISPLAY"] = f":{number}"
                return
        raise Failure("no free X display")

    def start_service(self):
        service = self.spawn([self.args.service, "--port", str(self.args.port), "--log", self.log],
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        try:
            wait_for("the player service", lambda: os.path.exists(self.log)
                     or service.poll() is not None, 10)
        except Failure:
            pass
        time.sleep(0.2)
        if service.poll() is not None:
            raise Failure("the player service did not start: "
                          + service.stderr.read().decode(errors="replace"))

    def start_program(self):
        started = time.monotonic()
        self.spawn([self.args.wine_run, self.args.prefix, self.args.loader, self.args.program],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_for("the Miravue window", lambda: self.find_window(CAPTION), 60)
        print(f"start-up to window shown: {time.monotonic() - started:.2f} s")
        return window

    def find_window(self, caption):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                "^" + re.escape(caption) + "$"],
                               env=self.env, capture_output=True, text=True)
        ids = found.stdout.split()
        return ids[0] if ids else None

    def xdotool(self, *argv):
        subprocess.run(["xdotool", *argv], env=self.env, check=True, capture_output=True)

    def requests(self):
        """The logged requests: (target, {header: value}) in arrival order."""
        if not os.path.exists(self.log):
            return []
        entries = []
        for line in open(self.log, encoding="utf-8", errors="replace"):
            if line.startswith("\t"):
                name, _, value = line[1:].rstrip("\n").partition(": ")
                entries[-1][1].append(f"{name}: {value}")
            elif line.strip():
                parts = line.split(" ")
                entries.append((parts[2] if len(parts) > 2 else "", []))
        return entries

    def key_requests(self):
        return [entry for entry in self.requests() if entry[0] == "/key"]

    def close(self):
        env = dict(self.env, WINEPREFIX=self.args.prefix)
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=env, capture_output=True)
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)


def check_key_request(session, count):
    requests = wait_for(f"request {count} to /key", lambda: len(session.key_requests()) >= count
                        and session.key_requests(), 20)
    headers = requests[count - 1][1]
    expected = DEFAULT_HEADER_LINES + [f"Referer: http://127.0.0.1:{session.args.port}/key"]
    missing = [line for line in expected if line not in headers]
    if missing:
        raise Failure(f"/key request lacks {missing}; it had {headers}")


def case_caption(session):
    window = session.start_program()
    name = subprocess.run(["xdotool", "getwindowname", window], env=session.env,
                          capture_output=True, text=True).stdout.rstrip("\n")
    if name != CAPTION:
        raise Failure(f"caption is {name!r}")


def case_f9(session):
    window = session.start_program()
    # -quiet keeps xclip in the foreground, serving the selection, until the session ends it.
    xclip = session.spawn(["xclip", "-selection", "clipboard", "-quiet"], stdin=subprocess.PIPE,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    xclip.stdin.write(b"abc def")
    xclip.stdin.close()
    time.sleep(0.3)
    session.xdotool("windowfocus", "--sync", window)
    time.sleep(0.3)
    session.xdotool("key", "F9")
    check_key_request(session, 1)
    print("F9 with \"abc def\" on the clipboard reached /key with the default header lines")


def case_drop(session):
    if not session.args.drag_source:
        raise Failure("no drag source given")
    window = session.start_program()
    content = os.path.join(session.tmp, "video.bin")
    with open(content, "wb") as out:
        out.write(os.urandom(70000))
    torrent = os.path.join(session.tmp, "a.torrent")
    subprocess.run(["mktorrent", "-a", "http://127.0.0.1:9/announce", "-o", torrent, content],
                   check=True, capture_output=True)
    source = session.spawn([session.args.drag_source, torrent], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL)
    source_window = wait_for("the drag source window",
                             lambda: session.find_window("Miravue e2e drag source"), 30)
    session.xdotool("windowmove", "--sync", source_window, "950", "100")
    session.xdotool("windowmove", "--sync", window, "50", "50")
    time.sleep(0.5)
    session.xdotool("mousemove", "--sync", "1000", "150")
    session.xdotool("mousedown", "1")
    for x, y in [(990, 160), (960, 180), (800, 220), (600, 260), (460, 290), (450, 290)]:
        session.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.1)
    time.sleep(0.3)
    session.xdotool("mouseup", "1")
    check_key_request(session, 1)
    print("dropping a .torrent on the window reached /key with the default header lines")


def main():
    parser = argparse.ArgumentParser()
    for name in ("--wine-run", "--prefix", "--loader", "--program", "--service"):
        parser.add_argument(name, required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--drag-source")
    parser.add_argument("case", choices=["caption", "f9", "drop"])
    args = parser.parse_args()
    session = Session(args)
    try:
        session.start_display()
        session.start_service()
        {"caption": case_caption, "f9": case_f9, "drop": case_drop}[args.case](session)
    except (Failure, subprocess.CalledProcessError) as error:
        print(f"FAILED: {error}", file=sys.stderr)
        if os.path.exists(session.log):
            print(open(session.log, encoding="utf-8", errors="replace").read(), file=sys.stderr)
        return 1
    finally:
        session.close()
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
