"""What the default ruler (silver, scale 640, breadth 50) looks like on screen, in each orientation.

Without a compositing manager Xvfb shows the window opaque (its opacity is only an X
property), so the screenshot holds the ruler's own pixels. Positions are worked out in
ruler terms: `along` runs the length of the ruler (x in the horizontal orientations, y in
the vertical ones) and `depth` counts pixels in from the edge the ticks hang from.
"""

import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

LEFT_MARGIN, SCALE, BREADTH = 5, 640, 50
LENGTH = LEFT_MARGIN + SCALE + 5
HORIZONTAL, VERTICAL = (358, 359, 650, 50), (658, 59, 50, 650)  # around (683, 384)
GEOMETRY = {0: HORIZONTAL, 1: VERTICAL, 2: HORIZONTAL, 3: VERTICAL}
NAMES = {0: "left_to_right", 1: "top_to_bottom", 2: "right_to_left", 3: "bottom_to_top"}

# The speckle mixes the body colour 3% toward black and white: 0xC0 gives 186..194.
# The bevel mixes that 75% toward white (238..240) or 50% toward black (93..97).
BODY = range(186, 195)
LIGHT_EDGE = range(238, 241)
DARK_EDGE = range(93, 98)

# level: (tick length, tick colour channel, numbers shown) for a black font on 0xC0C0C0;
# the minor levels fade 90, 80 and 70% from the body colour toward the font colour.
LEVELS = {
    "Tick100": (29, 0, True),
    "Tick50": (19, 19, True),
    "Tick10": (17, 38, True),
    "Tick5": (12, 58, False),
}

# t: the level of tick t, 5t pixels from the zero mark.
TICKS = {0: "Tick100", 20: "Tick100", 120: "Tick100", 10: "Tick50", 30: "Tick50", 2: "Tick10",
         4: "Tick10", 1: "Tick5", 127: "Tick5"}
LAST_TICK = (SCALE - 1) // 5  # ticks exist only below the scale's length

INK = 150  # a number's pixel: any channel below this (the body is 186 and up)


def along_of(orientation, t):
    """Where tick t lies along the ruler: from the left/top edge, or back from the far end."""
    return LEFT_MARGIN + 5 * t if orientation in (0, 1) else LEFT_MARGIN + SCALE - 5 * t


def to_xy(orientation, along, depth):
    return {
        0: (along, depth),  # ticks hang from the top edge
        1: (BREADTH - 1 - depth, along),  # from the right edge
        2: (along, BREADTH - 1 - depth),  # rise from the bottom edge
        3: (depth, along),  # stand on the left edge
    }[orientation]


def visible_length(orientation, length):
    # Turned ticks start on the coordinate Breadth, one pixel beyond the picture.
    return length - 1 if orientation in (1, 2) else length


def grey(pixel):
    r, g, b = pixel
    return r if r == g == b else None


