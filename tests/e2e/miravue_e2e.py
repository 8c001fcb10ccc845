#!/usr/bin/env python3
"""End-to-end tests of the real Miravue program on a private Xvfb display, against the
reference player service on 127.0.0.1, driven the way a user drives it: xclip puts text or a
picture on the clipboard, xdotool presses keys and drags files from a second X client.

    miravue_e2e.py --program P --service S --drag-source D --close-window C \
                   --image-clipboard I --port N CASE

Each CASE runs in a fresh session (display, service, program) and exits 0 when it passes.
"""

import argparse
import os
import subprocess
import sys
import time
import traceback

# The test imports its helpers from the source tree, which must stay free of build output.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from x_session import (  # noqa: E402
    E2EError, PlayerService, ProcessSet, SessionBus, XTools, Xvfb, make_torrent, make_workdir,
    remove_workdir, same_colour, torrent_info_hash, wait_until, x_env,
)

CAPTION = "Miravue beta- (热键：F9 播放剪贴板中的地址)"
CAPTION_REGEX = r"^Miravue beta-"
DRAG_SOURCE_REGEX = r"^Miravue e2e drag source$"
MAGNET_ENCODED = "magnet%3A%3Fxt%3Durn%3Abtih%3A"

# Colours of the player page (tools/player_service/play_page.cpp).
PAGE_BACKGROUND = (0x1B, 0x22, 0x30)
PAGE_BARS = (0x14, 0x1A, 0x25)  # header and footer
PAGE_CARD = (0x24, 0x2D, 0x3F)

# Generous on purpose: a loaded two-core machine starts WebKit slowly. Nothing waits this long
# when things work.
WINDOW_TIMEOUT = 90
PLAY_TIMEOUT = 30
EXIT_TIMEOUT = 30


