"""End-to-end harness: runs the real VantoriRulers.exe under Wine on a private Xvfb.

Every test case gets its own X server (1366x768x24, a free display number chosen by
Xvfb itself) and its own Wine prefix, copied from a template that is booted once
under build/wine and guarded by a file lock so that parallel runs don't race.
Suites run side by side, so nothing of one may reach another: each suite process
has its own temporary folder (TMPDIR for everything it runs, Wine's server socket
folder included), no DISPLAY of the desktop to fall back on, and its own folders
for the screenshots it keeps and the leftovers of a failed case.
Everything a case starts is stopped by its pid (wineserver -k for the prefix's
Wine processes) and its temporary folder is the only thing it deletes.

Standard library only. Also a small command line for the Makefile and CMake:
    python3 vrtest.py template        make (or reuse) the template prefix
    python3 vrtest.py prefix DIR      make DIR a copy of the template unless it exists
    python3 vrtest.py cases FILE...   list the test cases of suite files, for ctest
"""

import atexit
import fcntl
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
EXE = Path(os.environ.get("VR_EXE") or REPO / "build" / "windows" / "VantoriRulers.exe")
DRIVER = Path(os.environ.get("VR_DRIVER") or REPO / "build" / "windows" / "vr_testdriver.exe")
BUILD = Path(os.environ.get("VR_BUILD") or REPO / "build" / "native")
WINE_DIR = REPO / "build" / "wine"
TEMPLATE = WINE_DIR / "template"
TEMPLATE_STAMP = ".vr-template"
# Wine's own TrueType fonts (Tahoma for dialogs, Marlett for the caption
# buttons it draws) go into the prefix: this Wine finds them only there.
WINE_FONTS = Path("/usr/share/wine/fonts")
TEMPLATE_VERSION = "fonts-1"  # bump when the template's contents change

SCREEN_W, SCREEN_H = 1366, 768
# Where the pointer rests while a case does not use it: a corner that no ruler starts
# over, so that no ruler shows the pointer's hairline and label in a screenshot. Xvfb
# starts it in the middle of the screen, over ruler 0.
POINTER_REST = (0, SCREEN_H - 1)
TITLE = "Vantori Rulers"
RULER_CLASS = "TRulerForm"
RULERS_KEY = "HKCU\\Software\\Vantori\\Rulers"

# Settings written by the template: numbers must render in a metric twin of
# Arial, and a crash must end the process instead of waiting on a dialog.
TEMPLATE_REGISTRY = [
    ("HKCU\\Software\\Wine\\Fonts\\Replacements", "Arial", "REG_SZ", "Liberation Sans"),
    ("HKCU\\Software\\Wine\\WineDbg", "ShowCrashDialog", "REG_DWORD", "0"),
]

VERBOSE = bool(os.environ.get("VR_E2E_VERBOSE"))

# Every X client is pointed at its case's own server; none may fall back on the
# desktop's display.
os.environ.pop("DISPLAY", None)

# The suite this process runs, named after its script: what it keeps goes in its
# own folders, so that suites running side by side never write the same file.
SUITE = re.sub(r"[^A-Za-z0-9_.-]+", "_", Path(sys.argv[0]).stem or "vrtest")
# Screenshots a test keeps for a person to look at, and what a failed case leaves.
SCREENS = BUILD / "e2e-screens" / SUITE
ARTIFACTS = BUILD / "e2e-artifacts" / SUITE

# A notification area as on a desktop: trayer docks icons by XEMBED, 200 x 24 pixels at
# the top right of the screen.
TRAYER = ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "200",
          "--heighttype", "pixel", "--height", "24", "--SetDockType", "false",
          "--transparent", "false"]
X11_DRIVER_KEY = "HKCU\\Software\\Wine\\X11 Driver"


def log(*args):
    if VERBOSE:
        print("[vrtest]", *args, file=sys.stderr, flush=True)


