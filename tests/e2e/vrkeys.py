"""Helpers for the ruler tests and the key benchmarks: where each slot's ruler starts, what
its body looks like, and a case that knows which window is which ruler.

The keys driver (vr_keydriver.exe) tells each ruler's Win32 handle, its X window, whether
it is visible and whether it is the foreground window. A ruler's slot is learnt from the
handle that appears when its function key first shows it, so a ruler is still known after
it has moved or turned.
"""

import os
import sys
from pathlib import Path

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

KEYDRIVER = Path(os.environ.get("VR_KEYDRIVER") or vrtest.DRIVER.parent / "vr_keydriver.exe")

CX, CY = vrtest.SCREEN_W // 2, vrtest.SCREEN_H // 2
MARGINS, BREADTH = 10, 50  # left + right margin, and the breadth every slot starts with
LTR, TTB, RTL, BTT = range(4)

# slot: (Scale, Orientation, centre offset, body colour as on screen)
SLOTS = {
    0: (640, LTR, (0, 0), (0xC0, 0xC0, 0xC0)),
    1: (640, TTB, (-320, 0), (0xF0, 0x00, 0x00)),
    2: (800, RTL, (0, -100), (0x00, 0x80, 0x00)),
    3: (800, LTR, (0, 100), (0x00, 0x00, 0xF0)),
    4: (800, TTB, (-100, 0), (0xFF, 0x80, 0x40)),
    5: (800, BTT, (100, 0), (0xFF, 0x00, 0xFF)),
    6: (1024, RTL, (0, -200), (0x00, 0xF0, 0x00)),
    7: (1024, LTR, (0, 200), (0x00, 0xFF, 0xFF)),
    8: (1024, TTB, (-200, 0), (0xFF, 0xFF, 0x00)),
    9: (1024, BTT, (200, 0), (0x0F, 0x0F, 0x0F)),
}

# Virtual-key codes, for keys posted by the driver.
VK_TAB, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_ADD, VK_SUBTRACT = 9, 37, 38, 39, 40, 107, 109


