"""Long use leaves no handle behind: the tray menu and the About box opened and closed a
thousand times, and the tray picture changed ten thousand times, end with the program's own
count of live handles where it started.

The count comes from the program's handle owners (its application window answers it); the
system's GDI and USER object counts are printed beside it for information (Wine keeps
none). Windows are unmanaged here, so that a hide does not wait for a window manager.
"""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

ABOUT_ROUNDS = 1000
PICTURE_CHANGES = 10000


class Handles(vrtest.RulerTestCase):
    def test_menus_about_boxes_and_tray_pictures_leave_no_handles(self):
        self.s.unmanaged_windows()
        win = self.start_ruler()
        # Two rulers, so that activating them in turn changes the tray picture each time.
        self.s.press(win, "F1")
        vrtest.wait_until(lambda: len(self.s.visible_windows()) == 2, 15, 0.2, "ruler 1")
        # Settled: the first activation, the Options window and the tray are made.
        self.s.wine(vrtest.DRIVER, "activate-cycle", 2)
        before = self.s.handles()

        _, out = self.s.wine(vrtest.DRIVER, "about-cycle", ABOUT_ROUNDS, timeout=900)
        self.assertIn(f"cycles {ABOUT_ROUNDS}", out)
        after_about = self.s.handles()
        _, out = self.s.wine(vrtest.DRIVER, "activate-cycle", PICTURE_CHANGES, timeout=900)
        self.assertIn(f"activations {PICTURE_CHANGES}", out)
        after = self.s.handles()

        print(f"\nlive handles before {before}\n  after the About boxes {after_about}\n"
              f"  after the tray pictures {after}", file=sys.stderr)
        self.assertGreater(before["total"], 0)
        self.assertEqual(after_about, before)
        self.assertEqual(after, before)
        self.assertTrue(self.s.running())


if __name__ == "__main__":
    vrtest.main()