def wait_until(predicate, timeout, interval=0.1, what="condition"):
    """Polls predicate until it returns a true value; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def wine_env(prefix, display=None, tmpdir=None):
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(prefix),
        WINEARCH="win64",
        WINEDEBUG="-all",
        # No prompts to install the .NET and HTML engines on first start, and no
        # menu entries for the prefix's programs in the user's home.
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
    )
    if display is None:
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    if tmpdir is not None:
        # Debian's wineserver makes its socket folder under TMPDIR: keep it ours.
        env["TMPDIR"] = str(tmpdir)
    return env


_running = []  # commands of run() in progress, for the signal handler
_suite_tmp = []  # the suite's temporary folder, once made
_fixed_layout = []  # the command that starts a program without address randomisation

WINE_PROGRAMS = ("wine", "wineboot")
START_ATTEMPTS = 3


def wine_command(args):
    """args, started without address-space randomisation when this system allows it.

    Now and then a randomised layout puts a library where Wine must map its own fixed
    pages, and the Wine process dies before it runs anything ("failed to map the shared
    user data"): two starts in 2,700 here, against none in 2,100 without randomisation.
    """
    if not _fixed_layout:
        try:
            subprocess.run(["setarch", "-R", "true"], check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            _fixed_layout.append(["setarch", "-R"])
        except (OSError, subprocess.CalledProcessError):
            _fixed_layout.append([])
    return [*_fixed_layout[0], *args] if args[0] in WINE_PROGRAMS else list(args)


def suite_tmp():
    """The temporary folder of this process, made on first use and removed at its exit.

    Everything the process runs gets it as TMPDIR: temporary files of this module, of
    ImageMagick and of Wine (whose server makes its socket folder there).
    """
    if not _suite_tmp:
        root = BUILD / "e2e-tmp"
        root.mkdir(parents=True, exist_ok=True)
        path = Path(tempfile.mkdtemp(prefix=f"{SUITE}-", dir=root))
        _suite_tmp.append(path)
        os.environ["TMPDIR"] = str(path)
        tempfile.tempdir = str(path)
        atexit.register(shutil.rmtree, path, True)
    return _suite_tmp[0]


def run(args, env=None, timeout=60, check=True, cwd=None):
    """Runs a command to its end and returns (exit code, stdout).

    Output goes through files, not pipes: the first Wine program in a prefix starts
    Wine's background services, which inherit and keep its output open. A Wine program
    that ends in failure without a word never ran (every program we run says what went
    wrong, and Wine is told to keep quiet only about itself): it is started again.
    """
    log("run", " ".join(str(a) for a in args))
    tmp = suite_tmp()
    for attempt in range(1, START_ATTEMPTS + 1):
        with tempfile.TemporaryFile(dir=tmp) as out, tempfile.TemporaryFile(dir=tmp) as err:
            proc = subprocess.Popen(wine_command([str(a) for a in args]), env=env, cwd=cwd,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            _running.append(proc)
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            finally:
                _running.remove(proc)
            out.seek(0)
            err.seek(0)
            text = out.read().decode("utf-8", "replace")
            errors = err.read().decode("utf-8", "replace")
        silent = proc.returncode != 0 and not (text + errors).strip()
        if not (silent and args[0] in WINE_PROGRAMS and attempt < START_ATTEMPTS):
            break
        print(f"[vrtest] {args[0]} ended at once ({proc.returncode}), starting it again",
              file=sys.stderr, flush=True)
    if check and proc.returncode != 0:
        raise RuntimeError(f"{args[0]} exited {proc.returncode}: {errors.strip() or text.strip()}")
    return proc.returncode, text


# ---------------------------------------------------------------- Wine prefixes


def wine_version():
    return run(["wine", "--version"])[1].strip()


BOOT_ATTEMPTS = 3


def _boot_template(want):
    """Boots a fresh prefix into TEMPLATE. Now and then a Wine process fails to start at
    all ("could not load kernel32.dll"), the more so on a busy machine, so a failed
    boot is tried again in a new folder."""
    for attempt in range(1, BOOT_ATTEMPTS + 1):
        work = Path(tempfile.mkdtemp(prefix="template-", dir=WINE_DIR))
        try:
            prefix = work / "prefix"
            env = wine_env(prefix, display=None, tmpdir=work)
            print(f"[vrtest] booting a Wine prefix ({want}) in {TEMPLATE}, once", file=sys.stderr)
            try:
                run(["wineboot", "-i"], env=env, timeout=600)
                for key, name, kind, data in TEMPLATE_REGISTRY:
                    run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"],
                        env=env)
                # Waiting for the server to go flushes the registry to disk.
                run(["wineserver", "-w"], env=env, timeout=120)
            except RuntimeError as failure:
                run(["wineserver", "-k"], env=env, check=False)
                run(["wineserver", "-w"], env=env, check=False)
                if attempt == BOOT_ATTEMPTS:
                    raise
                print(f"[vrtest] the boot failed, trying again: {failure}", file=sys.stderr)
                continue
            fonts = prefix / "drive_c" / "windows" / "Fonts"
            fonts.mkdir(parents=True, exist_ok=True)
            for font in sorted(WINE_FONTS.glob("*.ttf")):
                shutil.copy(font, fonts)
            # The socket-folder pointer would name our temporary folder.
            (prefix / "wineserver").unlink(missing_ok=True)
            (prefix / TEMPLATE_STAMP).write_text(want)
            prefix.rename(TEMPLATE)
            return
        finally:
            shutil.rmtree(work, ignore_errors=True)


def _template_lock():
    WINE_DIR.mkdir(parents=True, exist_ok=True)
    return open(WINE_DIR / "template.lock", "w")


def ensure_template():
    """Boots the template prefix once; later calls reuse it while Wine is unchanged."""
    with _template_lock() as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        want = f"{wine_version()} {TEMPLATE_VERSION}"
        stamp = TEMPLATE / TEMPLATE_STAMP
        if stamp.is_file() and stamp.read_text() == want:
            return TEMPLATE
        if TEMPLATE.exists():
            shutil.rmtree(TEMPLATE)
        _boot_template(want)
        return TEMPLATE


def copy_template(dest):
    template = ensure_template()
    # Held shared while copying: a suite that finds the template out of date and
    # boots it anew waits until no one is copying it.
    with _template_lock() as lock:
        fcntl.flock(lock, fcntl.LOCK_SH)
        # cp -a keeps the drive symlinks as links (z: points at /).
        run(["cp", "-a", template, dest], timeout=300)
    Path(dest, "wineserver").unlink(missing_ok=True)


# ---------------------------------------------------------------- pictures


class Picture:
    """An RGB picture, pixels as (r, g, b) tuples."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        # P6: magic, width, height, maxval, separated by whitespace and comments.
        fields, pos = [], 0
        while len(fields) < 4 and pos < len(blob):
            if blob[pos : pos + 1].isspace():
                pos += 1
            elif blob[pos : pos + 1] == b"#":
                end = blob.find(b"\n", pos)
                pos = len(blob) if end < 0 else end + 1
            else:
                start = pos
                while pos < len(blob) and not blob[pos : pos + 1].isspace():
                    pos += 1
                fields.append(blob[start:pos])
        if len(fields) < 4:
            raise ValueError("PPM header is truncated")
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("expected a binary 8-bit PPM")
        width, height = int(fields[1]), int(fields[2])
        data = blob[pos + 1 : pos + 1 + 3 * width * height]
        if len(data) != 3 * width * height:
            raise ValueError("PPM is truncated")
        return cls(width, height, data)

    def __getitem__(self, xy):
        x, y = xy
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel {xy} outside {self.width}x{self.height}")
        i = 3 * (y * self.width + x)
        return tuple(self.data[i : i + 3])

    def crop(self, left, top, width, height):
        """The part inside the rectangle; parts outside the picture are dropped."""
        x0, y0 = max(left, 0), max(top, 0)
        x1, y1 = min(left + width, self.width), min(top + height, self.height)
        rows = [self.data[3 * (y * self.width + x0) : 3 * (y * self.width + x1)]
                for y in range(y0, y1)]
        return Picture(max(x1 - x0, 0), max(y1 - y0, 0), b"".join(rows))

    def save_png(self, path):
        def chunk(kind, body):
            crc = struct.pack(">I", zlib.crc32(kind + body))
            return struct.pack(">I", len(body)) + kind + body + crc

        stride = 3 * self.width
        raw = b"".join(b"\0" + self.data[y * stride : (y + 1) * stride] for y in range(self.height))
        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        Path(path).write_bytes(png)


# ---------------------------------------------------------------- registry text


def parse_reg_query(text):
    """Values of the first key in `reg query` output: {name: (kind, value)}, in listed order.

    REG_DWORD values become unsigned ints, REG_SZ and REG_EXPAND_SZ strings, other
    kinds stay as printed.
    """
    values, in_key = {}, False
    for line in text.splitlines():
        line = line.rstrip("\r")
        if line.startswith("HKEY_"):
            if in_key:
                break  # a subkey listing follows
            in_key = True
            continue
        m = re.match(r"^    (.+?)    (REG_[A-Z_]+)(?:    (.*))?$", line)
        if not (in_key and m):
            continue
        name, kind, data = m.group(1), m.group(2), m.group(3) or ""
        if name == "(Default)":
            continue
        if kind == "REG_DWORD":
            values[name] = (kind, int(data, 16))
        else:
            values[name] = (kind, data)
    return values


def signed32(value):
    return value - (1 << 32) if value & 0x80000000 else value


# ---------------------------------------------------------------- windows


class XWindow:
    def __init__(self, session, wid):
        self.session, self.id = session, wid

    def geometry(self):
        """(left, top, width, height) in screen pixels."""
        out = self.session.x(["xwininfo", "-id", self.id])
        field = lambda label: int(re.search(rf"{label}:\s+(-?\d+)", out).group(1))
        return (
            field("Absolute upper-left X"),
            field("Absolute upper-left Y"),
            field("Width"),
            field("Height"),
        )

    def properties(self, *names):
        """{name: [values]} for the named X properties that are set."""
        out = self.session.x(["xprop", "-id", self.id, "-notype", *names], check=False)
        props = {}
        for line in out.splitlines():
            m = re.match(r"^(\w+)\s*=\s*(.*)$", line)
            if m:
                props[m.group(1)] = [v.strip() for v in m.group(2).split(",")]
        return props

    def picture(self):
        left, top, width, height = self.geometry()
        return self.session.screenshot().crop(left, top, width, height)

    def __repr__(self):
        return f"XWindow({self.id})"


_live_sessions = []


def _stop_on_signal(signum, frame):
    # Interrupted or timed out: stop what the open sessions started, then go.
    for proc in list(_running):
        proc.kill()
        proc.wait()
        _running.remove(proc)
    for session in list(_live_sessions):
        session.close()
    for path in _suite_tmp:
        shutil.rmtree(path, ignore_errors=True)
    print(f"\n[vrtest] stopped by signal {signum}", file=sys.stderr, flush=True)
    os._exit(128 + signum)


class Session:
    """One X server, one Wine prefix and at most one running exe."""

    def __init__(self, name):
        safe = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)[-60:]
        self.tmp = Path(tempfile.mkdtemp(prefix=f"{safe}-", dir=suite_tmp()))
        self.prefix = self.tmp / "prefix"
        self.xvfb = self.exe = self.tray = self.tray_panel = None
        self.exe_starts = 0
        self.wineserver_started = False
        self.last_screenshot = None
        if not _live_sessions:
            for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
                signal.signal(sig, _stop_on_signal)
        _live_sessions.append(self)
        try:
            copy_template(self.prefix)
            (self.tmp / "tmp").mkdir()
            self.display = self._start_xvfb()
            self.env = wine_env(self.prefix, self.display, self.tmp / "tmp")
            self.xenv = dict(os.environ, DISPLAY=self.display, TMPDIR=str(self.tmp / "tmp"))
            self.pointer_away()
            # One persistent server for the case: later wine calls start fast.
            self.wineserver_started = True  # even if the call below fails half-way
            run(["wineserver", "-p"], env=self.env)
        except BaseException:
            self.close()
            raise

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        try:
            with open(self.tmp / "xvfb.log", "wb") as xlog:
                self.xvfb = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                     f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=xlog, stderr=xlog,
                )
            os.close(write_fd)
            write_fd = None
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_fd], [], [], left)[0]:
                    raise TimeoutError("Xvfb did not report its display number")
                part = os.read(read_fd, 16)
                if not part:
                    raise RuntimeError("Xvfb exited: " + (self.tmp / "xvfb.log").read_text())
                number += part
            log("Xvfb pid", self.xvfb.pid, "display", number.strip().decode())
            return ":" + number.strip().decode()
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)

    # ------------------------------------------------------------ X helpers

    def x(self, args, check=True, timeout=30):
        return run(args, env=self.xenv, timeout=timeout, check=check)[1]

    def xdotool(self, *args):
        self.x(["xdotool", *[str(a) for a in args]])

    def screenshot(self):
        blob = subprocess.run(
            ["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
            env=self.xenv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, timeout=30, check=True,
        ).stdout
        self.last_screenshot = Picture.from_ppm(blob)
        return self.last_screenshot

    def visible_windows(self, name=TITLE):
        out = self.x(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(name)}$"],
                     check=False)
        return [XWindow(self, wid) for wid in out.split()]

    # ------------------------------------------------------------ the program

    def start(self, exe=EXE):
        if not Path(exe).is_file():
            raise FileNotFoundError(f"{exe} is missing: build it with `make windows`")
        self.exe_path = exe
        self.exe_log = open(self.tmp / "exe.log", "wb")
        self.exe = subprocess.Popen(wine_command(["wine", str(exe)]), env=self.env, cwd=self.tmp,
                                    stdin=subprocess.DEVNULL, stdout=self.exe_log,
                                    stderr=subprocess.STDOUT)
        self.exe_starts += 1
        log("exe pid", self.exe.pid)
        return self.exe

    def running(self):
        return self.exe is not None and self.exe.poll() is None

    def wait_window(self, timeout=60):
        """The program's one visible window, once it is mapped and painted."""

        def found():
            if not self.running():
                # Wine failing to start the program leaves no word in its log.
                silent = not (self.tmp / "exe.log").read_bytes().strip()
                if self.exe.returncode != 0 and silent and self.exe_starts < START_ATTEMPTS:
                    print(f"[vrtest] the program ended at once ({self.exe.returncode}), "
                          "starting it again", file=sys.stderr, flush=True)
                    self.exe_log.close()
                    self.start(self.exe_path)
                    return None
                raise AssertionError(
                    f"the program ended ({self.exe.returncode}) before showing a window")
            wins = self.visible_windows()
            return wins[0] if len(wins) == 1 else None

        win = wait_until(found, timeout, 0.2, "a visible window named " + TITLE)
        self.wait_painted(win)
        return win

    def wait_painted(self, win, timeout=20):
        """Waits until the window shows something other than black and holds still."""
        seen = []

        def settled():
            pic = win.picture()
            seen.append(pic.data)
            lit = pic.data.strip(b"\0") != b""
            return lit and len(seen) >= 3 and seen[-3] == seen[-2] == seen[-1]

        wait_until(settled, timeout, 0.2, f"{win} to be painted")

    def wait_geometry(self, win, expected, timeout=10):
        """Waits for the window to reach the geometry; returns the last one seen."""
        seen = [None]

        def reached():
            seen[0] = win.geometry()
            return seen[0] == tuple(expected)

        try:
            wait_until(reached, timeout, 0.1, f"{win} at {expected}")
        except TimeoutError:
            pass
        return seen[0]

    def drag(self, start, end, win, steps=8, button=1):
        """Presses at start, moves to end in steps and releases there, dragging win. Each
        step waits for the window to follow before the next, as a person watches it move;
        on a busy machine the program may handle a step late, never out of order."""
        (x0, y0), (x1, y1) = start, end
        left, top, width, height = win.geometry()
        self.xdotool("mousemove", x0, y0)
        self.xdotool("mousedown", button)
        for i in range(1, steps + 1):
            x, y = x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps
            self.xdotool("mousemove", x, y)
            self.wait_geometry(win, (left + x - x0, top + y - y0, width, height))
        self.xdotool("mouseup", button)

    def pointer_away(self):
        """Moves the pointer off every ruler: a case comparing pixels calls it after
        using the mouse on a ruler, and waits for the ruler to drop its hairline."""
        self.xdotool("mousemove", *POINTER_REST)

    def key(self, *keys):
        """Sends keys to whichever X window has the input focus."""
        self.xdotool("key", *keys)

    def activate(self, win):
        """Clicks win, held still, as a user does to give a window the keyboard, and waits
        until the program has made it the active window.

        With no window manager on the display, an icon docking in the notification area
        takes Wine's activation from the window that had it: after a dock that came once
        the program's window was up, the keys would reach no window.
        """
        left, top, width, height = win.geometry()
        self.xdotool("mousemove", left + width // 2, top + height // 2)
        self.xdotool("click", 1)

        def active():
            return any(w["active"] and w["visible"] and
                       (w["left"], w["top"], w["width"], w["height"]) == (left, top, width, height)
                       for w in self.driver_windows())

        wait_until(active, 15, 0.2, "the clicked window to be active")

    def press(self, win, *keys):
        """Sends keys to the program with X's input focus on win.

        Without a window manager nothing moves X's focus when the program activates
        a window, so do what a window manager would: focus the window the program
        made active. Wine hands keys to the window that has the Win32 focus, so
        X's focus only has to be on one of the program's windows.
        """
        self.xdotool("windowfocus", "--sync", win.id)
        self.key(*keys)

    def wait_exit(self, timeout=30):
        """The exe's exit code once it has ended; fails the test if it does not."""
        try:
            return self.exe.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program was still running {timeout} s later") from None

    # ------------------------------------------------------------ registry

    def reg_query(self, key=RULERS_KEY + "\\0"):
        """{name: (kind, value)} of the key's values, or None when the key is missing."""
        rc, out = run(["wine", "reg", "query", key], env=self.env, check=False)
        return parse_reg_query(out) if rc == 0 else None

    def reg_add(self, name, kind, data, key=RULERS_KEY + "\\0"):
        if kind == "REG_DWORD":
            data = int(data) & 0xFFFFFFFF
        run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"],
            env=self.env)

    def seed(self, values, ruler=0):
        """Stores values before start: int → REG_DWORD, str → REG_SZ, (kind, data) as given."""
        for name, value in values.items():
            if isinstance(value, tuple):
                kind, data = value
            elif isinstance(value, int):
                kind, data = "REG_DWORD", value
            else:
                kind, data = "REG_SZ", value
            self.reg_add(name, kind, data, key=f"{RULERS_KEY}\\{ruler}")

    # ------------------------------------------------------------ test driver

    def wine(self, exe, *args, timeout=60, check=True):
        """Runs one of the cross-built tools in this session's Wine; returns (exit code, output)."""
        if not Path(exe).is_file():
            raise FileNotFoundError(f"{exe} is missing: build it with `make windows`")
        return run(["wine", exe, *[str(a) for a in args]], env=self.env, cwd=self.tmp,
                   timeout=timeout, check=check)

    def driver(self, *args):
        """Runs the test driver in this session's Wine; returns its output."""
        return self.wine(DRIVER, *args)[1]

    def driver_windows(self):
        """Top-level Win32 windows as dicts, from the test driver."""
        out = self.driver("list")
        fields = ["hwnd", "class", "title", "visible", "left", "top", "width", "height",
                  "exstyle", "owner", "owner_exstyle", "foreground", "active", "focus"]
        windows = []
        for line in out.splitlines():
            parts = line.rstrip("\r").split("\t")
            if len(parts) != len(fields):
                continue
            w = dict(zip(fields, parts))
            for f in ("visible", "left", "top", "width", "height", "foreground", "active", "focus"):
                w[f] = int(w[f])
            for f in ("hwnd", "exstyle", "owner", "owner_exstyle"):
                w[f] = int(w[f], 16) if w[f] not in ("0", "") else 0
            windows.append(w)
        return windows

    def driver_controls(self, title):
        """The child controls of the visible window titled title, as dicts."""
        fields = ["hwnd", "class", "text", "check", "visible", "left", "top", "width", "height",
                  "id"]
        controls = []
        for line in self.driver("controls", title).splitlines():
            parts = line.rstrip("\r").split("\t")
            if len(parts) != len(fields):
                continue
            c = dict(zip(fields, parts))
            for f in fields[3:]:
                c[f] = int(c[f])
            controls.append(c)
        return controls

    def handles(self):
        """{kind: count} of the program's live handles, "total" included, and the system's
        gdi_objects and user_objects."""
        counts = {}
        for line in self.driver("handles").splitlines():
            name, _, value = line.strip().partition(" ")
            if value:
                counts[name] = int(value)
        return counts

    def popup_menus(self):
        """The open popup menus, as driver_windows dicts."""
        return [w for w in self.driver_windows() if w["class"] == "#32768" and w["visible"]]

    def wait_menu(self, timeout=10):
        """The one open popup menu, once it is there."""
        menus = lambda: (lambda m: m[0] if len(m) == 1 else None)(self.popup_menus())
        return wait_until(menus, timeout, 0.1, "a popup menu")

    def wait_no_menu(self, timeout=10):
        wait_until(lambda: not self.popup_menus(), timeout, 0.1, "the popup menu to close")

    def keep_screen(self, name):
        """Saves a screenshot in the suite's folder under build/native/e2e-screens for a
        person to look at; returns it."""
        SCREENS.mkdir(parents=True, exist_ok=True)
        pic = self.screenshot()
        pic.save_png(SCREENS / name)
        return pic

    # ------------------------------------------------------------ desktop

    def unmanaged_windows(self):
        """Before start: Wine manages the windows itself and draws their frames.

        Wine leaves managed windows to the window manager and, with none on the Xvfb, waits
        two seconds at every hide for one to answer; unmanaged windows go at once.
        """
        run(["wine", "reg", "add", X11_DRIVER_KEY, "/v", "Managed", "/d", "N", "/f"],
            env=self.env)

    def start_tray(self):
        """Starts a notification area on this display; returns its X window."""
        with open(self.tmp / "trayer.log", "wb") as tlog:
            self.tray = subprocess.Popen(TRAYER, env=self.xenv, stdin=subprocess.DEVNULL,
                                         stdout=tlog, stderr=tlog)
        log("trayer pid", self.tray.pid)

        def panel():
            if self.tray.poll() is not None:
                raise AssertionError("trayer ended: " + (self.tmp / "trayer.log").read_text())
            found = self.x(["xdotool", "search", "--name", "^panel$"], check=False).split()
            return XWindow(self, found[0]) if found else None

        self.tray_panel = wait_until(panel, 30, 0.2, "trayer's panel")
        return self.tray_panel

    def tray_icon(self, timeout=40):
        """The X window of the program's icon docked in the notification area.

        Wine docks an icon through its explorer, which can take ten seconds after start.
        """
        def docked():
            tree = self.x(["xwininfo", "-id", self.tray_panel.id, "-tree"], check=False)
            for line in tree.splitlines():
                m = re.match(r"\s+(0x[0-9a-f]+) .*\(\"explorer\.exe\"", line)
                if m:
                    icon = XWindow(self, m.group(1))
                    if min(icon.geometry()[2:]) > 1:
                        return icon
            return None

        return wait_until(docked, timeout, 0.25, "the tray icon to dock")

    # ------------------------------------------------------------ the end

    def keep(self, dest):
        """Keeps the last screenshot and the program's output for a failed case."""
        dest.mkdir(parents=True, exist_ok=True)
        if self.last_screenshot is not None:
            self.last_screenshot.save_png(dest / "screen.png")
        for name in ("exe.log", "xvfb.log", "trayer.log"):
            if (self.tmp / name).is_file():
                shutil.copy(self.tmp / name, dest / name)

    def close(self):
        """Stops what this session started, by pid or by this prefix alone; safe to repeat."""
        if self.exe is not None:
            _stop(self.exe, 5)
            self.exe_log.close()
            self.exe = None
        if self.tray is not None:
            _stop(self.tray, 5)
            self.tray = None
        if self.wineserver_started:
            # Ends every Wine process of this prefix only, then waits for the server.
            run(["wineserver", "-k"], env=self.env, check=False)
            run(["wineserver", "-w"], env=self.env, check=False)
            self.wineserver_started = False
        if self.xvfb is not None:
            _stop(self.xvfb, 10)
            self.xvfb = None
        shutil.rmtree(self.tmp, ignore_errors=True)
        if self in _live_sessions:
            _live_sessions.remove(self)


