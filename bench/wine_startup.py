"""How long the real exe takes from launch to ruler 0 on the screen under Wine, next to
Wine's own Notepad and to a bare Win32 window, measured the same way in one run. Figures
only, no assertions.

    python3 bench/wine_startup.py [--starts N] [--series N] [--notepad-series] [--cold]
                                  [--trace DIR] [--variant NAME=EXE[:VAR=VALUE...]]...
                                  (VR_EXE, VR_DRIVER, VR_BUILD as for the e2e tests;
                                  VR_BARE, default bare_window.exe beside VR_EXE)

One private Xvfb and one Wine prefix serve the whole run. The programs start in turn, N
times each (default 9), each round in another order: the clock starts just before
`wine PROGRAM` is launched and stops when the X server reports the program's window mapped
(ruler 0's "Vantori Rulers", Notepad's "Untitled - Notepad", the bare window's "Bare
Window"), read from the X event stream, so polling adds nothing. Each program is closed
again (WM_CLOSE by the test driver, as Alt+F4 sends it) and has ended before the next
start. The bare window (bench/bare_window.cpp, built with the exe and linked as it is)
only registers a class, makes and shows one window and runs a message loop: the ratio of
our median to its median is what our own start-up costs, the ratio to Notepad's is how we
compare with a small program of Wine's.

--variant adds another build of ours, or ours with environment variables set, to the
alternating starts, and prints its ratio to the bare window too: an experiment that
leaves one part of the start-up out shows what that part costs.

Other work on the machine shows in every figure, and a few busy seconds can move a
median of nine by a third; the ratio of each round's own starts holds steadier. For
figures to compare, run when the load average is low, or keep other work out of the
way with a higher priority (as root: `nice -n -10 python3 bench/wine_startup.py`).

Then a series of consecutive starts of our exe (default 20) looks for outliers: any start
above twice the series' median is listed; --notepad-series runs the same series of Notepad,
to tell a delay of Wine's own from one of ours. The machine's load average is printed with
the figures: other work on the machine shows in them. --trace DIR keeps each start's Wine
log with timestamps, the DLLs loaded and the tray's calls, to see where a slow start went.

By default Wine's server and desktop process are up before the first start and stay up, as
on a desktop where a Wine program already runs: the test driver holds a hidden window for
the whole run, since Wine closes its desktop process about a second after the last program
has gone, and the next start then waits for a new one (about 0.2 s on a quiet machine,
seconds on a busy one, whichever program it is). --cold ends the prefix's Wine processes
before every start, so each one also pays for Wine's own start-up (the server, its desktop
and services).
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import vrtest  # noqa: E402

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
NOTEPAD_TITLE = "Untitled - Notepad"
BARE_TITLE, BARE_CLASS = "Bare Window", "VrBareWindow"
BARE = Path(os.environ.get("VR_BARE") or Path(vrtest.EXE).parent / "bare_window.exe")


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong),
                ("window", ctypes.c_ulong), ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


class MapWatch:
    """Reports the top-level windows the X server maps, from its event stream."""

    def __init__(self, display):
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                 ctypes.POINTER(ctypes.c_char_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x = x
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display}")
        # Top-level windows are the root's children: their maps come as its
        # substructure events.
        x.XSelectInput(self.dpy, x.XDefaultRootWindow(self.dpy), SUBSTRUCTURE_NOTIFY_MASK)
        x.XSync(self.dpy, 0)
        self.fd = x.XConnectionNumber(self.dpy)

    def drain(self):
        event = XEvent()
        while self.x.XPending(self.dpy):
            self.x.XNextEvent(self.dpy, ctypes.byref(event))

    def name(self, window):
        raw = ctypes.c_char_p()
        if not self.x.XFetchName(self.dpy, window, ctypes.byref(raw)) or not raw.value:
            return None
        try:
            return raw.value.decode("utf-8", "replace")
        finally:
            self.x.XFree(raw)

    def wait_mapped(self, title, timeout, alive):
        """The monotonic time at which a window named title was mapped."""
        deadline = time.monotonic() + timeout
        event = XEvent()
        while True:
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, ctypes.byref(event))
                if event.type == MAP_NOTIFY:
                    now = time.monotonic()
                    if self.name(event.xmap.window) == title:
                        return now
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"no window {title!r} within {timeout} s")
            if not alive():
                raise RuntimeError(f"the program ended before showing {title!r}")
            select.select([self.fd], [], [], min(left, 0.5))

    def close(self):
        self.x.XCloseDisplay(self.dpy)


class Program:
    def __init__(self, label, args, title, window_class, env=None):
        self.label, self.args, self.title, self.window_class = label, args, title, window_class
        self.env = env or {}


def variant(text):
    """NAME=EXE[:VAR=VALUE...]: a build of ours (EXE may be empty for VR_EXE), with variables."""
    name, _, rest = text.partition("=")
    exe, *assignments = rest.split(":")
    env = dict(a.split("=", 1) for a in assignments)
    if not name or any(not key for key in env):
        raise argparse.ArgumentTypeError(f"expected NAME=EXE[:VAR=VALUE...], got {text!r}")
    return Program(name, [exe or str(vrtest.EXE)], vrtest.TITLE, vrtest.RULER_CLASS, env)


TRACE_CHANNELS = "+timestamp,+loaddll,+systray,+debugstr"


def start_once(session, watch, program, timeout, trace=None):
    """Launch to mapped, in milliseconds; the program is closed and gone afterwards.

    trace: a file for the start's Wine log with timestamps, or None.
    """
    watch.drain()
    env = dict(session.env, **program.env)
    if trace is not None:
        env = dict(env, WINEDEBUG=TRACE_CHANNELS)
        log = open(trace, "wb")
    else:
        log = open(session.tmp / f"{program.window_class}.log", "ab")
    t0 = time.monotonic()
    proc = subprocess.Popen(["wine", *program.args], env=env, cwd=session.tmp,
                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    try:
        mapped = watch.wait_mapped(program.title, timeout, lambda: proc.poll() is None)
        elapsed = (mapped - t0) * 1000
        # Closed the way a user would, and awaited, so that the next start is alone.
        vrtest.wait_until(lambda: session.wine(vrtest.DRIVER, "close", program.window_class,
                                               check=False)[0] == 0, 30, 0.2,
                          f"{program.label} to take the close request")
        proc.wait(60)
        return elapsed
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        log.close()


def cold(session):
    """Ends every Wine process of this prefix, then starts a bare server again."""
    vrtest.run(["wineserver", "-k"], env=session.env, check=False)
    vrtest.run(["wineserver", "-w"], env=session.env, check=False)
    vrtest.run(["wineserver", "-p"], env=session.env)


def load():
    return f"{os.getloadavg()[0]:.2f}"


def trace_file(folder, program, name):
    if folder is None:
        return None
    folder.mkdir(parents=True, exist_ok=True)
    return folder / f"{re.sub(r'[^A-Za-z0-9_.-]+', '_', program.label)}-{name}.log"


def describe(ms):
    return (f"median {statistics.median(ms):7.0f} ms   range {min(ms):.0f}-{max(ms):.0f} ms   "
            f"({', '.join(f'{m:.0f}' for m in ms)})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--starts", type=int, default=9, help="alternating starts of each")
    parser.add_argument("--series", type=int, default=20, help="consecutive starts of our exe")
    parser.add_argument("--notepad-series", action="store_true",
                        help="the same series of Notepad afterwards")
    parser.add_argument("--cold", action="store_true", help="Wine's processes end between starts")
    parser.add_argument("--timeout", type=float, default=300, help="seconds one start may take")
    parser.add_argument("--trace", type=Path, help="keep each start's Wine log in this folder")
    parser.add_argument("--variant", type=variant, action="append", default=[],
                        help="NAME=EXE[:VAR=VALUE...]: another build of ours, or ours with "
                             "environment variables, in the alternating starts")
    opts = parser.parse_args()

    if not BARE.is_file():
        sys.exit(f"{BARE} is missing: build it with `make windows`")
    ours = Program("VantoriRulers.exe", [str(vrtest.EXE)], vrtest.TITLE, vrtest.RULER_CLASS)
    notepad = Program("Notepad", ["notepad"], NOTEPAD_TITLE, "Notepad")
    bare = Program("bare window", [str(BARE)], BARE_TITLE, BARE_CLASS)
    programs = [ours, notepad, bare, *opts.variant]
    print(f"load average (1, 5, 15 min) at the start: "
          f"{', '.join(f'{x:.2f}' for x in os.getloadavg())}", flush=True)
    session = vrtest.Session("wine_startup")
    keeper = None
    try:
        watch = MapWatch(session.display)
        if not opts.cold:
            keeper = subprocess.Popen(["wine", str(vrtest.DRIVER), "hold", "86400"],
                                      env=session.env, cwd=session.tmp, stdin=subprocess.DEVNULL,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            if keeper.stdout.readline().strip() != b"holding":
                raise RuntimeError("the test driver could not hold Wine's desktop")
        times = {program.label: [] for program in programs}
        for i in range(opts.starts):
            # Each round starts with another program, so that none always follows the same.
            turn = i % len(programs)
            for program in programs[turn:] + programs[:turn]:
                if opts.cold:
                    cold(session)
                ms = start_once(session, watch, program, opts.timeout,
                                trace_file(opts.trace, program, f"alternating-{i + 1}"))
                times[program.label].append(ms)
                print(f"  {program.label:18} start {i + 1}: {ms:7.0f} ms   load {load()}", flush=True)
        print(f"\nAlternating starts, {opts.starts} each"
              f"{' (cold: Wine ends between starts)' if opts.cold else ''}:")
        for label, ms in times.items():
            print(f"  {label:18} {describe(ms)}")
        medians = {label: statistics.median(ms) for label, ms in times.items()}

        def ratio(program, to):
            # Beside the ratio of the medians, the median of each round's own ratio: the
            # programs of one round start within seconds of each other, so that other work
            # on the machine weighs on both sides of it alike.
            rounds = [a / b for a, b in zip(times[program.label], times[to.label])]
            quartiles = statistics.quantiles(rounds, n=4) if len(rounds) > 1 else rounds * 3
            return (f"{medians[program.label] / medians[to.label]:.2f}   (round by round: median "
                    f"{statistics.median(rounds):.2f}, quartiles {quartiles[0]:.2f}-{quartiles[2]:.2f})")

        print(f"  ratio (ours / Notepad):     {ratio(ours, notepad)}")
        print(f"  ratio (ours / bare window): {ratio(ours, bare)}")
        for program in opts.variant:
            print(f"  ratio ({program.label} / bare window): {ratio(program, bare)}")

        for program in (ours, notepad) if opts.notepad_series else (ours,):
            if opts.series <= 0:
                break
            series = []
            for i in range(opts.series):
                if opts.cold:
                    cold(session)
                series.append(start_once(session, watch, program, opts.timeout,
                                         trace_file(opts.trace, program,
                                                    f"series-{i + 1}")))
                print(f"  {program.label} series start {i + 1}: {series[-1]:7.0f} ms   "
                      f"load {load()}", flush=True)
            median = statistics.median(series)
            slow = [(i + 1, ms) for i, ms in enumerate(series) if ms > 2 * median]
            print(f"\n{opts.series} starts of {program.label} in a row: {describe(series)}")
            print(f"  slowest {max(series):.0f} ms = {max(series) / median:.2f} x the median; "
                  f"starts above twice the median: "
                  f"{', '.join(f'#{i} {ms:.0f} ms' for i, ms in slow) if slow else 'none'}")
        print(f"\nload average (1, 5, 15 min) at the end: "
              f"{', '.join(f'{x:.2f}' for x in os.getloadavg())}")
        watch.close()
    finally:
        if keeper is not None:
            keeper.kill()
            keeper.wait()
            keeper.stdout.close()
        session.close()


if __name__ == "__main__":
    main()
