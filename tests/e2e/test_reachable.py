"""A ruler off every screen, stored so or left so by a change of monitors, comes back onto the
screen, where it can be seen, clicked and closed."""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

# name: (stored "CenterPoint", the window's (left, top, width, height) once shown,
# "CenterPoint" after Alt+F4). Rulers are 650 x 50 on a 1366 x 768 screen. Which stored
# centres come back where, the unit tests prove; this one goes through the real registry,
# monitors and window.
CASES = {
    "at_the_32_bit_limit": ("-2147483648,-2147483648", (0, 0, 650, 50), "325,25"),
}

APP_CLASS = "TVantoriApplication"


class Reachable(vrtest.RulerTestCase):
    def test_display_change_brings_back_a_ruler_moved_off_the_screen(self):
        win = self.start_ruler()
        # 32 steps of 32 pixels: centre 683 + 1024, so the window starts right of 1366.
        self.s.press(win, *["ctrl+Right"] * 32)
        self.assertEqual(self.s.wait_geometry(win, (1382, 359, 650, 50)), (1382, 359, 650, 50))
        self.s.driver("displaychange", APP_CLASS)
        self.assertEqual(self.s.wait_geometry(win, (716, 359, 650, 50)), (716, 359, 650, 50))
        # Off the screen it lost the focus; back on it, a click gives it the focus again.
        self.s.xdotool("mousemove", 1000, 384)
        self.s.xdotool("click", 1)

        def focused():
            return any(w["class"] == vrtest.RULER_CLASS and w["focus"]
                       for w in self.s.driver_windows())

        vrtest.wait_until(focused, 10, 0.2, "the clicked ruler to have the focus")
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        self.assertEqual(self.s.reg_query()["CenterPoint"], ("REG_SZ", "1041,384"))


def _case(stored, geometry, saved):
    def test(self):
        win = self.start_ruler({"CenterPoint": stored})
        self.assertEqual(self.s.wait_geometry(win, geometry), geometry)
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        self.assertEqual(self.s.reg_query()["CenterPoint"], ("REG_SZ", saved))

    return test


for _name, _case_values in CASES.items():
    setattr(Reachable, f"test_{_name}", _case(*_case_values))


if __name__ == "__main__":
    vrtest.main()
