"""Starts from stored values far beyond what a ruler can show: the real window, its opacity
and the registry under Wine. How each value is read, refused or kept, and where a ruler
stored off every screen comes back, the unit tests prove value by value.
"""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

# A length beyond the screen, a breadth no window can have, an orientation and an opacity
# out of their ranges, and sizes huge and negative.
EXTREME = {"Scale": 5000, "Breadth": 2000000000, "Orientation": 7, "AlphaBlendValue": 999,
           "FontSize100": 100000, "FontSize50": -7, "TickSize100": -29,
           "TickSize10": 2000000000}


class StoredSettings(vrtest.RulerTestCase):
    def test_extreme_values_start_show_and_close_cleanly(self):
        win = self.start_ruler(EXTREME)
        # 5 + 5000 + 5 long, left to right, as broad as a ruler can be, around (683, 384).
        self.assertEqual(win.geometry(), (683 - 2505, 384 - 256, 5010, 512))
        self.assertEqual(win.properties("_NET_WM_WINDOW_OPACITY").get("_NET_WM_WINDOW_OPACITY"),
                         [str(0xC0C0C0C0)], "the opacity of 999 is refused")
        self.assertTrue(self.s.running())
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        after = self.s.reg_query()
        self.assertEqual(len(after), 24)
        self.assertEqual(after["Scale"], ("REG_DWORD", 5000))
        self.assertEqual(after["FontSize100"], ("REG_DWORD", 100000))
        # The breadth is read as the 512 it is drawn with, and stored so.
        self.assertEqual(after["Breadth"], ("REG_DWORD", 512))


if __name__ == "__main__":
    vrtest.main()
