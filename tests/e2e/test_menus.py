"""The rulers' context menu and the tray menu as a user meets them: the right button and
the keyboard open the menu, its access keys and the Alt+digit shortcuts toggle rulers, and
Esc hides even the last ruler, which the tray menu brings back.

Screenshots of both menus are kept in build/native/e2e-screens/test_menus for a person to look at.
"""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

# The framed, light blue square behind the picture of the checked ruler item.
CHECKED_FILL = (0xCC, 0xE8, 0xFF)
# A menu item's middle lies this far inside the menu's top and bottom edges.
ITEM_MIDDLE = 11


class Menus(vrtest.RulerTestCase):
    def rulers(self):
        """The visible rulers as driver_windows dicts."""
        return [w for w in self.s.driver_windows() if w["class"] == "TRulerForm" and w["visible"]]

    def wait_rulers(self, count, what):
        """Waits for count visible rulers; returns them."""
        seen = [None]

        def reached():
            seen[0] = self.rulers()
            return len(seen[0]) == count

        vrtest.wait_until(reached, 15, 0.2, what)
        return seen[0]

    def click(self, xy, button=1):
        self.s.xdotool("mousemove", *xy)
        self.s.xdotool("click", button)

    def test_context_menu_by_mouse_and_keyboard(self):
        win = self.start_ruler()
        # The right button opens the menu where the pointer is.
        self.s.xdotool("windowfocus", "--sync", win.id)
        self.click((500, 380), 3)
        menu = self.s.wait_menu()
        self.assertEqual((menu["left"], menu["top"]), (500, 380), "menu at the pointer")
        self.assertEqual(menu["owner"], self.rulers()[0]["hwnd"], "the ruler owns its menu")

        # The active ruler's item stands out: its picture sits on a framed square.
        def checked_item_shown():
            band = self.s.screenshot().crop(menu["left"], menu["top"], menu["width"], 24)
            return sum(band[x, y] == CHECKED_FILL
                       for x in range(band.width) for y in range(band.height)) >= 50
        vrtest.wait_until(checked_item_shown, 10, 0.2, "ruler 0's item drawn as the checked one")
        self.s.keep_screen("context-menu.png")

        # The access key "5" toggles ruler 5: it comes and takes the focus.
        self.s.key("5")
        self.s.wait_no_menu()
        shown = self.wait_rulers(2, "ruler 5 to show")
        self.assertEqual(sum(r["foreground"] for r in shown), 1)
        # Alt+5 on the focused ruler 5 toggles it again, as its menu item does.
        self.s.key("alt+5")
        self.wait_rulers(1, "Alt+5 to hide ruler 5")

        # Shift+F10 asks for the menu from the keyboard: at the ruler's middle.
        self.click((420, 400))  # as a user would, to type into ruler 0 again
        self.s.press(win, "shift+F10")
        menu = self.s.wait_menu()
        self.assertEqual((menu["left"], menu["top"]), (683, 384), "menu at the ruler's middle")
        self.s.key("Escape")
        self.s.wait_no_menu()
        # So does the Menu key.
        self.s.key("Menu")
        menu = self.s.wait_menu()
        self.assertEqual((menu["left"], menu["top"]), (683, 384), "the Menu key's menu")
        self.s.key("Escape")
        self.s.wait_no_menu()
        self.assertEqual(len(self.rulers()), 1, "dismissing the menu changes nothing")

    def test_escape_hides_the_last_ruler_and_the_tray_menu_brings_it_back(self):
        self.s.start_tray()
        win = self.start_ruler()
        icon = self.s.tray_icon()
        # The dock may have come after ruler 0 was up.
        self.s.activate(win)
        # Esc hides the focused ruler even when it is the last one on the screen.
        self.s.press(win, "Escape")
        self.wait_rulers(0, "Esc to hide the last ruler")
        self.assertTrue(self.s.running(), "the program runs on with its tray icon")

        # A real right click on the docked icon opens the tray menu.
        left, top, width, height = icon.geometry()
        self.click((left + width // 2, top + height // 2), 3)
        menu = self.s.wait_menu()
        self.s.keep_screen("tray-menu.png")
        # Its first item is ruler 0's.
        self.click((menu["left"] + menu["width"] // 2, menu["top"] + ITEM_MIDDLE))
        self.s.wait_no_menu()
        self.assertEqual(self.wait_rulers(1, "ruler 0 to come back")[0]["left"], 358)


if __name__ == "__main__":
    vrtest.main()
