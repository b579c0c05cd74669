"""The program's hotkey as a user meets it: Ctrl+Alt+R pressed while another program has
the keyboard hides every ruler, and pressed again brings them back, the one the user worked
with last in front. Hiding and showing store nothing. Which rulers come back after rulers
were shown or hidden by hand in between, and what a dialog does to the hotkey, the unit
tests prove.

Wine hands a global hotkey to the program only while one of the prefix's windows has X's
focus, so the keys go to Wine's Notepad, started in the case's own prefix and stopped by
its pid.
"""

import subprocess
import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

NOTEPAD_TITLE = r"Notepad$"


class Hotkey(vrtest.RulerTestCase):
    COST = 3

    def setUp(self):
        super().setUp()
        # Hides go at once without a window manager to wait for.
        self.s.unmanaged_windows()

    def start_notepad(self):
        """Wine's Notepad in the case's prefix, once its window is mapped; returns it."""
        proc = subprocess.Popen(vrtest.wine_command(["wine", "notepad"]), env=self.s.env,
                                cwd=self.s.tmp, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(vrtest._stop, proc, 5)

        def mapped():
            out = self.s.x(["xdotool", "search", "--onlyvisible", "--name", NOTEPAD_TITLE],
                           check=False)
            return [vrtest.XWindow(self.s, wid) for wid in out.split()]

        return proc, vrtest.wait_until(mapped, 60, 0.2, "Notepad's window")[0]

    def rulers(self):
        """The program's ruler windows as driver_windows dicts, by hwnd."""
        return {w["hwnd"]: w for w in self.s.driver_windows()
                if w["class"] == vrtest.RULER_CLASS}

    def shown(self):
        return {h for h, w in self.rulers().items() if w["visible"]}

    def stored(self):
        return {n: self.s.reg_query(f"{vrtest.RULERS_KEY}\\{n}") for n in range(10)}

    def test_ctrl_alt_r_in_another_program_hides_the_rulers_and_brings_them_back(self):
        ruler0 = self.start_ruler()
        # Ruler 3 shown by its key comes in front with the keyboard.
        self.s.press(ruler0, "F3")
        both = vrtest.wait_until(lambda: (lambda s: s if len(s) == 2 else None)(self.shown()),
                                 15, 0.2, "rulers 0 and 3 shown")
        front = vrtest.wait_until(
            lambda: [h for h, w in self.rulers().items() if w["visible"] and w["foreground"]],
            10, 0.2, "a ruler in front")
        self.assertEqual(len(front), 1)
        before = self.stored()
        notepad, pad = self.start_notepad()

        self.s.press(pad, "ctrl+alt+r")
        vrtest.wait_until(lambda: not self.shown(), 15, 0.2, "every ruler hidden")
        vrtest.wait_until(lambda: not self.s.visible_windows(), 10, 0.2,
                          "the ruler windows unmapped")

        self.s.press(pad, "ctrl+alt+r")
        vrtest.wait_until(lambda: self.shown() == both, 15, 0.2, "both rulers back")
        vrtest.wait_until(lambda: len(self.s.visible_windows()) == 2, 10, 0.2,
                          "the ruler windows mapped")
        vrtest.wait_until(
            lambda: [h for h, w in self.rulers().items() if w["foreground"]] == front, 10, 0.2,
            "the ruler that had the keyboard in front again")
        self.assertEqual(self.stored(), before, "hiding and showing store nothing")

        # Once more: the same two go and come back.
        self.s.press(pad, "ctrl+alt+r")
        vrtest.wait_until(lambda: not self.shown(), 15, 0.2, "every ruler hidden again")
        self.s.press(pad, "ctrl+alt+r")
        vrtest.wait_until(lambda: self.shown() == both, 15, 0.2, "both rulers back again")

        vrtest._stop(notepad, 5)
        self.assertTrue(self.s.running(), "the program runs on")


if __name__ == "__main__":
    vrtest.main()
