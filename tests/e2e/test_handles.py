"""Long use leaves no handle behind: the tray menu and the About box opened and closed two
hundred times, and the tray picture changed two thousand times, end with the program's own
count of live handles where it started. The count must come back exactly, so a handle lost
once in two hundred rounds already fails; VR_LONG_USE=10 runs ten times as many rounds.

The count comes from the program's handle owners (its application window answers it); the
system's GDI and USER object counts are printed beside it for information (Wine keeps
none). Windows are unmanaged here, so that a hide does not wait for a window manager.
"""

import os
import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

LONG_USE = int(os.environ.get("VR_LONG_USE") or 1)
ABOUT_ROUNDS = 200 * LONG_USE
PICTURE_CHANGES = 2000 * LONG_USE


class Handles(vrtest.RulerTestCase):
    """Two cases, so that the two long runs go side by side; ctest starts them first."""

    COST = 10

    def settled_handles(self):
        """Starts the program with two rulers and settles it; the live handles then."""
        self.s.unmanaged_windows()
        win = self.start_ruler()
        # Two rulers, so that activating them in turn changes the tray picture each time.
        self.s.press(win, "F1")
        vrtest.wait_until(lambda: len(self.s.visible_windows()) == 2, 15, 0.2, "ruler 1")
        # Settled: the first activation, the Options window and the tray are made.
        self.s.wine(vrtest.DRIVER, "activate-cycle", 2)
        return self.s.handles()

    def test_tray_menus_and_about_boxes_leave_no_handles(self):
        before = self.settled_handles()
        _, out = self.s.wine(vrtest.DRIVER, "about-cycle", ABOUT_ROUNDS, timeout=900)
        self.assertIn(f"cycles {ABOUT_ROUNDS}", out)
        after = self.s.handles()
        print(f"\nlive handles before {before}\n  after the About boxes {after}", file=sys.stderr)
        self.assertGreater(before["total"], 0)
        self.assertEqual(after, before)
        self.assertTrue(self.s.running())

    def test_tray_pictures_leave_no_handles(self):
        before = self.settled_handles()
        _, out = self.s.wine(vrtest.DRIVER, "activate-cycle", PICTURE_CHANGES, timeout=900)
        self.assertIn(f"activations {PICTURE_CHANGES}", out)
        after = self.s.handles()
        print(f"\nlive handles before {before}\n  after the tray pictures {after}",
              file=sys.stderr)
        self.assertGreater(before["total"], 0)
        self.assertEqual(after, before)
        self.assertTrue(self.s.running())

if __name__ == "__main__":
    vrtest.main()
