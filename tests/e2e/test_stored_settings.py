"""Starts from a seeded settings store: stored values, values of the wrong kind, and garbage."""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402


class StoredSettings(vrtest.RulerTestCase):
    def test_orientation_and_centre_are_used_and_kept(self):
        win = self.start_ruler({"Orientation": 1, "CenterPoint": "400,380"})
        # Top to bottom: 50 x 650 around (400, 380).
        self.assertEqual(win.geometry(), (375, 55, 50, 650))
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        stored = self.s.reg_query()
        self.assertEqual(stored["Orientation"], ("REG_DWORD", 1))
        self.assertEqual(stored["CenterPoint"], ("REG_SZ", "400,380"))

    def test_values_of_another_kind(self):
        win = self.start_ruler({
            "CenterPoint": ("REG_EXPAND_SZ", "400,380"),  # read like REG_SZ
            "Scale": ("REG_SZ", "800"),  # not a REG_DWORD: ruler 0 keeps its start 640
            "LeftMargin": ("REG_SZ", "5"),  # keeps the zero every field starts from
            "ShowTick10": 5,  # any non-zero integer is yes
            "Orientation": ("REG_BINARY", "01000000"),  # nor is this: stays 0
            "Extra": ("REG_SZ", "not ours"),
        })
        # Length 0 + 640 + 5 = 645, around (400, 380).
        self.assertEqual(win.geometry(), (78, 355, 645, 50))
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        stored = self.s.reg_query()
        expected = {
            "CenterPoint": ("REG_SZ", "400,380"),
            "Scale": ("REG_DWORD", 640),
            "LeftMargin": ("REG_DWORD", 0),
            "ShowTick10": ("REG_DWORD", 1),
            "Orientation": ("REG_DWORD", 0),
            "Extra": ("REG_SZ", "not ours"),  # a save leaves other values alone
        }
        self.assertEqual({name: stored.get(name) for name in expected}, expected)
        self.assertEqual(len(stored), 25)


# Out-of-range values must never stop the program from starting, showing a
# ruler and closing cleanly; negative sizes fall back to their defaults. name: (stored values, the window's (left, top,
# width, height) or None where any sound choice will do, values stored after
# the close).
UNUSUAL = {
    "scale_5000": ({"Scale": 5000}, (683 - 2505, 359, 5010, 50), {"Scale": ("REG_DWORD", 5000)}),
    # A breadth beyond 512 is read as 512 and stored so.
    "huge_breadth": ({"Breadth": 2000000000}, (358, 128, 650, 512),
                     {"Breadth": ("REG_DWORD", 512)}),
    "negative_breadth": ({"Breadth": -50}, (358, 359, 650, 50), {"Breadth": ("REG_DWORD", 50)}),
    "negative_scale": ({"Scale": -1000}, (358, 359, 650, 50), {"Scale": ("REG_DWORD", 640)}),
    "orientation_7": ({"Orientation": 7}, None, {}),
    "alpha_999": ({"AlphaBlendValue": 999}, None, {}),
    "huge_and_negative_sizes": (
        {"FontSize100": 100000, "FontSize50": -7, "TickSize100": -29, "TickSize10": 2000000000},
        (358, 359, 650, 50),
        {"FontSize100": ("REG_DWORD", 100000), "FontSize50": ("REG_DWORD", 7),
         "TickSize100": ("REG_DWORD", 29), "TickSize10": ("REG_DWORD", 2000000000)},
    ),
    "all_at_once": ({"Breadth": 2000000000, "Orientation": 7, "AlphaBlendValue": 999}, None, {}),
}


class UnusualValues(vrtest.RulerTestCase):
    def test_centre_beyond_any_screen(self):
        # The ruler comes back to the screen's bottom-left corner when shown; the
        # close comes as the WM_CLOSE that Alt+F4 turns into, and stores where it went.
        centre = "-2147483648,2147483647"
        self.s.seed({"CenterPoint": centre})
        self.s.start()
        def shown():
            return [w for w in self.s.driver_windows()
                    if w["class"] == vrtest.RULER_CLASS and w["visible"]]

        rulers = vrtest.wait_until(shown, 30, 0.5, "a visible ruler window")
        ruler = rulers[0]
        self.assertEqual((ruler["left"], ruler["width"], ruler["height"]), (0, 650, 50))
        # The bottom of the work area: the screen's, less any task bar.
        self.assertTrue(668 <= ruler["top"] <= 768 - 50, ruler)
        self.s.driver("close", vrtest.RULER_CLASS)
        self.assertEqual(self.s.wait_exit(), 0, "exit code")
        self.assertEqual(self.s.reg_query()["CenterPoint"],
                         ("REG_SZ", f"325,{ruler['top'] + 25}"))


def _unusual_case(values, geometry, stored):
    def test(self):
        win = self.start_ruler(values)
        if geometry is not None:
            self.assertEqual(win.geometry(), geometry)
        self.assertTrue(self.s.running())
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        after = self.s.reg_query()
        self.assertEqual(len(after), 24)
        self.assertEqual({name: after.get(name) for name in stored}, stored)

    return test


for _name, _case in UNUSUAL.items():
    setattr(UnusualValues, f"test_{_name}", _unusual_case(*_case))


if __name__ == "__main__":
    vrtest.main()
