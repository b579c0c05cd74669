"""The keys of a focused ruler, typed through X: arrows move it, Tab turns it, the numeric
pad's plus and minus change its length, Insert and Delete its luminosity. Also how fast the
program works through a flood of arrow keys, and that moving never re-renders.

A key that must do nothing is followed by one that moves the ruler: once the second key's
move shows, the first key has been handled too.
"""

import statistics
import sys

sys.dont_write_bytecode = True
import vrkeys  # noqa: E402
import vrtest  # noqa: E402
from vrkeys import BTT, CX, CY, LTR, RTL, TTB, bounds  # noqa: E402

# keys typed, then how far the centre moved
ARROWS = [
    ("Right", (8, 0)),
    ("shift+Right", (1, 0)),
    ("ctrl+Right", (32, 0)),
    ("Left", (-8, 0)),
    ("shift+Left", (-1, 0)),
    ("ctrl+Left", (-32, 0)),
    ("Up", (0, -8)),  # screen y grows downwards
    ("shift+Up", (0, -1)),
    ("ctrl+Up", (0, -32)),
    ("Down", (0, 8)),
    ("shift+Down", (0, 1)),
    ("ctrl+Down", (0, 32)),
    # Any other set of modifiers: no step. Shift_R and Control_R count as Shift and Ctrl.
    (("alt+Right", "Down"), (0, 8)),
    (("ctrl+shift+Right", "Down"), (0, 8)),
    (("alt+shift+Left", "Down"), (0, 8)),
    (("ctrl+alt+Up", "Down"), (0, 8)),
    (("ctrl+alt+shift+Down", "Right"), (8, 0)),
    ("Shift_R+Left", (-1, 0)),
    ("Control_R+Up", (0, -32)),
]

# Tab keys, then the orientation; the centre moves only by the marker keys listed.
TURNS = [
    ("Tab", TTB),
    ("Tab", RTL),
    ("Tab", BTT),
    ("Tab", LTR),
    ("shift+Tab", BTT),
    ("shift+Tab", RTL),
    (("ctrl+Tab", "shift+Down"), RTL),
    (("ctrl+shift+Tab", "shift+Down"), RTL),
    ("shift+Tab", TTB),
    ("shift+Tab", LTR),
    ("Tab", TTB),
]

# keys, then the Scale; the window is 5 + Scale + 5 long around the same centre,
# and Scale stays within 100..2048.
SCALES = [
    ("KP_Add", 648),
    ("KP_Subtract", 640),
    ("shift+KP_Add", 641),
    ("ctrl+KP_Subtract", 609),
    (("alt+KP_Add", "shift+KP_Subtract"), 608),
    (("plus", "minus", "shift+KP_Add"), 609),  # the main keyboard's plus and minus: nothing
    (("ctrl+KP_Subtract",) * 16, 100),  # 609 - 512 = 97 stops at 100
    (("KP_Subtract", "ctrl+KP_Add"), 132),
    (("ctrl+KP_Add",) * 60, 2048),  # 132 + 1920 = 2052 stops at 2048
    (("KP_Add", "shift+KP_Subtract"), 2047),
]

# keys, then the Luminosity: toward white by that percentage, or toward black when
# negative. The filter sets no limit of its own, but the Options window, hidden
# as it is, follows every render, and its luminosity bar (-50 to 50) hands its
# end to the ruler when a value beyond it first moves the bar there.
LUMINOSITY = [
    (("Insert",) * 5, 40),
    (("Delete",) * 10, -40),
    (("ctrl+Insert",) * 2, 24),
    (("shift+Delete",) * 4, 20),
    (("alt+Insert", "ctrl+shift+Delete", "ctrl+Insert"), 50),  # 52 moved the bar to 50
    (("Insert",) * 7, 106),  # the bar stood at 50 already; past 100: white
    (("Delete",) * 14, -6),
]


def lit(channel, luminosity):
    """One channel of the body colour at a luminosity, blended and rounded to nearest."""
    target = 255 if luminosity > 0 else 0
    share = min(abs(luminosity), 100) / 100
    return round(channel + (target - channel) * share)


def keys_of(keys):
    return (keys,) if isinstance(keys, str) else keys