def _stop(proc, grace):
    """Ends a process this harness started: politely, then for sure."""
    if proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


class RulerTestCase(unittest.TestCase):
    """A case with its own session in self.s; a failed case keeps its screen under build/."""

    # About how long the case runs, in tens of seconds: ctest starts the longest first.
    COST = 1

    def setUp(self):
        self.s = Session(self.id())
        self.addCleanup(self._finish)

    def _finish(self):
        outcome = getattr(self, "_outcome", None)
        if outcome is not None and not getattr(outcome, "success", True):
            dest = ARTIFACTS / re.sub(r"[^A-Za-z0-9_.-]+", "_", self.id())
            self.s.keep(dest)
            print(f"\n[vrtest] kept the screen and logs of {self.id()} in {dest}", file=sys.stderr)
        self.s.close()

    def start_ruler(self, values=None):
        """Seeds ruler 0's values, starts the program and returns its painted window."""
        if values:
            self.s.seed(values)
        self.s.start()
        return self.s.wait_window()

    def clipboard(self):
        """What X's clipboard holds now."""
        return self.s.x(["xclip", "-o", "-selection", "clipboard"], check=False).strip()

    def copied(self, win, expected):
        """Ctrl+C on the ruler, then X's clipboard once it holds the expected text."""
        self.s.press(win, "ctrl+c")
        try:
            return wait_until(lambda: self.clipboard() == expected and expected, 10, 0.2,
                              f"{expected!r} on the clipboard")
        except TimeoutError:
            return self.clipboard()

    def close_ruler(self, win):
        """Alt+F4 on the ruler, as a user would; returns the exit code."""
        self.s.press(win, "alt+F4")
        return self.s.wait_exit()


