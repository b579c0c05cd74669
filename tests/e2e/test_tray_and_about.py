"""The tray icon and the About box: the icon docks in a real notification area and shows
the active ruler's picture, its right button opens the tray menu and its left button does
nothing; the About box shows its texts, closes by Esc, Enter and its Ok button, and leaves
nothing behind; the tray's Close ends the program, writing ruler 0, also while ruler 0 is
hidden and the About box is open; a notification area that refuses the icon ends the
program with the error and writes nothing; a notification area that appears only after the
program started takes the icon, and no error is shown meanwhile.

Keys for an open menu or the About box are posted by the test driver, as the keyboard
queues them: once the last ruler is hidden, no window of the program has X's focus.
"""

import subprocess
import sys
import time

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

ABOUT = "About Vantori Rulers"
VK_RETURN, VK_ESCAPE, VK_UP = 13, 27, 38
ORANGE = (0xFF, 0x80, 0x20)  # ruler 4's picture


class TrayAndAbout(vrtest.RulerTestCase):
    def dialogs(self, title):
        return [w for w in self.s.driver_windows() if w["title"] == title and w["visible"]]

    def wait_about(self, shown):
        vrtest.wait_until(lambda: bool(self.dialogs(ABOUT)) == shown, 15, 0.1,
                          "the About box to " + ("open" if shown else "go"))

    def menu_keys(self, *keys):
        self.s.wait_menu()
        self.s.driver("keys", "#32768", *keys)

    def click(self, xy, button=1, repeat=1):
        self.s.xdotool("mousemove", *xy)
        self.s.xdotool("click", "--repeat", repeat, button)

    def test_icon_docks_shows_the_active_ruler_and_opens_the_tray_menu(self):
        self.s.start_tray()
        win = self.start_ruler()
        icon = self.s.tray_icon()
        # The dock may have come after ruler 0 was up.
        self.s.activate(win)
        left, top, width, height = icon.geometry()
        middle = (left + width // 2, top + height // 2)

        # Ruler 4 becomes the active ruler: the icon turns orange.
        self.s.press(win, "F4")

        def orange():
            pic = self.s.screenshot().crop(left, top, width, height)
            return sum(pic[x, y] == ORANGE for x in range(width) for y in range(height)) >= 10

        vrtest.wait_until(orange, 15, 0.2, "the tray icon to show ruler 4's picture")

        # Left clicks and a double click do nothing; the right button opens the menu at
        # the pointer (shifted left to stay on the screen), and it is the only change.
        self.click(middle)
        self.click(middle, repeat=2)
        self.click(middle, 3)
        menu = self.s.wait_menu()
        self.assertEqual(menu["top"], middle[1])
        self.assertTrue(menu["left"] <= middle[0] <= menu["left"] + menu["width"], menu)
        windows = self.s.driver_windows()
        app = next(w for w in windows if w["class"] == "TVantoriApplication")
        self.assertEqual(menu["owner"], app["hwnd"], "the application window owns the menu")
        visible = {w["class"] for w in windows if w["visible"]}
        self.assertNotIn("TVantoriDialog", visible, "no window opened")
        # The menu closes when the user clicks elsewhere.
        self.click((100, 700))
        self.s.wait_no_menu()

    def test_about_box_texts_and_its_three_ways_out(self):
        win = self.start_ruler()
        # From the context menu: Up reaches Hide, the last item; once more, About.
        ways_out = [
            ("Esc", lambda: self.s.driver("keys", "TVantoriDialog", VK_ESCAPE)),
            ("Enter", lambda: self.s.driver("keys", "TVantoriDialog", VK_RETURN)),
            ("Ok", lambda: self.s.driver("click", ABOUT, "Ok")),
        ]
        for way, close in ways_out:
            with self.subTest(way):
                self.s.press(win, "shift+F10")
                self.menu_keys(VK_UP, VK_UP, VK_RETURN)
                self.wait_about(True)
                controls = self.s.driver_controls(ABOUT)
                texts = [c["text"] for c in controls if c["visible"]]
                for text in ("Vantori Rulers 7.7 (Build 67)", "Ok"):
                    self.assertIn(text, texts)
                self.assertTrue(any(t.endswith("@vantori.example") for t in texts), texts)
                # The panel's top left is the client area's; Ok sits at (388, 280).
                panel = min(controls, key=lambda c: (c["top"], c["left"]))
                ok = next(c for c in controls if c["text"] == "Ok")
                self.assertEqual((ok["left"] - panel["left"], ok["top"] - panel["top"],
                                  ok["width"], ok["height"]), (388, 280, 75, 25))
                if way == "Esc":
                    self.s.keep_screen("about-box.png")
                close()
                self.wait_about(False)
        self.assertEqual(self.dialogs(ABOUT), [], "nothing of the boxes remains")
        self.assertTrue(self.s.running())

    def test_tray_close_while_about_is_open_and_ruler_0_hidden_writes_ruler_0(self):
        win = self.start_ruler()
        self.s.press(win, "Escape")
        vrtest.wait_until(lambda: not self.s.visible_windows(), 15, 0.2, "ruler 0 to hide")
        # About from the tray menu, then Close from the tray menu while the box is open.
        self.s.driver("tray-rclick")
        self.menu_keys(VK_UP, VK_UP, VK_RETURN)
        self.wait_about(True)
        self.s.driver("tray-rclick")
        self.menu_keys(VK_UP, VK_RETURN)
        self.assertEqual(self.s.wait_exit(), 0)
        values = self.s.reg_query()
        self.assertIsNotNone(values, "ruler 0 was written")
        self.assertEqual(len(values), 24, sorted(values))

    def test_refused_tray_icon_ends_the_program_with_the_error(self):
        # A notification area that refuses every icon stands in front of Wine's own,
        # which takes icons even with no tray on the display.
        refuser = subprocess.Popen(
            vrtest.wine_command(["wine", str(vrtest.DRIVER), "refuse-tray", "120"]),
            env=self.s.env, cwd=self.s.tmp, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: (refuser.kill(), refuser.wait(), refuser.stdout.close()))
        self.assertEqual(refuser.stdout.readline().strip(), b"refusing")

        self.s.start()

        def error_box():
            return [w for w in self.s.driver_windows()
                    if w["class"] == "#32770" and w["title"] == vrtest.TITLE and w["visible"]]

        vrtest.wait_until(error_box, 30, 0.2, "the error message box")
        texts = [c["text"] for c in self.s.driver_controls(vrtest.TITLE)]
        self.assertIn("Cannot create shell notification icon", texts)
        # Ruler 0 may have come up before the area answered: it is gone while the box shows.
        others = [w for w in self.s.driver_windows()
                  if w["visible"] and w["class"] != "#32770" and w["title"] == vrtest.TITLE]
        self.assertEqual(others, [], "only the error box is on the screen")
        self.assertEqual(len(error_box()), 1, "the error is reported once")
        self.s.keep_screen("tray-refused.png")
        self.s.driver("click", vrtest.TITLE, "OK")
        self.assertEqual(self.s.wait_exit(), 1)
        self.assertIsNone(self.s.reg_query(), "nothing written")

    def test_icon_docks_in_a_notification_area_that_starts_after_the_program(self):
        # As at a log-on where the program starts with the session: no notification area
        # on the display for the program's first 8 seconds.
        started = self.s.start()
        win = self.s.wait_window()
        deadline = time.monotonic() + 8

        def error_boxes():
            boxes = [w for w in self.s.driver_windows() if w["class"] == "#32770" and w["visible"]]
            self.assertEqual(boxes, [], "no error while the notification area is missing")
            return time.monotonic() >= deadline

        vrtest.wait_until(error_boxes, 30, 0.5, "8 seconds without a notification area")
        self.s.start_tray()
        icon = self.s.tray_icon()
        # It works: its right button opens the tray menu.
        left, top, width, height = icon.geometry()
        self.click((left + width // 2, top + height // 2), 3)
        self.s.wait_menu()
        self.s.driver("keys", "#32768", VK_ESCAPE)
        self.s.wait_no_menu()
        self.assertEqual([w for w in self.s.driver_windows() if w["class"] == "#32770"], [])
        self.assertIs(self.s.exe, started)
        self.assertTrue(self.s.running())
        self.assertEqual(win.geometry(), (358, 359, 650, 50))


if __name__ == "__main__":
    vrtest.main()
