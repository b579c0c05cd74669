"""Moving a ruler with the mouse, which never renders it anew, and closing it with Alt+F4:
what is stored then."""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

# All 24 values a close writes, with the kinds and defaults of a first run on 1366x768.
DEFAULTS = {
    "CenterPoint": ("REG_SZ", "683,384"),
    "Scale": ("REG_DWORD", 640),
    "LeftMargin": ("REG_DWORD", 5),
    "RightMargin": ("REG_DWORD", 5),
    "Breadth": ("REG_DWORD", 50),
    "Orientation": ("REG_DWORD", 0),
    "Luminosity": ("REG_DWORD", 0),
    "AlphaBlendValue": ("REG_DWORD", 192),
    "ShowTick100": ("REG_DWORD", 1),
    "TickSize100": ("REG_DWORD", 29),
    "ShowNumber100": ("REG_DWORD", 1),
    "FontSize100": ("REG_DWORD", 7),
    "ShowTick50": ("REG_DWORD", 1),
    "TickSize50": ("REG_DWORD", 19),
    "ShowNumber50": ("REG_DWORD", 1),
    "FontSize50": ("REG_DWORD", 7),
    "ShowTick10": ("REG_DWORD", 1),
    "TickSize10": ("REG_DWORD", 17),
    "ShowNumber10": ("REG_DWORD", 1),
    "FontSize10": ("REG_DWORD", 7),
    "ShowTick5": ("REG_DWORD", 1),
    "TickSize5": ("REG_DWORD", 12),
    "ShowNumber5": ("REG_DWORD", 0),
    "FontSize5": ("REG_DWORD", 6),
}


class DragAndClose(vrtest.RulerTestCase):
    def test_close_writes_all_values(self):
        win = self.start_ruler()
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        # Wine's registry lists values sorted by name, so the order they were
        # written in can't be seen from here; names, kinds and values can.
        self.assertEqual(self.s.reg_query(), DEFAULTS)

    def test_left_drag_moves_by_the_cursor_motion(self):
        win = self.start_ruler()
        before = win.picture()
        # (press, release, window afterwards): the press point need not be the centre.
        drags = [
            ((700, 390), (800, 500), (458, 469, 650, 50)),
            ((800, 500), (500, 300), (158, 269, 650, 50)),
            ((200, 280), (150, 720), (108, 709, 650, 50)),  # partly below the screen's edge
        ]
        for press, release, expected in drags:
            with self.subTest(press=press, release=release):
                self.s.drag(press, release, win)
                self.assertEqual(self.s.wait_geometry(win, expected), expected)
                if expected[1] + expected[3] <= vrtest.SCREEN_H:
                    # Moving never renders: a new picture would have a new speckle. With
                    # the pointer gone, the ruler shows its picture alone again.
                    self.s.pointer_away()
                    try:
                        vrtest.wait_until(lambda: win.picture().data == before.data, 10, 0.2,
                                          "the ruler's own picture")
                    except TimeoutError:
                        pass
                    self.assertEqual(win.picture().data, before.data, "the move rendered")
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        # The centre moved with the window: (683, 384) + (100, 110) + (-300, -200) + (-50, 440).
        self.assertEqual(self.s.reg_query()["CenterPoint"], ("REG_SZ", "433,734"))


if __name__ == "__main__":
    vrtest.main()