class Picture(vrtest.RulerTestCase):
    orientation = 0

    def test_picture(self):
        values = {"Orientation": self.orientation} if self.orientation else None
        win = self.start_ruler(values)
        self.assertEqual(win.geometry(), GEOMETRY[self.orientation])
        self.pic = win.picture()
        self.check_body_and_bevel()
        self.check_ticks()
        self.check_numbers()

    def at(self, along, depth):
        return self.pic[to_xy(self.orientation, along, depth)]

    def on_tick_line(self, x, y):
        """True where a tick line may have painted over the bevel."""
        along, depth = {0: (x, y), 1: (y, BREADTH - 1 - x), 2: (x, BREADTH - 1 - y), 3: (y, x)}[
            self.orientation
        ]
        ticks = {along_of(self.orientation, t) for t in range(LAST_TICK + 1)}
        return along in ticks and depth < 29

    def check_body_and_bevel(self):
        w, h = self.pic.width, self.pic.height
        edges = {
            "top row": ([(x, 0) for x in range(w)], LIGHT_EDGE),
            "left column": ([(0, y) for y in range(1, h)], LIGHT_EDGE),
            "right column": ([(w - 1, y) for y in range(1, h)], DARK_EDGE),
            "bottom row": ([(x, h - 1) for x in range(1, w - 1)], DARK_EDGE),
        }
        for name, (points, allowed) in edges.items():
            with self.subTest(name):
                wrong = [(p, self.pic[p]) for p in points
                         if not self.on_tick_line(*p) and grey(self.pic[p]) not in allowed]
                self.assertEqual(wrong[:5], [], f"{len(wrong)} pixels outside {allowed}")

        # A band clear of ticks and numbers shows the speckled body.
        band = [self.at(a, d) for a in range(1, LENGTH - 1) for d in range(43, 48)]
        with self.subTest("body colour"):
            wrong = [p for p in band if grey(p) not in BODY]
            self.assertEqual(wrong[:5], [], f"{len(wrong)} of {len(band)} pixels outside {BODY}")
        with self.subTest("speckled"):
            self.assertGreaterEqual(len(set(band)), 3)

    def check_ticks(self):
        for t, level in TICKS.items():
            length, channel, numbered = LEVELS[level]
            visible = visible_length(self.orientation, length)
            along = along_of(self.orientation, t)
            with self.subTest("tick", t=t, level=level):
                # In bottom-to-top the number's cell starts two pixels before the
                # tick's end, so only the tick's earlier pixels are certain.
                sure = visible - 2 if self.orientation == 3 and numbered else visible
                line = [self.at(along, d) for d in range(sure)]
                self.assertEqual(line, [(channel,) * 3] * sure)
                if sure == visible:
                    self.assertIn(grey(self.at(along, visible)), BODY, "tick longer than its level")
        with self.subTest("no tick at the scale's length"):
            self.assertIn(grey(self.at(along_of(self.orientation, LAST_TICK + 1), 2)), BODY)

    def number_ink(self, t):
        """Ink pixels (along, depth) of the number at tick t, near where it should be."""
        level = TICKS[t]
        length = LEVELS[level][0]
        along = along_of(self.orientation, t)
        half = 10 if level == "Tick100" else 4  # three digits, or one
        return [
            (a, d)
            for a in range(along - half, along + half + 1)
            for d in range(length, length + 14)
            # inside the bevel
            if 0 < a < LENGTH - 1 and 0 < d < BREADTH - 1 and min(self.at(a, d)) < INK
        ]

    def check_numbers(self):
        for t in (0, 20, 120, 10, 2):
            with self.subTest("number", t=t, level=TICKS[t]):
                ink = self.number_ink(t)
                self.assertTrue(ink, "no number drawn")
                alongs = [a for a, _ in ink]
                depths = [d for _, d in ink]
                centre = (min(alongs) + max(alongs)) / 2
                self.assertLessEqual(abs(centre - along_of(self.orientation, t)), 1.5,
                                     f"not centred: ink {min(alongs)}..{max(alongs)}")
                # 7 points at 96 pixels per inch: 9-pixel characters, digits about 7 tall.
                self.assertIn(max(depths) - min(depths) + 1, range(5, 10), "digit height")

        with self.subTest("reading direction of 100"):
            # Digits are runs of inked columns; the thin "1" has less ink than a "0"
            # and comes first in reading order: at the low end of `along` for
            # left-to-right and top-to-bottom, at the high end when turned over.
            ink = self.number_ink(20)
            runs, last = [], None
            for a in sorted({a for a, _ in ink}):
                if last is None or a > last + 1:
                    runs.append([])
                runs[-1].append(a)
                last = a
            weight = [sum(1 for a, _ in ink if a in run) for run in runs]
            self.assertGreaterEqual(len(runs), 2, f"digits not apart: {runs}")
            if self.orientation in (2, 3):
                weight.reverse()
            first, final = weight[0], weight[-1]
            self.assertLess(first, final, f"ink per digit in reading order: {weight}")

        for t in (1, 3, 127):
            with self.subTest("no number at a Tick5 tick", t=t):
                along = along_of(self.orientation, t)
                near = [self.at(a, d) for a in range(along - 1, along + 2)
                        for d in range(LEVELS["Tick5"][0] + 1, LEVELS["Tick10"][0] + 1)]
                self.assertEqual([p for p in near if min(p) < INK], [])


class PictureTopToBottom(Picture):
    orientation = 1


class PictureRightToLeft(Picture):
    orientation = 2


class PictureBottomToTop(Picture):
    orientation = 3


if __name__ == "__main__":
    vrtest.main()
