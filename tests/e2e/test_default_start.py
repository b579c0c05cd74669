"""A first start with an empty settings store: where the ruler is and what kind of window it is."""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

WS_EX_TOPMOST = 0x8
WS_EX_TOOLWINDOW = 0x80


class DefaultStart(vrtest.RulerTestCase):
    def test_window_geometry_and_properties(self):
        win = self.start_ruler()

        # 650 x 50 (margins 5 + scale 640 + 5, breadth 50) centred on (683, 384).
        self.assertEqual(win.geometry(), (358, 359, 650, 50))

        props = win.properties("_NET_WM_WINDOW_OPACITY", "_NET_WM_STATE")
        with self.subTest("opacity 192 of 255"):
            self.assertEqual(props.get("_NET_WM_WINDOW_OPACITY"), [str(0xC0C0C0C0)])
        states = props.get("_NET_WM_STATE", [])
        for state in ("_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR"):
            with self.subTest(state):
                self.assertIn(state, states)

        # What X cannot tell: the Win32 class, and that the owner window is a
        # tool window (no task-bar button, no task-switcher entry).
        rulers = [w for w in self.s.driver_windows() if w["class"] == vrtest.RULER_CLASS]
        with self.subTest("one ruler window"):
            self.assertEqual([(w["title"], w["visible"]) for w in rulers], [(vrtest.TITLE, 1)])
        ruler = rulers[0]
        with self.subTest("Win32 bounds"):
            self.assertEqual(
                (ruler["left"], ruler["top"], ruler["width"], ruler["height"]), (358, 359, 650, 50)
            )
        with self.subTest("stay-on-top"):
            self.assertTrue(ruler["exstyle"] & WS_EX_TOPMOST, hex(ruler["exstyle"]))
        with self.subTest("active and focused"):
            self.assertEqual((ruler["foreground"], ruler["active"], ruler["focus"]), (1, 1, 1))
        with self.subTest("owned by a tool window"):
            self.assertNotEqual(ruler["owner"], 0)
            self.assertTrue(ruler["owner_exstyle"] & WS_EX_TOOLWINDOW, hex(ruler["owner_exstyle"]))

        with self.subTest("nothing written while running"):
            self.assertIsNone(self.s.reg_query())


if __name__ == "__main__":
    vrtest.main()
