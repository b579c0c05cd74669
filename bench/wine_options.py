"""How fast the Options window answers on the real exe under Wine. Figures only, no
assertions.

    python3 bench/wine_options.py      (VR_EXE, VR_DRIVER, VR_BUILD as for the e2e tests)

- Options shown: from the Enter that chooses "Options..." in a ruler's context menu to the
  window's pixels on the screen (its area equal, but for the caret's few pixels, to how it
  looks once settled). The first showing and the later ones are reported apart.
- Scale keystroke at 2048: with "2047" in the Scale box and its last digit selected, from
  the key "8" to the ruler's X window at its new width (2058), and to the ruler's band on
  the screen painted as it settles; and back with "7".

Keys go in through XTest and the screen is read through Xlib directly, so that the clock
starts when the key is on the X server and polling costs well under a millisecond.
"""

import ctypes
import ctypes.util
import statistics
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import vrtest  # noqa: E402

OPTIONS = "Vantori Rulers Options"
SHOWINGS = 8
KEYSTROKES = 10
ZPIXMAP, ALL_PLANES = 2, 0xFFFFFFFF


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class Display:
    """The few Xlib and XTest calls the measurements need."""

    def __init__(self, name):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.POINTER(XImage)
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.dpy = self.x.XOpenDisplay(name.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {name}")
        self.root = self.x.XDefaultRootWindow(self.dpy)

    def grab(self, left, top, width, height):
        """The rectangle's pixels as bytes (4 per pixel, rows packed)."""
        image = self.x.XGetImage(self.dpy, self.root, left, top, width, height, ALL_PLANES,
                                 ZPIXMAP)
        if not image:
            raise RuntimeError("XGetImage failed")
        img = image.contents
        base, row = ctypes.addressof(img.data.contents), 4 * img.width
        if img.bytes_per_line == row:
            data = ctypes.string_at(base, row * img.height)
        else:
            data = b"".join(ctypes.string_at(base + y * img.bytes_per_line, row)
                            for y in range(img.height))
        # XDestroyImage is a macro: free the pixels, then the structure.
        self.x.XFree(ctypes.cast(img.data, ctypes.c_void_p))
        self.x.XFree(ctypes.cast(image, ctypes.c_void_p))
        return data

    def size(self, window):
        root, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
        w, h, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        self.x.XGetGeometry(self.dpy, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                            ctypes.byref(w), ctypes.byref(h), ctypes.byref(border),
                            ctypes.byref(depth))
        return w.value, h.value

    def key(self, name):
        """Presses and releases a key; returns once the X server has both."""
        code = self.x.XKeysymToKeycode(self.dpy, self.x.XStringToKeysym(name.encode()))
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.x.XSync(self.dpy, 0)

    def close(self):
        self.x.XCloseDisplay(self.dpy)


def nearly_same(a, b, share=0.999):
    """Whether at most 1 - share of the pixels differ; gives up early on a far picture."""
    if a == b:
        return True
    allowed = int(len(a) // 4 * (1 - share))
    for i in range(0, len(a), 4):
        if a[i:i + 3] != b[i:i + 3]:
            allowed -= 1
            if allowed < 0:
                return False
    return True


def options_window(s):
    found = [w for w in s.driver_windows() if w["title"] == OPTIONS and w["visible"]]
    return found[0] if found else None


def time_showing(s, x, ruler_point):
    """Seconds from the Enter on "Options..." to the window drawn as it settles."""
    s.xdotool("mousemove", *ruler_point)
    s.xdotool("click", 3)
    s.wait_menu()
    s.key("Up", "Up", "Up")
    # The window opens where it was last (centred the first time): its place is known
    # only afterwards, so frames of the whole screen's middle are kept and judged later.
    area = (400, 150, 566, 468)
    frames = []
    start = time.monotonic()
    x.key("Return")
    while time.monotonic() - start < 1.5:
        frames.append((time.monotonic() - start, x.grab(*area)))
    w = vrtest.wait_until(lambda: options_window(s), 10, 0.05, "the Options window")
    time.sleep(0.5)
    settled = x.grab(*area)

    def window_part(frame):
        left, top = w["left"] - area[0], w["top"] - area[1]
        stride = 4 * area[2]
        rows = ((top + y) * stride for y in range(w["height"]))
        return b"".join(frame[r + 4 * left:r + 4 * (left + w["width"])] for r in rows)

    want = window_part(settled)
    for t, frame in frames:
        if nearly_same(window_part(frame), want):
            return t, w
    return None, w


def main():
    s = vrtest.Session("bench-options")
    x = None
    try:
        s.unmanaged_windows()
        s.start()
        win = s.wait_window()
        x = Display(s.display)

        shown = []
        for i in range(SHOWINGS):
            t, w = time_showing(s, x, (420, 380))
            shown.append(t)
            # Its close box hides it for the next round.
            s.xdotool("mousemove", w["left"] + w["width"] - 11, w["top"] + 11)
            s.xdotool("click", 1)
            vrtest.wait_until(lambda: not options_window(s), 10, 0.05, "the window to hide")
        later = [t for t in shown[1:] if t is not None]
        print(f"[wine] Options shown after the command: first {shown[0] * 1000:.0f} ms, later "
              f"median {statistics.median(later) * 1000:.0f} ms, worst {max(later) * 1000:.0f} ms "
              f"over {len(later)}", file=sys.stderr)

        # Scale at 2047/2048, the last digit retyped.
        _, w = time_showing(s, x, (420, 380))
        ruler = int(win.id)
        options = s.visible_windows(OPTIONS)[0]
        rows = s.driver("state", OPTIONS).splitlines()
        client = rows[0].split("\t")
        cl, ct = int(client[11]), int(client[12])
        s.xdotool("mousemove", cl + 108 + 12, ct + 120 + 10)  # the Scale box
        s.xdotool("click", 1)
        s.press(options, "End", "shift+Home", "2", "0", "4", "7")
        vrtest.wait_until(lambda: x.size(ruler)[0] == 2057, 10, 0.05, "Scale 2047")
        # The ruler's band across the screen shows its move by a pixel once it is painted.
        band = (0, 359, vrtest.SCREEN_W, 50)
        sized, painted = {"8": [], "7": []}, {"8": [], "7": []}
        for i in range(2 * KEYSTROKES):
            digit, width = ("8", 2058) if i % 2 == 0 else ("7", 2057)
            s.press(options, "shift+Left")
            time.sleep(0.2)  # the selection is no change: let it land before the clock starts
            frames = []
            start = time.monotonic()
            x.key(digit)
            while time.monotonic() - start < 0.3:
                frames.append((time.monotonic() - start, x.size(ruler)[0], x.grab(*band)))
            settled = x.grab(*band)
            sized[digit].append(next(t for t, w, _ in frames if w == width) * 1000)
            painted[digit].append(next(t for t, _, f in frames if f == settled) * 1000)
        for digit in sized:
            print(f"[wine] Scale keystroke to {2040 + int(digit)}: new width after median "
                  f"{statistics.median(sized[digit]):.1f} ms (worst {max(sized[digit]):.1f}), "
                  f"painted after median {statistics.median(painted[digit]):.1f} ms "
                  f"(worst {max(painted[digit]):.1f}) over {KEYSTROKES}", file=sys.stderr)
    finally:
        if x is not None:
            x.close()
        s.close()


if __name__ == "__main__":
    main()
