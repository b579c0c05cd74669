"""Measuring in real units on the real program: U steps ruler 0 through its units, Ctrl+K
calibrates the screen from two marks 300 pixels apart as 100 mm, Ctrl+C copies in each unit,
the ruler's picture in mm has a tick every 3 pixels, a restart keeps the calibration and the
unit, and Ctrl+L gives ruler 0 a unit of its own (4 m over 250 pixels) while ruler 1 reads
px. Then the ticks of a millimetre ruler at Wine's 96 dots per inch in all four orientations.

Which tick stands where and how each length reads are proved by the unit tests; here the real
keys, dialogs, clipboard, registry and pictures.
"""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

LEFT, TOP, WIDTH, HEIGHT = 358, 359, 650, 50  # the default ruler around (683, 384)
MARGIN, SCALE = 5, 640
MIDDLE_Y = TOP + HEIGHT // 2
CALIBRATE, OWN_UNIT = "Calibrate the Screen", "Ruler's Own Unit"
DARK = 0x80  # ticks are near the font's black; the silver body is lighter


def dark(rgb):
    return max(rgb) < DARK


class Units(vrtest.RulerTestCase):
    COST = 4

    def mark(self, win, offset, expected):
        """A double-click at the offset along ruler 0, lying left to right; waits until
        Ctrl+C copies what the marks now measure."""
        self.s.xdotool("mousemove", LEFT + MARGIN + offset, MIDDLE_Y, "click", "--repeat", 2,
                       "--delay", 80, 1)
        self.assertEqual(self.copied(win, expected), expected)

    def answer(self, title, typed):
        """Types the length into the dialog the key opened, and Enter; waits for it to go."""
        dialog = vrtest.wait_until(lambda: (self.s.visible_windows(title) or [None])[0], 20, 0.2,
                                   f"the dialog {title!r}")
        self.s.xdotool("windowfocus", "--sync", dialog.id)
        self.s.xdotool("type", "--delay", 30, typed)
        self.s.key("Return")
        vrtest.wait_until(lambda: not self.s.visible_windows(title), 20, 0.2,
                          f"the dialog {title!r} to close")

    def unit_step(self, win, expected):
        """U, and what Ctrl+C copies then."""
        self.s.press(win, "u")
        self.assertEqual(self.copied(win, expected), expected)

    def ticks_along(self, win, place, offsets):
        """Whether each offset along the ruler shows a tick, `place` mapping an offset
        to a pixel of the ruler's own picture."""
        pic = win.picture()
        return [dark(pic[place(offset)]) for offset in offsets]

    def test_calibrate_step_through_units_restart_and_an_own_unit(self):
        win = self.start_ruler()
        self.mark(win, 100, "100 px")
        self.mark(win, 400, "300 px")
        self.unit_step(win, "79.4 mm")  # at Wine's 96 per inch
        self.s.press(win, "ctrl+k")
        self.answer(CALIBRATE, "100 mm")
        self.assertEqual(self.copied(win, "100.0 mm"), "100.0 mm")
        for expected in ("10.00 cm", "3.94 in", "283.5 pt", "300 px"):
            with self.subTest(expected):
                self.unit_step(win, expected)

        # Back in mm: a tick every 3 pixels before the first mark, none between.
        self.unit_step(win, "100.0 mm")
        self.s.pointer_away()
        row = 8  # across every level's tick, below the bevel
        place = lambda offset: (MARGIN + offset, row)  # noqa: E731
        ticks = [3 * k for k in range(1, 30)]
        vrtest.wait_until(lambda: all(self.ticks_along(win, place, ticks)), 10, 0.2,
                          "a tick every 3 pixels")
        gaps = [3 * k + d for k in range(1, 30) for d in (1, 2)]
        self.assertFalse(any(self.ticks_along(win, place, gaps)), "ticks between the millimetres")
        self.s.keep_screen("mm-calibrated.png")

        # The calibration and the unit hold in the next run.
        self.assertEqual(self.close_ruler(win), 0)
        self.assertEqual(self.s.reg_query()["Unit"], ("REG_DWORD", 1))
        win = self.start_ruler()
        self.assertEqual(self.copied(win, "213.3 mm"), "213.3 mm")  # the scale, 640 pixels

        # A unit of ruler 0's own, from marks 250 pixels apart; ruler 1 still reads px.
        self.mark(win, 100, "33.3 mm")
        self.mark(win, 350, "83.3 mm")
        self.s.press(win, "ctrl+l")
        self.answer(OWN_UNIT, "4 m")
        self.assertEqual(self.copied(win, "4.00 m"), "4.00 m")
        self.s.press(win, "F1")
        ruler1 = vrtest.wait_until(
            lambda: next((w for w in self.s.visible_windows() if w.id != win.id), None), 20, 0.2,
            "ruler 1")
        self.assertEqual(self.copied(ruler1, "640 px"), "640 px")

    def test_millimetres_in_all_four_orientations(self):
        win = self.start_ruler({"Unit": 1})
        self.s.pointer_away()
        # Where a tick at an offset shows in each orientation's picture: ticks hang from
        # the top edge, then the right, rise from the bottom, then stand on the left.
        places = [
            lambda off, w, h: (MARGIN + off, 8),
            lambda off, w, h: (w - 1 - 8, MARGIN + off),
            lambda off, w, h: (MARGIN + SCALE - off, h - 1 - 8),
            lambda off, w, h: (8, MARGIN + SCALE - off),
        ]
        per_mm = 96 / 25.4
        ticks = [round(k * per_mm + 1e-9) for k in range(1, 40)]
        gaps = [round((k + 0.5) * per_mm) for k in range(1, 40)]
        for orientation, place in enumerate(places):
            with self.subTest(orientation=orientation):
                if orientation:
                    self.s.press(win, "Tab")
                _, _, w, h = self.s.wait_geometry(
                    win, (LEFT, TOP, WIDTH, HEIGHT) if orientation % 2 == 0 else
                    (683 - HEIGHT // 2, 384 - WIDTH // 2, HEIGHT, WIDTH))
                at = lambda off: place(off, w, h)  # noqa: E731
                vrtest.wait_until(lambda: all(self.ticks_along(win, at, ticks)), 10, 0.2,
                                  "a tick at every millimetre")
                self.assertFalse(any(self.ticks_along(win, at, gaps)), "a tick between")


if __name__ == "__main__":
    vrtest.main()
