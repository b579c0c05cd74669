"""Nothing a user set is lost: three rulers changed are all stored when the tray's Close
ends the program, and when the session ends (`wineboot --end-session` sends the program
the query and end notices of a log-off); and a second start sends the user to the running
program, showing its ruler 0 again, and ends at once with code 0.

Which rulers are stored in which order, and the session's end while a dialog or a menu is
open, are proved by the unit tests; here the real registry, session and process.
"""

import sys

sys.dont_write_bytecode = True
import vrkeys  # noqa: E402
import vrtest  # noqa: E402

VK_UP, VK_RETURN = 38, 13


class Ending(vrkeys.KeysCase):
    COST = 3

    def change_three_rulers(self):
        """Moves rulers 0, 1 and 2 with the arrow keys and hides ruler 2 again; returns the
        CenterPoint each must be stored with."""
        self.start_ruler()
        stored = {}
        for slot, key, (dx, dy) in ((0, "Right", (8, 0)), (1, "Down", (0, 8)),
                                    (2, "Left", (-8, 0))):
            if slot:
                self.type(f"F{slot}")
                self.learn_slot(slot)
                self.settle(lambda r, s=slot: r[s]["foreground"], what=f"ruler {slot} in front")
            self.type(key)
            rect = vrkeys.moved(vrkeys.start_bounds(slot), dx, dy)
            self.assertEqual(self.wait_xgeometry(slot, rect), rect)
            x, y = vrkeys.start_centre(slot)
            stored[slot] = f"{x + dx},{y + dy}"
        self.type("F2")  # the focused ruler's own key hides it
        self.settle(lambda r: not r[2]["visible"], what="ruler 2 to hide")
        return stored

    def assert_stored(self, stored):
        for slot, centre in stored.items():
            values = self.s.reg_query(f"{vrtest.RULERS_KEY}\\{slot}")
            self.assertIsNotNone(values, f"ruler {slot} was not stored")
            self.assertEqual(len(values), 24, sorted(values))
            self.assertEqual(values["CenterPoint"], ("REG_SZ", centre), f"ruler {slot}")
        self.assertIsNone(self.s.reg_query(f"{vrtest.RULERS_KEY}\\3"), "ruler 3 was never made")

    def test_the_trays_close_stores_every_ruler(self):
        stored = self.change_three_rulers()
        self.s.driver("tray-rclick")
        self.s.wait_menu()
        self.s.driver("keys", "#32768", VK_UP, VK_RETURN)  # Close, the last item
        self.assertEqual(self.s.wait_exit(), 0)
        self.assert_stored(stored)

    def test_the_sessions_end_stores_every_ruler_and_ends_the_program(self):
        stored = self.change_three_rulers()
        rc, out = vrtest.run(["wineboot", "--end-session"], env=self.s.env, check=False,
                             timeout=120)
        self.assertEqual(rc, 0, out)
        self.assertEqual(self.s.wait_exit(), 0)
        self.assertEqual([w for w in self.s.driver_windows() if w["class"] == "#32770"], [],
                         "no box was left waiting")
        self.assert_stored(stored)

    def test_a_second_start_shows_the_running_programs_ruler_0_and_ends(self):
        win = self.start_ruler()
        self.s.press(win, "Escape")  # Esc hides even the last ruler
        vrtest.wait_until(lambda: not self.s.visible_windows(), 15, 0.2, "ruler 0 to hide")
        rc, out = self.s.wine(vrtest.EXE, check=False)
        self.assertEqual((rc, out.strip()), (0, ""), "the second start's exit code")
        shown = vrtest.wait_until(lambda: self.s.visible_windows() or None, 15, 0.2,
                                  "ruler 0 to come back")
        self.assertEqual(len(shown), 1)
        self.assertEqual(shown[0].geometry(), (358, 359, 650, 50))
        self.assertTrue(self.s.running(), "the first program runs on")
        apps = [w for w in self.s.driver_windows() if w["class"] == "TVantoriApplication"]
        self.assertEqual(len(apps), 1, "one program")
        self.assertIsNone(self.s.reg_query(), "nothing written")


if __name__ == "__main__":
    vrtest.main()
