"""Makes the README's pictures: the real ruler, one per orientation, cropped to its window;
the ruler with two marks and the pointer's readout, in px and in mm; the ruler's context
menu, the tray menu, the About box and the Options window.

    python3 tools/docs_pictures.py OUTPUT_DIR

It runs the real exe under Wine on a private Xvfb, with the end-to-end tests' harness.
"""

import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import vrtest  # noqa: E402

PICTURES = {
    0: "ruler-left-to-right.png",
    1: "ruler-top-to-bottom.png",
    2: "ruler-right-to-left.png",
    3: "ruler-bottom-to-top.png",
}


def shoot(orientation, dest):
    session = vrtest.Session(f"docs-{orientation}")
    try:
        session.seed({"Orientation": orientation})
        session.start()
        session.wait_window().picture().save_png(dest)
    finally:
        session.close()


MEASURE_PICTURE = "ruler-measure.png"
# The default ruler around (683, 384): its top edge, and the column of its zero tick.
RULER_TOP, ZERO = 359, 363


UNITS_PICTURE = "ruler-units.png"


def shoot_measure(dest, unit=0):
    """Ruler 0 with marks at 100 and 345 and the pointer resting at 290, in px or another
    unit by its stored code."""
    session = vrtest.Session(f"docs-measure-{unit}")
    try:
        if unit:
            session.seed({"Unit": unit})
        session.start()
        win = session.wait_window()
        for offset in (100, 345):
            session.xdotool("mousemove", ZERO + offset, RULER_TOP + 25)
            session.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        session.xdotool("mousemove", ZERO + 290, RULER_TOP + 25)
        black = (0, 0, 0)
        vrtest.wait_until(lambda: win.picture()[5 + 290, 1] == black, 20, 0.2,
                          "the pointer's hairline")
        settled(session, win.geometry()).save_png(dest)
    finally:
        session.close()


MENU_PICTURES = ("context-menu.png", "tray-menu.png", "about-box.png")
VK_RETURN, VK_UP = 13, 38


def settled(session, box):
    """The screen's part in box once it has been painted and holds still."""
    seen = []

    def still():
        seen.append(session.screenshot().crop(*box))
        return len(seen) >= 2 and seen[-1].data == seen[-2].data and seen[-1].data.strip(b"\0")

    vrtest.wait_until(still, 20, 0.2, f"the screen at {box} to settle")
    return seen[-1]


def shoot_menus_and_about(out):
    session = vrtest.Session("docs-menus")
    try:
        # Wine draws the frames of unmanaged windows, with the caption buttons of
        # the Marlett font that the template prefix holds.
        session.unmanaged_windows()
        panel = session.start_tray()
        session.start()
        win = session.wait_window()
        icon = session.tray_icon()

        # The context menu at the pointer, over the ruler's right half.
        session.xdotool("windowfocus", "--sync", win.id)
        session.xdotool("mousemove", 560, 384)
        session.xdotool("click", 3)
        menu = session.wait_menu()
        right, bottom = menu["left"] + menu["width"], menu["top"] + menu["height"]
        box = (500, 352, right + 16 - 500, bottom + 8 - 352)
        settled(session, box).save_png(out / MENU_PICTURES[0])
        session.key("Escape")
        session.wait_no_menu()

        # The tray menu, opened on the docked icon.
        left, top, width, height = icon.geometry()
        session.xdotool("mousemove", left + width // 2, top + height // 2)
        session.xdotool("click", 3)
        menu = session.wait_menu()
        box_left = min(menu["left"], panel.geometry()[0]) - 16
        box = (box_left, 0, vrtest.SCREEN_W - box_left, menu["top"] + menu["height"] + 8)
        settled(session, box).save_png(out / MENU_PICTURES[1])
        session.xdotool("mousemove", 100, 700)
        session.xdotool("click", 1)
        session.wait_no_menu()

        # The About box, from the context menu's keyboard request, once the ruler has
        # the keyboard again.
        session.xdotool("mousemove", 420, 400)
        session.xdotool("click", 1)
        session.press(win, "shift+F10")
        session.wait_menu()
        session.driver("keys", "#32768", VK_UP, VK_UP, VK_RETURN)
        about = vrtest.wait_until(
            lambda: [w for w in session.driver_windows()
                     if w["title"] == "About Vantori Rulers" and w["visible"]], 20, 0.2,
            "the About box")[0]
        box = (about["left"], about["top"], about["width"], about["height"])
        settled(session, box).save_png(out / MENU_PICTURES[2])
    finally:
        session.close()


OPTIONS_PICTURE = "options-window.png"


def shoot_options(dest):
    session = vrtest.Session("docs-options")
    try:
        session.unmanaged_windows()
        session.start()
        session.wait_window()
        # "Options..." from the context menu: Up from no selection reaches Hide, the last
        # item; twice more, Options.
        session.xdotool("mousemove", 420, 384)
        session.xdotool("click", 3)
        session.wait_menu()
        session.key("Up", "Up", "Up", "Return")
        options = vrtest.wait_until(
            lambda: [w for w in session.driver_windows()
                     if w["title"] == "Vantori Rulers Options" and w["visible"]], 20, 0.2,
            "the Options window")[0]
        box = (options["left"], options["top"], options["width"], options["height"])
        settled(session, box).save_png(dest)
    finally:
        session.close()


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: docs_pictures.py OUTPUT_DIR")
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for orientation, name in PICTURES.items():
        shoot(orientation, out / name)
        print(out / name)
    shoot_measure(out / MEASURE_PICTURE)
    print(out / MEASURE_PICTURE)
    shoot_measure(out / UNITS_PICTURE, unit=1)
    print(out / UNITS_PICTURE)
    shoot_menus_and_about(out)
    for name in MENU_PICTURES:
        print(out / name)
    shoot_options(out / OPTIONS_PICTURE)
    print(out / OPTIONS_PICTURE)


if __name__ == "__main__":
    main()