def main():
    unittest.main(verbosity=2)


def list_cases(paths):
    """One line per test case of the suite files: suite, Class.method, cost.

    ctest runs each case as a test of its own, so that the cases of one suite run side by
    side as well.
    """
    import importlib.util

    sys.dont_write_bytecode = True
    sys.path.insert(0, str(Path(__file__).resolve().parent))
    for path in paths:
        path = Path(path)
        found = importlib.util.spec_from_file_location(path.stem, path)
        module = importlib.util.module_from_spec(found)
        found.loader.exec_module(module)

        def flat(suite):
            for item in suite:
                yield from flat(item) if isinstance(item, unittest.TestSuite) else [item]

        for case in flat(unittest.defaultTestLoader.loadTestsFromModule(module)):
            name = case.id().split(".", 1)[1]
            print(f"{path.stem}\t{name}\t{getattr(case, 'COST', 1)}")


if __name__ == "__main__":
    if sys.argv[1:] == ["template"]:
        print(ensure_template())
    elif len(sys.argv) >= 3 and sys.argv[1] == "cases":
        list_cases(sys.argv[2:])
    elif len(sys.argv) == 3 and sys.argv[1] == "prefix":
        dest = Path(sys.argv[2])
        if not dest.exists():
            copy_template(dest)
        elif not (dest / "system.reg").is_file():
            sys.exit(f"{dest} exists but is not a Wine prefix; move it away first")
        print(dest)
    else:
        sys.exit("usage: vrtest.py template | prefix DIR")