def bounds(scale, orientation, centre, margins=MARGINS, breadth=BREADTH):
    """(left, top, width, height) of a ruler laid out around its centre."""
    along = margins + scale
    width, height = (along, breadth) if orientation in (LTR, RTL) else (breadth, along)
    return (centre[0] - width // 2, centre[1] - height // 2, width, height)


def start_centre(slot):
    dx, dy = SLOTS[slot][2]
    return (CX + dx, CY + dy)


def start_bounds(slot):
    scale, orientation, _, _ = SLOTS[slot]
    return bounds(scale, orientation, start_centre(slot))


def moved(rect, dx, dy):
    left, top, width, height = rect
    return (left + dx, top + dy, width, height)


def speckle_range(channel):
    """The body speckle mixes a channel up to 3% toward black and toward white."""
    return range(int(channel * 0.97) - 1, int(channel + (255 - channel) * 0.03) + 2)


def body_band(pic, orientation, rect):
    """Pixels of the strip 43..47 pixels in from the tick edge, clear of ticks and numbers,
    limited to the part of the window that is on the screen. pic is the whole screen."""
    left, top, width, height = rect
    length = max(width, height)
    points = []
    for along in range(2, length - 2):
        for depth in range(43, 48):
            x, y = {
                LTR: (along, depth),
                TTB: (BREADTH - 1 - depth, along),
                RTL: (along, BREADTH - 1 - depth),
                BTT: (depth, along),
            }[orientation]
            sx, sy = left + x, top + y
            if 0 <= sx < pic.width and 0 <= sy < pic.height:
                points.append(pic[sx, sy])
    return points


def off_colour(pixels, rgb):
    """The pixels outside the speckle around rgb."""
    ranges = [speckle_range(c) for c in rgb]
    return [p for p in pixels if any(v not in r for v, r in zip(p, ranges))]


class KeysCase(vrtest.RulerTestCase):
    """A case that tells the rulers apart by slot."""

    def start_ruler(self, values=None):
        win = super().start_ruler(values)
        self.handles = {}
        self.learn_slot(0)
        return win

    # ------------------------------------------------------------ the driver

    def keydriver(self, *args, timeout=120):
        # The driver always prints what it found; an exit code without a word is
        # Wine failing to start it, now and then on a loaded machine: try again.
        for _ in range(3):
            rc, out = self.s.wine(KEYDRIVER, *args, timeout=timeout, check=False)
            if rc == 0 or out.strip():
                break
        return rc, out

    def rulers(self):
        """{hwnd: dict(x, visible, foreground, rect)} of every ruler window."""
        rc, out = self.keydriver("rulers")
        self.assertEqual(rc, 0, out)
        found = {}
        for line in out.splitlines():
            f = line.strip().split("\t")
            if len(f) == 8:
                found[f[0]] = dict(x=str(int(f[1], 16)), visible=f[2] == "1",
                                   foreground=f[3] == "1", rect=tuple(int(v) for v in f[4:]))
        return found

    def learn_slot(self, slot, timeout=10):
        """Names the one ruler window not known yet as slot's."""
        def new_one():
            fresh = [h for h in self.rulers() if h not in self.handles.values()]
            return fresh if len(fresh) == 1 else None

        self.handles[slot] = vrtest.wait_until(new_one, timeout, 0.2, f"ruler {slot}'s window")[0]

    def ruler(self, slot):
        return self.rulers()[self.handles[slot]]

    def xwin(self, slot):
        return vrtest.XWindow(self.s, self.ruler(slot)["x"])

    def foreground_slot(self):
        on_top = [n for n, h in self.handles.items() if self.rulers()[h]["foreground"]]
        return on_top[0] if on_top else None

    def settle(self, predicate, timeout=10, what="the rulers to settle"):
        """Polls the rulers until predicate(rulers by slot) holds; returns them."""
        seen = [None]

        def check():
            everything = self.rulers()
            seen[0] = {n: everything.get(h) for n, h in self.handles.items()}
            return predicate(seen[0])

        try:
            vrtest.wait_until(check, timeout, 0.1, what)
        except TimeoutError:
            pass
        return seen[0]

    # ------------------------------------------------------------ keys

    def type(self, *keys, click=None):
        """Types keys as a user would, after clicking the ruler of slot `click` to give it
        the focus. Wine hands keys to the program's foreground window whichever X window
        has X's focus; X's focus goes to that window all the same, as a window manager
        would put it, so that no key is lost to a window that was just unmapped."""
        if click is not None:
            self.click(click)
        front = self.foreground_slot()
        if front is not None:
            state = self.ruler(front)
            if state["visible"]:
                self.s.xdotool("windowfocus", "--sync", state["x"])
        self.s.key(*keys)

    def click(self, slot, xy=None):
        """Clicks the ruler of slot and waits for the program to make it the foreground
        window. By default the click goes a quarter of the way along the ruler's part on
        the screen, clear of where the start places of the slots cross."""
        if xy is None:
            left, top, width, height = self.ruler(slot)["rect"]
            x0, y0 = max(left, 0), max(top, 0)
            x1 = min(left + width, vrtest.SCREEN_W)
            y1 = min(top + height, vrtest.SCREEN_H)
            xy = (x0 + (x1 - x0) // 4, y0 + (y1 - y0) // 2) if width > height else \
                ((x0 + x1) // 2, y0 + (y1 - y0) // 4)
        self.s.xdotool("mousemove", *xy, "click", "1")
        by_slot = self.settle(lambda r: r[slot]["foreground"], what=f"ruler {slot} in front")
        self.assertTrue(by_slot[slot]["foreground"], f"a click on ruler {slot} did not focus it")
        # Off the ruler again, so that its body shows no hairline in a screenshot.
        self.s.pointer_away()

    def post(self, expected, *keys):
        """Posts key-downs to the foreground ruler; the microseconds until its window
        reached the expected rectangle."""
        rc, out = self.keydriver("post", *expected, *keys)
        fields = out.strip().split("\t")
        self.assertEqual(rc, 0, f"window never reached {expected}: {out.strip()}")
        return int(fields[fields.index("landed_us") + 1])

    def wait_xgeometry(self, slot, expected, timeout=10):
        return self.s.wait_geometry(self.xwin(slot), expected, timeout)