class Keyboard(vrkeys.KeysCase):
    def test_arrows_move_by_the_step_of_the_modifiers(self):
        win = self.start_ruler()
        centre = [CX, CY]
        for keys, (dx, dy) in ARROWS:
            centre = [centre[0] + dx, centre[1] + dy]
            expected = bounds(640, LTR, centre)
            with self.subTest(keys=keys):
                self.type(*keys_of(keys))
                self.assertEqual(self.s.wait_geometry(win, expected), expected)
        # The moves are kept in the settings only: the close writes where the centre is.
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        self.assertEqual(self.s.reg_query()["CenterPoint"], ("REG_SZ", f"{centre[0]},{centre[1]}"))

    def test_tab_turns_about_the_current_centre(self):
        win = self.start_ruler()
        self.type("ctrl+Right", "ctrl+Down")
        centre = [CX + 32, CY + 32]
        self.assertEqual(self.s.wait_geometry(win, bounds(640, LTR, centre)), bounds(640, LTR, centre))
        for keys, orientation in TURNS:
            centre[1] += sum(1 for k in keys_of(keys) if k == "shift+Down")
            expected = bounds(640, orientation, centre)
            with self.subTest(keys=keys, orientation=orientation):
                self.type(*keys_of(keys))
                self.assertEqual(self.s.wait_geometry(win, expected), expected)
                # Left-to-right and right-to-left share their bounds: the zero tick,
                # at the start of the scale on the tick edge, tells them apart.
                edges = [None]

                def turned():
                    edges[0] = vrkeys.zero_tick_edges(win.picture())
                    return edges[0] == [orientation]

                try:
                    vrtest.wait_until(turned, 5, 0.2, "the turned picture")
                except TimeoutError:
                    pass
                self.assertEqual(edges[0], [orientation], "orientations whose zero tick shows")
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        self.assertEqual(self.s.reg_query()["Orientation"], ("REG_DWORD", TTB))

    def test_numeric_pad_plus_and_minus_change_the_length(self):
        win = self.start_ruler()
        for keys, scale in SCALES:
            expected = bounds(scale, LTR, (CX, CY))
            with self.subTest(keys=keys[:3], scale=scale):
                self.type(*keys_of(keys))
                self.assertEqual(self.s.wait_geometry(win, expected), expected)
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        self.assertEqual(self.s.reg_query()["Scale"], ("REG_DWORD", 2047))

    def test_insert_and_delete_lighten_and_darken(self):
        win = self.start_ruler()
        silver = vrkeys.SLOTS[0][3]
        for keys, luminosity in LUMINOSITY:
            colour = tuple(lit(c, luminosity) for c in silver)
            with self.subTest(keys=keys[:3], luminosity=luminosity, colour=colour):
                self.type(*keys_of(keys))
                wrong = [None]

                def shows():
                    band = vrkeys.body_band(self.s.screenshot(), LTR, win.geometry())
                    wrong[0] = vrkeys.off_colour(band, colour)
                    return not wrong[0] and band

                try:
                    vrtest.wait_until(shows, 5, 0.2, f"the body in {colour}")
                except TimeoutError:
                    pass
                self.assertEqual(wrong[0][:5], [], f"{len(wrong[0])} body pixels off {colour}")
        self.assertEqual(win.geometry(), bounds(640, LTR, (CX, CY)), "luminosity moved the ruler")
        self.assertEqual(self.close_ruler(win), 0, "exit code")
        kind, value = self.s.reg_query()["Luminosity"]
        self.assertEqual((kind, vrtest.signed32(value)), ("REG_DWORD", -6))


MOVES = 1000  # Right/Left pairs posted in one go


class Throughput(vrkeys.KeysCase):
    """Measured, not asserted against a time: the figures go to the test's output."""

    def test_arrow_keys_per_second_and_no_render_on_move(self):
        win = self.start_ruler()
        before = win.picture()
        start = bounds(640, LTR, (CX, CY))
        rates = []
        # Posted messages carry no key state, so every arrow steps 8 pixels. Each run
        # ends on one vertical move whose arrival shows the whole queue was handled.
        for final, dy in ((vrkeys.VK_DOWN, 8), (vrkeys.VK_UP, 0), (vrkeys.VK_DOWN, 8)):
            target = vrkeys.moved(start, 0, dy)
            us = self.post(target, f"{vrkeys.VK_RIGHT},{vrkeys.VK_LEFT}*{MOVES}", final)
            rates.append((2 * MOVES + 1) / (us / 1e6))
            self.assertEqual(self.s.wait_geometry(win, target), target)
        self.s.wait_painted(win)
        self.assertEqual(win.picture().data, before.data,
                         f"the picture changed after {len(rates) * (2 * MOVES + 1)} moves: it was rendered")
        print(f"\n[keys] arrow moves handled per second: median {statistics.median(rates):.0f} "
              f"(runs: {', '.join(f'{r:.0f}' for r in rates)}; {2 * MOVES + 1} posted key-downs "
              f"a run; picture unchanged)", file=sys.stderr)

    def test_turn_and_scale_keys_at_full_length(self):
        win = self.start_ruler({"Scale": 2048})
        centre = (CX, CY)
        flat = bounds(2048, LTR, centre)
        self.assertEqual(win.geometry(), flat)
        turns = [(vrkeys.VK_TAB, bounds(2048, o, centre)) for o in (TTB, RTL, BTT, LTR)]
        lengths = [(vrkeys.VK_SUBTRACT, bounds(2040, LTR, centre)), (vrkeys.VK_ADD, flat)]
        figures = []
        for name, steps in (("Tab", turns * 2), ("numeric-pad minus, plus", lengths * 4)):
            before = win.picture()
            ms = []
            for i, (key, target) in enumerate(steps):
                # A vertical move, down then up, posted after the key: it lands only
                # once the key's layout, render and paint are done.
                marker, dy = (vrkeys.VK_DOWN, 8) if i % 2 == 0 else (vrkeys.VK_UP, 0)
                ms.append(self.post(vrkeys.moved(target, 0, dy), key, marker) / 1000)
            self.assertEqual(self.s.wait_geometry(win, flat), flat)
            self.s.wait_painted(win)
            # Back where it started, with the same bounds, but drawn anew.
            self.assertNotEqual(win.picture().data, before.data, f"{name} did not render")
            figures.append(f"{name}: median {statistics.median(ms):.1f} ms, worst {max(ms):.1f} ms "
                           f"over {len(ms)}")
        print(f"\n[keys] key at Scale 2048 to its new layout and picture (each time includes one "
              f"arrow move): {'; '.join(figures)}", file=sys.stderr)


if __name__ == "__main__":
    vrtest.main()
