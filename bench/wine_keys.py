"""How fast the real exe under Wine works through keys. Figures only, no assertions on time.

    python3 bench/wine_keys.py      (VR_EXE, VR_DRIVER, VR_KEYDRIVER, VR_BUILD as for the e2e tests)

- Arrow moves per second: a thousand Right/Left pairs posted in one go through the keys
  driver, three runs; the picture must come out unchanged, since moving never renders.
- Tab and the numeric pad's minus and plus at Scale 2048: from the posted key to the new
  layout and picture, each key followed by a marker move that lands only once the key's
  layout, render and paint are done.
"""

import statistics
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import vrkeys  # noqa: E402
import vrtest  # noqa: E402
from vrkeys import BTT, CX, CY, LTR, RTL, TTB, bounds  # noqa: E402

MOVES = 1000  # Right/Left pairs posted in one go


class Throughput(vrkeys.KeysCase):
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