class Session:
    """One display, one player service, one running Miravue."""

    def __init__(self, options):
        self.options = options
        self.workdir = make_workdir()
        self.processes = ProcessSet()
        self.program = None
        self.window = None

    def __enter__(self):
        try:
            self.display = Xvfb(self.processes, self.workdir).start()
            self.bus_address = SessionBus(self.processes, self.workdir).start()
            self.x = XTools(self.display, self.bus_address)
            self.service = PlayerService(self.processes, self.options.service,
                                         self.options.port, self.workdir)
            self.service.start()
            self.start_program()
        except BaseException:
            self.dump_logs()
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None:
            self.dump_logs()
        self.processes.stop_all()
        remove_workdir(self.workdir)
        return False

    def start_program(self):
        # Set by the test, not by the program: WebKit's sandbox needs user namespaces that a
        # root container lacks, and Xvfb has no GL for the default renderer.
        runtime_dir = os.path.join(self.workdir, "xdg-runtime")
        os.makedirs(runtime_dir, mode=0o700, exist_ok=True)
        env = x_env(self.display, self.bus_address,
                    WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS="1", GSK_RENDERER="cairo",
                    XDG_RUNTIME_DIR=runtime_dir)
        self.program_output = os.path.join(self.workdir, "program-output.log")
        self.started_at = time.monotonic()
        self.program = self.processes.start(
            [self.options.program], env=env, stdout=open(self.program_output, "wb"),
            stderr=subprocess.STDOUT,
        )
        program = self.program

        def window_or_exit():
            if program.poll() is not None:
                raise E2EError(f"the program ended with code {program.returncode} before its "
                               "window was shown")
            windows = self.x.find_windows(CAPTION_REGEX)
            return windows[0] if windows else None

        self.window = wait_until(window_or_exit, WINDOW_TIMEOUT, "the program's window")

    def dump_logs(self):
        for name in ("program-output.log", "service-output.log", "service-requests.log"):
            path = os.path.join(self.workdir, name)
            if os.path.exists(path):
                with open(path, "rb") as log:
                    text = log.read().decode("utf-8", "replace")
                print(f"---- {name} (last 3000 characters) ----\n{text[-3000:]}",
                      file=sys.stderr)

    # What the service saw ------------------------------------------------------------------

    def mark(self):
        """A point in the service's log; later checks look only at what came after it."""
        return len(self.service.requests())

    def requests_since(self, mark):
        return self.service.requests()[mark:]

    def plays_since(self, mark):
        return [r.target for r in self.requests_since(mark) if r.target.startswith("/play")]

    def keys_since(self, mark):
        return [r for r in self.requests_since(mark) if r.target == "/key"]

    def wait_for_plays(self, mark, count, timeout=PLAY_TIMEOUT):
        def enough():
            plays = self.plays_since(mark)
            return plays if len(plays) >= count else None

        try:
            return wait_until(enough, timeout, f"{count} /play request(s) at the service")
        except E2EError as error:
            raise E2EError(f"{error}; it saw {self.requests_since(mark)}") from None

    def press_and_expect(self, clipboard_text, keys, encoded):
        """Puts text on the clipboard, presses keys and waits for the browser to ask the
        service for the play page of `encoded`."""
        self.x.set_clipboard_text(clipboard_text)
        mark = self.mark()
        self.x.key(keys)
        plays = self.wait_for_plays(mark, 1)
        expect_equal(plays, ["/play?u=" + encoded], f"play requests after {keys}")
        return mark

    def expect_nothing_more(self, mark, plays_so_far):
        """Proves that nothing but `plays_so_far` was played since `mark`: one more F9 with a
        marker text must be the very next key request and play. Waiting for silence instead
        could only ever guess how long is long enough."""
        self.x.set_clipboard_text("end-marker")
        self.x.key("F9")
        plays = self.wait_for_plays(mark, len(plays_so_far) + 1)
        expect_equal(plays, plays_so_far + ["/play?u=end-marker"], "play requests")
        expect_equal(len(self.keys_since(mark)), len(plays_so_far) + 1, "key endpoint requests")

    # Other X clients -----------------------------------------------------------------------

    def start_drag_source(self, files, where=(900, 600)):
        output = os.path.join(self.workdir, f"drag-source-{len(files)}.log")
        process = self.processes.start([self.options.drag_source, *files], env=self.x.env,
                                       stdout=open(output, "wb"), stderr=subprocess.STDOUT)
        window = self.x.wait_for_window(DRAG_SOURCE_REGEX, WINDOW_TIMEOUT)
        # No window manager places it: move it off Miravue's window, which starts at 50,50.
        self.x.run("xdotool", "windowmove", "--sync", str(window), str(where[0]), str(where[1]))
        return process, window, output

    def drop_files(self, files):
        """Drags the files from the drag source onto the middle of Miravue's window."""
        process, source, output = self.start_drag_source(files)
        sx, sy, sw, sh = self.x.geometry(source)
        mx, my, mw, mh = self.x.geometry(self.window)
        self.x.drag((sx + sw // 2, sy + sh // 2), (mx + mw // 2, my + mh // 2))
        # The source says when the drag is over on its side, dropped or not.
        wait_until(lambda: b"drag-end" in open(output, "rb").read(), PLAY_TIMEOUT,
                   "the drag to end at the drag source")
        self.processes.stop(process)

    # The page on the screen ----------------------------------------------------------------

    def page_fills_window(self):
        """True when the player page's layout spans the window's whole area: the header at the
        top edge, the fixed footer at the bottom edge, and the card centred between the left
        and right edges (which it only is when the page's viewport is the window's width)."""
        x, y, w, h = self.x.geometry(self.window)
        shot = self.x.screenshot()
        right = x + w - 6
        if not same_colour(shot.pixel(right, y + 2), PAGE_BARS):
            return False
        if not same_colour(shot.pixel(right, y + h - 2), PAGE_BARS):
            return False
        if not same_colour(shot.pixel(x + w - 10, y + h - 40), PAGE_BACKGROUND):
            return False
        row = y + 110
        card = [px for px in range(x, x + w) if same_colour(shot.pixel(px, row), PAGE_CARD)]
        if not card:
            return False
        left_margin, right_margin = card[0] - x, (x + w - 1) - card[-1]
        return abs(left_margin - right_margin) <= 2

    def describe_page_pixels(self):
        x, y, w, h = self.x.geometry(self.window)
        shot = self.x.screenshot()
        points = {"top right": (x + w - 6, y + 2), "bottom right": (x + w - 6, y + h - 2),
                  "above footer": (x + w - 10, y + h - 40)}
        return ", ".join(f"{name} {shot.pixel(*p)}" for name, p in points.items()) + \
            f" in window {x},{y} {w}x{h}"


def expect_equal(actual, expected, what):
    if actual != expected:
        raise E2EError(f"{what}: expected {expected!r}, got {actual!r}")


# The cases ---------------------------------------------------------------------------------

CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


def hotkey_plays_clipboard(s, keys):
    mark = s.press_and_expect("abc def", keys, "abc%20def")
    s.expect_nothing_more(mark, ["/play?u=abc%20def"])


@case
def f9_plays_clipboard(s):
    hotkey_plays_clipboard(s, "F9")


@case
def ctrl_f9_plays_clipboard(s):
    hotkey_plays_clipboard(s, "ctrl+F9")


@case
def alt_f9_plays_clipboard(s):
    hotkey_plays_clipboard(s, "alt+F9")


@case
def f8_plays_nothing(s):
    s.x.set_clipboard_text("abc def")
    mark = s.mark()
    s.x.key("F8")
    s.x.key("ctrl+F8")
    s.expect_nothing_more(mark, [])


@case
def f9_plays_while_another_client_has_focus(s):
    other = make_torrent(s.workdir, "focus-holder")
    _, window, _ = s.start_drag_source([other])
    s.x.run("xdotool", "windowfocus", "--sync", str(window))
    expect_equal(s.x.focused_window(), window, "focused window")
    s.press_and_expect("abc def", "F9", "abc%20def")
    expect_equal(s.x.focused_window(), window, "focused window after F9")


@case
def gbk_clipboard_plays_gbk_bytes(s):
    mark = s.press_and_expect("中文", "F9", "%D6%D0%CE%C4")
    s.expect_nothing_more(mark, ["/play?u=%D6%D0%CE%C4"])


@case
def image_clipboard_plays_prefix_alone(s):
    output = os.path.join(s.workdir, "image-clipboard.log")
    s.processes.start([s.options.image_clipboard], env=s.x.env, stdout=open(output, "wb"),
                      stderr=subprocess.STDOUT)
    wait_until(lambda: b"ready" in open(output, "rb").read(), WINDOW_TIMEOUT,
               "the image clipboard helper")
    wait_until(lambda: s.x.clipboard_targets() and "UTF8_STRING" not in s.x.clipboard_targets()
               and "image/png" in s.x.clipboard_targets(), PLAY_TIMEOUT,
               "the clipboard to offer a picture and no text")
    mark = s.mark()
    s.x.key("F9")
    expect_equal(s.wait_for_plays(mark, 1), ["/play?u="], "play requests")


@case
def key_request_carries_default_headers(s):
    mark = s.press_and_expect("abc def", "F9", "abc%20def")
    key = s.keys_since(mark)
    expect_equal(len(key), 1, "key endpoint requests")
    expect_equal(key[0].method, "GET", "key request method")
    expect_equal(key[0].version, "HTTP/1.1", "key request version")
    endpoint = f"http://127.0.0.1:{s.options.port}/key"
    for name, value in (("Referer", endpoint), ("Accept", "*/*"), ("Accept-Language", "zh-cn"),
                        ("Content-Type", "application/x-www-form-urlencoded")):
        expect_equal(key[0].header(name), value, f"{name} line of the key request")
    expect_equal(key[0].header("User-Agent"),
                 "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; NOVUS; .NET CLR 2.0.50727; "
                 ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)", "user agent of the key request")


@case
def torrent_drop_plays_magnet(s):
    torrent = make_torrent(s.workdir, "one")
    mark = s.mark()
    s.drop_files([torrent])
    plays = s.wait_for_plays(mark, 1)
    expect_equal(plays, ["/play?u=" + MAGNET_ENCODED + torrent_info_hash(torrent)],
                 "play requests after the drop")
    s.expect_nothing_more(mark, plays)


@case
def three_torrents_play_in_order(s):
    torrents = [make_torrent(s.workdir, name) for name in ("first", "second", "third")]
    expected = ["/play?u=" + MAGNET_ENCODED + torrent_info_hash(t) for t in torrents]
    mark = s.mark()
    s.drop_files(torrents)
    # All three are played inside the one drop, so the browser may abandon the first two
    # pages before it asks for them; what it does ask for comes in the drop's order and ends
    # with the third. The key endpoint is asked once per torrent.
    wait_until(lambda: len(s.keys_since(mark)) >= 3, PLAY_TIMEOUT, "three key requests")
    plays = wait_until(lambda: (p := s.plays_since(mark)) and p[-1] == expected[2] and p,
                       PLAY_TIMEOUT, "the third torrent's play page")
    positions = [expected.index(p) if p in expected else -1 for p in plays]
    if -1 in positions or positions != sorted(set(positions)):
        raise E2EError(f"plays out of the drop's order: {plays}, expected a part of {expected}")
    s.expect_nothing_more(s.mark(), [])
    expect_equal(len(s.keys_since(mark)), 4, "key requests (three torrents and the marker)")


@case
def mixed_drop_plays_only_torrents(s):
    torrent = make_torrent(s.workdir, "only")
    text_file = os.path.join(s.workdir, "notes.txt")
    upper = os.path.join(s.workdir, "upper.TORRENT")
    for path in (text_file, upper):
        with open(path, "w") as out:
            out.write("not a torrent\n")
    mark = s.mark()
    s.drop_files([text_file, torrent, upper])
    plays = s.wait_for_plays(mark, 1)
    expect_equal(plays, ["/play?u=" + MAGNET_ENCODED + torrent_info_hash(torrent)],
                 "play requests after the drop")
    s.expect_nothing_more(mark, plays)


@case
def resize_keeps_page_filling_window(s):
    s.press_and_expect("abc def", "F9", "abc%20def")
    for size in ((800, 480), (1100, 760), (560, 360)):
        if size != (800, 480):
            s.x.run("xdotool", "windowsize", "--sync", str(s.window), str(size[0]),
                    str(size[1]))
        wait_until(lambda: s.x.geometry(s.window)[2:] == size, PLAY_TIMEOUT,
                   f"the window to be {size[0]}x{size[1]}")
        try:
            wait_until(s.page_fills_window, PLAY_TIMEOUT, f"the page to fill {size}")
        except E2EError as error:
            raise E2EError(f"{error}: {s.describe_page_pixels()}") from None


@case
def window_has_exact_caption_and_size(s):
    expect_equal(s.x.window_name(s.window), CAPTION, "window name")
    expect_equal(s.x.window_property(s.window, "_NET_WM_NAME"),
                 f'_NET_WM_NAME(UTF8_STRING) = "{CAPTION}"', "_NET_WM_NAME")
    x, y, w, h = s.x.geometry(s.window)
    expect_equal((w, h), (800, 480), "window size")
    expect_equal((x, y), (50, 50), "window position")


@case
def closing_window_ends_program(s):
    s.press_and_expect("abc def", "F9", "abc%20def")
    s.x.run(s.options.close_window, str(s.window))
    try:
        code = s.program.wait(EXIT_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise E2EError(f"the program still runs {EXIT_TIMEOUT} s after its window was closed")
    expect_equal(code, 0, "exit code")
    expect_equal(s.x.find_windows(CAPTION_REGEX, visible=False), [], "windows left")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--drag-source", required=True)
    parser.add_argument("--close-window", required=True)
    parser.add_argument("--image-clipboard", required=True)
    parser.add_argument("--port", type=int, default=17380)
    parser.add_argument("case", choices=sorted(CASES))
    options = parser.parse_args()
    try:
        with Session(options) as session:
            CASES[options.case](session)
    except E2EError as error:
        print(f"FAILED {options.case}: {error}", file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    print(f"passed {options.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
