"""The rulers on a real desktop: a function key shows a ruler in its own colour and gives it
the focus, hides it again and the focus goes back to a clicked ruler; F10 on the only
ruler leaves the keyboard working; the ruler brought forward shows above the others.
Which key does what to which slot, and where each slot starts, the unit tests prove.

Keys reach the program's foreground window. After a hide the program leaves the choice of
the next one to the system, so a test clicks the ruler it means to type into next, as a
user would.
"""

import sys

sys.dont_write_bytecode = True
import vrkeys  # noqa: E402
import vrtest  # noqa: E402
from vrkeys import SLOTS, moved, start_bounds  # noqa: E402


class RulerSwitching(vrkeys.KeysCase):
    def assert_body(self, slot, rect=None, timeout=5):
        """The on-screen part of the ruler's body shows the slot's colour."""
        _, orientation, _, rgb = SLOTS[slot]
        rect = rect or start_bounds(slot)
        wrong = [None]

        def painted():
            band = vrkeys.body_band(self.s.screenshot(), orientation, rect)
            wrong[0] = vrkeys.off_colour(band, rgb)
            return band and not wrong[0]

        try:
            vrtest.wait_until(painted, timeout, 0.2, f"ruler {slot}'s body")
        except TimeoutError:
            pass
        self.assertEqual(wrong[0][:5], [], f"{len(wrong[0])} pixels of ruler {slot} off {rgb}")

    def assert_on_top_at(self, xy, slot):
        """The screen at xy, inside the body bands of two crossing rulers, shows slot's."""
        rgb = SLOTS[slot][3]
        x, y = xy
        block = [None]

        def shows():
            pic = self.s.screenshot()
            block[0] = [pic[x + dx, y + dy] for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
            return not vrkeys.off_colour(block[0], rgb)

        try:
            vrtest.wait_until(shows, 5, 0.2, f"ruler {slot} on top at {xy}")
        except TimeoutError:
            pass
        self.assertEqual(vrkeys.off_colour(block[0], rgb), [], f"ruler {slot} is not on top")

    def assert_state(self, visible, foreground):
        """Waits for the rulers of these slots to be the visible ones, with foreground's the
        foreground window (None: any, as after a hide, where that is the system's choice);
        the X windows must agree about which are mapped."""
        def fronts(by_slot):
            return [n for n, r in by_slot.items() if r and r["foreground"]]

        def reached(by_slot):
            shown = {n for n, r in by_slot.items() if r and r["visible"]}
            return shown == set(visible) and foreground in (None, *fronts(by_slot))

        by_slot = self.settle(reached)
        self.assertEqual({n for n, r in by_slot.items() if r["visible"]}, set(visible), "visible")
        if foreground is not None:
            self.assertEqual(fronts(by_slot), [foreground], "foreground")
        # Without a window manager Wine waits two seconds for one before it unmaps.
        want = {by_slot[n]["x"] for n in visible}
        mapped = [None]

        def agrees():
            mapped[0] = {w.id for w in self.s.visible_windows()}
            return mapped[0] == want

        try:
            vrtest.wait_until(agrees, 10, 0.2, "the mapped X windows")
        except TimeoutError:
            pass
        self.assertEqual(mapped[0], want, "mapped X windows")

    def test_function_key_shows_focuses_and_hides_ruler_4(self):
        win0 = self.start_ruler()
        start0, start4 = start_bounds(0), start_bounds(4)

        self.type("F4")
        self.learn_slot(4)
        self.assert_state({0, 4}, 4)
        self.assertEqual(self.wait_xgeometry(4, start4), start4)
        self.assert_body(4)

        with self.subTest("arrows move ruler 4, not ruler 0"):
            self.type("Right")
            self.assertEqual(self.wait_xgeometry(4, moved(start4, 8, 0)), moved(start4, 8, 0))
            self.assertEqual(win0.geometry(), start0)

        with self.subTest("F4 on the focused ruler 4 hides it"):
            self.type("F4")
            self.assert_state({0}, None)

        with self.subTest("keys go to ruler 0 once it has the focus"):
            self.type("Down", click=0)
            self.assertEqual(self.s.wait_geometry(win0, moved(start0, 0, 8)), moved(start0, 0, 8))
            self.assertEqual(self.ruler(4)["rect"], moved(start4, 8, 0), "the hidden ruler moved")

        with self.subTest("F4 shows the same ruler 4 where it was"):
            self.type("F4")
            self.assert_state({0, 4}, 4)
            self.assertEqual(len(self.rulers()), 2, "a second ruler 4 was made")
            self.assertEqual(self.wait_xgeometry(4, moved(start4, 8, 0)), moved(start4, 8, 0))
            self.assert_body(4, moved(start4, 8, 0))

    def test_function_key_of_the_only_visible_ruler(self):
        win = self.start_ruler()
        at = start_bounds(0)
        # F10 is a system key: left to the system, it would enter the menu mode of a
        # window that has no menu and swallow the keys that follow. Each key that must
        # do nothing is followed by an arrow that shows it was handled.
        for keys in (("F10",), ("F10", "F10")):
            at = moved(at, 8, 0)
            with self.subTest(keys=keys):
                self.type(*keys, "Right")
                self.assertEqual(self.s.wait_geometry(win, at), at)
                self.assertEqual(len(self.rulers()), 1, "a ruler was made")
                self.assertEqual([w.id for w in self.s.visible_windows()], [win.id])

    def test_a_ruler_brought_forward_shows_above_the_others(self):
        self.start_ruler()
        # Ruler 5 (bottom to top) crosses ruler 2 (right to left) and ruler 0 (left to
        # right) where all three show plain body: the one raised last shows there.
        over_2, over_0 = (758 + 45, 259 + 4), (758 + 45, 359 + 45)
        steps = [
            ("F5", [(over_0, 5)]),  # made and shown on top
            ("F2", [(over_2, 2)]),
            ("F5", [(over_2, 5)]),  # brought forward
            ("F10", [(over_0, 0)]),
            ("F2", [(over_2, 2)]),
        ]
        for key, on_top in steps:
            with self.subTest(key=key):
                self.type(key)
                slot = 0 if key == "F10" else int(key[1:])
                if slot not in self.handles:
                    self.learn_slot(slot)
                self.settle(lambda r, n=slot: r[n]["foreground"])
                for point, top in on_top:
                    self.assert_on_top_at(point, top)


if __name__ == "__main__":
    vrtest.main()
