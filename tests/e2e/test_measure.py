"""Reading a distance exactly on the real program: the pointer's hairline over ruler 0,
marks set by double-clicks, the measurement that Ctrl+C puts on the clipboard (read through
X's clipboard with xclip), and a ruler that looks exactly as before once the pointer and
the marks have gone. Which offset each pixel reads is proved by the unit tests; here the
real mouse, paint and clipboard."""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

LEFT, TOP, WIDTH, HEIGHT = 358, 359, 650, 50  # the default ruler around (683, 384)
LEFT_MARGIN, SCALE = 5, 640
MIDDLE_Y = TOP + HEIGHT // 2
MOUSE_KEY = r"HKEY_CURRENT_USER\Control Panel\Mouse"


def column(pic, x):
    return [pic[x, y] for y in range(pic.height)]


class Measure(vrtest.RulerTestCase):
    COST = 3

    def double_click(self, x, y):
        # One xdotool run: its two clicks reach X back to back, however busy the machine.
        self.s.xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)

    def test_hover_mark_copy_and_clear(self):
        win = self.start_ruler()
        self.assertEqual(win.geometry(), (LEFT, TOP, WIDTH, HEIGHT))
        clean = win.picture()

        # Over offset 200 the hairline crosses the whole breadth of column 205, in black
        # on the silver ruler; the columns beside it keep the ruler's own pixels.
        along = LEFT_MARGIN + 200
        self.s.xdotool("mousemove", LEFT + along, MIDDLE_Y)
        vrtest.wait_until(lambda: set(column(win.picture(), along)) == {(0, 0, 0)}, 10, 0.1,
                          "the hairline at offset 200")
        pic = win.picture()
        self.assertEqual(column(pic, along - 1), column(clean, along - 1))
        self.s.keep_screen("hover-200.png")

        # Two double-clicks set marks at offsets 100 and 345: Ctrl+C copies the one mark's
        # offset, then their distance.
        self.double_click(LEFT + LEFT_MARGIN + 100, MIDDLE_Y)
        self.assertEqual(self.copied(win, "100 px"), "100 px")
        self.double_click(LEFT + LEFT_MARGIN + 345, MIDDLE_Y)
        self.assertEqual(self.copied(win, "245 px"), "245 px")
        self.s.keep_screen("two-marks.png")
        # A double-click within 2 pixels of a mark takes it away: the one left is copied.
        self.double_click(LEFT + LEFT_MARGIN + 347, MIDDLE_Y)
        self.assertEqual(self.copied(win, "100 px"), "100 px")
        self.assertEqual(win.geometry(), (LEFT, TOP, WIDTH, HEIGHT), "a double-click moved it")

        # With the pointer gone and the marks cleared by Backspace, the ruler shows its
        # picture again, pixel for pixel: nothing was rendered anew.
        self.s.pointer_away()
        self.s.press(win, "BackSpace")
        vrtest.wait_until(lambda: win.picture().data == clean.data, 10, 0.2,
                          "the ruler's own picture")
        self.assertEqual(self.copied(win, "640 px"), "640 px")

    def test_bottom_to_top_reads_from_its_far_end(self):
        # Two presses count as a double-click for five seconds here, not half a second: on a
        # machine busy enough to hold X's events back, the system would otherwise see two
        # clicks where the user made one double-click.
        self.s.reg_add("DoubleClickSpeed", "REG_SZ", "5000", key=MOUSE_KEY)
        # Standing, reading upward: the zero tick is row 645, the scale's end row 5.
        win = self.start_ruler({"Orientation": 3})
        left, top, width, height = win.geometry()
        self.assertEqual((width, height), (HEIGHT, WIDTH))
        self.double_click(left + width // 2, top + LEFT_MARGIN + SCALE - 123)
        self.assertEqual(self.copied(win, "123 px"), "123 px")
        # The second press of a double-click marks offset 545 and still starts a drag,
        # which each step of the pointer carries on, as the user watches it follow.
        self.s.xdotool("mousemove", left + width // 2, top + 100, "click", 1, "mousedown", 1)
        for step in range(1, 5):
            self.s.xdotool("mousemove", left + width // 2 + 10 * step, top + 100)
            self.s.wait_geometry(win, (left + 10 * step, top, width, height))
        self.s.xdotool("mouseup", 1)
        self.assertEqual(self.s.wait_geometry(win, (left + 40, top, width, height)),
                         (left + 40, top, width, height))
        self.assertEqual(self.copied(win, "422 px"), "422 px")


if __name__ == "__main__":
    vrtest.main()
