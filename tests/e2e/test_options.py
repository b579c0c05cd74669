"""The Options window as a user meets it: opened from a ruler's context menu, it shows the
active ruler's settings; typing, ticking and choosing change the ruler at once, and the
keyboard alone walks through it. Another ruler made active reloads it; its close box hides
it and the program goes on; closing a ruler stores what was changed.

Controls are read through the test driver and named by their place in the window at 96
dots per inch, so a control out of place is a control not found. Windows are unmanaged:
Wine draws the frame and its close box itself, and a hide takes no wait for a window
manager. The window is kept in build/native/e2e-screens/test_options for a person to look at.
"""

import collections
import sys

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

OPTIONS = "Vantori Rulers Options"
STATE_FIELDS = ["hwnd", "class", "parent", "id", "visible", "focus", "check", "value", "count",
                "lo", "hi", "left", "top", "width", "height", "text"]
CHECK, TRACK, COMBO, TOOLS = "Button", "msctls_trackbar32", "ComboBox", "ToolbarWindow32"
HOTKEY = "msctls_hotkey32"

# Places in the client area: a group box's place plus the control's place in it.
APPEARANCE, DIMENSIONS, TICKS = (32, 4), (32, 104), (212, 104)
MEASURE, PROGRAM = (32, 251), (32, 323)


def at(group, x, y):
    return (group[0] + x, group[1] + y)


PLACES = {
    (0, 0): "RulersToolBar",
    at(APPEARANCE, 36, 16): "FontName",
    at(APPEARANCE, 198, 16): "FontColor",
    at(APPEARANCE, 8, 48): "AlphaBlend",
    at(APPEARANCE, 92, 44): "AlphaBlendValue",
    at(APPEARANCE, 92, 68): "Luminosity",
    **{at(DIMENSIONS, 76, 16 + 24 * row): name for row, name in
       enumerate(["Scale", "LeftMargin", "RightMargin", "Breadth", "Orientation"])},
    (220, 120): "Ticks",
    at(MEASURE, 76, 16): "Unit",
    at(PROGRAM, 52, 16): "Hotkey",
    at(PROGRAM, 8, 44): "StartWithWindows",
}
TICK_PLACES = {at(TICKS, 8, 44): "ShowTick", at(TICKS, 48, 64): "TickSize",
               at(TICKS, 8, 92): "ShowNumber", at(TICKS, 48, 112): "FontSize"}
LEVELS = (100, 50, 10, 5)  # the tick group boxes in the order they are made

TAB_ORDER = ["FontName", "FontColor", "AlphaBlend", "AlphaBlendValue", "Luminosity",
             "RulersToolBar", "Scale", "LeftMargin", "RightMargin", "Breadth", "Orientation",
             "Ticks", "ShowTick100", "TickSize100", "ShowNumber100", "FontSize100", "Unit",
             "Hotkey", "StartWithWindows", "FontName"]

# What the window shows, by control: text for boxes and the tool bar (one digit per button,
# 1 pressed), checked state for check boxes, position for track bars, the chord for the hotkey
# box (the key in the low byte, HOTKEYF_ flags above: Ctrl 2, Alt 4).
RULER0_DEFAULTS = {
    "RulersToolBar": "1000000000", "FontName": "Arial", "FontColor": "Black",
    "AlphaBlend": True, "AlphaBlendValue": 192, "Luminosity": 0,
    "Scale": "640", "LeftMargin": "5", "RightMargin": "5", "Breadth": "50",
    "Orientation": "Left to Right", "Ticks": "Each 100 Pixels", "Unit": "px",
    **{f"ShowTick{n}": True for n in LEVELS},
    "TickSize100": "29", "TickSize50": "19", "TickSize10": "17", "TickSize5": "12",
    "ShowNumber100": True, "ShowNumber50": True, "ShowNumber10": True, "ShowNumber5": False,
    "FontSize100": "7", "FontSize50": "7", "FontSize10": "7", "FontSize5": "6",
    "Hotkey": ord("R") | (2 | 4) << 8, "StartWithWindows": False,
}
RULER0_STORED = {"Scale": 800, "Orientation": 2, "Luminosity": -20, "ShowNumber5": 1,
                 "FontSize100": 9, "AlphaBlendValue": 128}
RULER0_STORED_SHOWN = {**RULER0_DEFAULTS, "Scale": "800", "Orientation": "Right to Left",
                       "Luminosity": -20, "ShowNumber5": True, "FontSize100": "9",
                       "AlphaBlendValue": 128}
# Ruler 4 with values beyond the controls' ranges.
RULER4_STORED = {"Luminosity": 300, "FontSize100": 40}

OPAQUE = (None, [str(0xFFFFFFFF)])
WS_EX_TOPMOST = 0x8
# Where the session keeps the programs it starts, and the program's value there.
RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
START_VALUE = "Vantori Rulers"
# The "Options..." item's middle below the menu's top: ten ruler items of 18 pixels and
# a separator above it.
OPTIONS_ITEM_MIDDLE = 201


class OptionsWindow(vrtest.RulerTestCase):
    def setUp(self):
        super().setUp()
        self.s.unmanaged_windows()

    # ------------------------------------------------------------ reading the window

    def controls(self):
        """{name: control} of the shown Options window, "window" its client area on screen."""
        rows = []
        for line in self.s.driver("state", OPTIONS).splitlines():
            parts = line.rstrip("\r").split("\t")
            if len(parts) == len(STATE_FIELDS):
                row = dict(zip(STATE_FIELDS, parts))
                for f in STATE_FIELDS[3:-1]:
                    row[f] = int(row[f])
                rows.append(row)
        found = {"window": rows[0]}
        by_hwnd = {r["hwnd"]: r for r in rows}
        groups = sorted((r for r in rows if r["class"] == CHECK and r["text"] == "Ticks"),
                        key=lambda r: r["id"])
        level_of = {g["hwnd"]: n for g, n in zip(groups, LEVELS)}
        for g, n in zip(groups, LEVELS):
            found[f"TickGroup{n}"] = g
        for r in rows[1:]:
            if r["class"] == "Edit" and r["focus"]:
                by_hwnd[r["parent"]]["focus"] = 1  # an editable box's own edit
            if r["parent"] in level_of:
                name = TICK_PLACES.get((r["left"], r["top"]))
                if name and r["class"] != "Static":
                    found[f"{name}{level_of[r['parent']]}"] = r
            elif r["class"] in (CHECK, TRACK, COMBO, TOOLS, HOTKEY) and r["text"] != "Ticks":
                name = PLACES.get((r["left"], r["top"]))
                if name:
                    found[name] = r
        return found

    def wait_controls(self, ok, what):
        return vrtest.wait_until(lambda: next((c for c in [self.controls()] if ok(c)), None), 10,
                                 0.1, what)

    def assert_shows(self, controls, expected):
        for name, want in expected.items():
            c = controls[name]
            got = (bool(c["check"]) if c["class"] == CHECK
                   else c["value"] if c["class"] in (TRACK, HOTKEY) else c["text"])
            self.assertEqual(got, want, name)

    def notes(self):
        """The texts of the window's labels."""
        lines = self.s.driver("state", OPTIONS).splitlines()
        rows = [line.rstrip("\r").split("\t") for line in lines]
        return [r[-1] for r in rows[1:] if len(r) == len(STATE_FIELDS) and r[1] == "Static"]

    def start_value(self):
        return (self.s.reg_query(RUN_KEY) or {}).get(START_VALUE)

    def focused(self):
        return [name for name, c in self.controls().items() if c["focus"]]

    def visible_tick_groups(self, controls):
        return [n for n in LEVELS if controls[f"TickGroup{n}"]["visible"]]

    def options_window(self):
        """The shown Options window as a driver_windows dict, or None."""
        return next((w for w in self.s.driver_windows() if w["title"] == OPTIONS and w["visible"]),
                    None)

    # ------------------------------------------------------------ using it

    def open_options(self, ruler_point, by_click):
        """Right-clicks a ruler and chooses "Options..."; returns the drawn window's controls
        and its X window."""
        self.click(ruler_point, 3)
        menu = self.s.wait_menu()
        if by_click:
            self.click((menu["left"] + menu["width"] // 2, menu["top"] + OPTIONS_ITEM_MIDDLE))
        else:
            # Up from no selection reaches Hide, the last item; twice more, Options.
            self.s.key("Up", "Up", "Up", "Return")
        found = vrtest.wait_until(lambda: self.s.visible_windows(OPTIONS), 15, 0.1,
                                  "the Options window")
        controls = self.controls()
        self.wait_drawn(controls["window"])
        return controls, found[0]

    def wait_drawn(self, client):
        """Waits until the client area is mostly the window's face colour."""
        def drawn():
            data = self.s.screenshot().crop(client["left"], client["top"], client["width"],
                                            client["height"]).data
            # Every seventh pixel is plenty.
            pixels = collections.Counter(data[i:i + 3] for i in range(0, len(data), 21))
            face, n = pixels.most_common(1)[0]
            return min(face) >= 200 and n * 21 >= len(data) // 2

        vrtest.wait_until(drawn, 15, 0.1, "the Options window to be drawn")

    def keep_window(self, name):
        """Keeps the window, frame included, in the suite's screenshot folder."""
        w = self.options_window()
        vrtest.SCREENS.mkdir(parents=True, exist_ok=True)
        self.s.screenshot().crop(w["left"], w["top"], w["width"], w["height"]).save_png(
            vrtest.SCREENS / name)

    def click(self, xy, button=1):
        self.s.xdotool("mousemove", *xy)
        self.s.xdotool("click", button)
        # Off the rulers again: the pictures compared here show no hairline.
        self.s.pointer_away()

    def click_control(self, controls, name, dx=12, dy=10):
        c, client = controls[name], controls["window"]
        self.click((client["left"] + c["left"] + dx, client["top"] + c["top"] + dy))

    def activate_ruler4(self, ruler0, ruler0_point):
        """Clicks ruler 0, as a user does to type into it, then F4 shows ruler 4 in front;
        returns the reloaded window's controls."""
        self.click(ruler0_point)
        self.s.press(ruler0, "F4")
        return self.wait_controls(lambda c: c["RulersToolBar"]["text"] == "0000100000",
                                  "ruler 4's button pressed")

    def wait_opaque(self, win):
        """Waits for the ruler to turn opaque, Alpha Blend shown cleared."""
        vrtest.wait_until(lambda: self.opacity(win) in OPAQUE, 10, 0.1, "an opaque ruler")
        self.assertFalse(self.controls()["AlphaBlend"]["check"])

    def opacity(self, win):
        return win.properties("_NET_WM_WINDOW_OPACITY").get("_NET_WM_WINDOW_OPACITY")

    def stored(self, ruler=0):
        values = self.s.reg_query(f"{vrtest.RULERS_KEY}\\{ruler}") or {}
        return {k: vrtest.signed32(v) if kind == "REG_DWORD" else v
                for k, (kind, v) in values.items()}

    # ------------------------------------------------------------ the cases

    def test_defaults_then_typing_ticking_choosing_another_ruler_and_the_close_box(self):
        win = self.start_ruler()
        c, options = self.open_options((500, 380), by_click=False)
        self.keep_window("options-defaults.png")

        # The layout at 96 dpi: every control found in its place, the client area around them.
        self.assertEqual(set(RULER0_DEFAULTS) | {f"TickGroup{n}" for n in LEVELS} | {"window"},
                         set(c), "controls found in their places")
        self.assertEqual((c["window"]["width"], c["window"]["height"]), (340, 399))
        self.assertEqual((c["RulersToolBar"]["width"], c["RulersToolBar"]["height"]), (31, 399))
        self.assert_shows(c, RULER0_DEFAULTS)
        self.assertEqual((c["AlphaBlendValue"]["lo"], c["AlphaBlendValue"]["hi"]), (64, 255))
        self.assertEqual((c["Luminosity"]["lo"], c["Luminosity"]["hi"]), (-50, 50))
        self.assertEqual(c["FontColor"]["count"], 21, "Custom... and twenty colours")
        self.assertEqual(self.visible_tick_groups(c), [100])
        self.assertEqual(self.focused(), ["FontName"], "the first control has the keyboard")
        w = self.options_window()
        self.assertEqual((w["left"] + w["width"] // 2, w["top"] + w["height"] // 2), (683, 384),
                         "centred on the screen the first time")
        self.assertTrue(w["exstyle"] & WS_EX_TOPMOST, "always on top")

        # Typing into Scale reaches the ruler, which grows around its centre (683, 384).
        # What each keystroke does on the way, the unit tests prove.
        self.click_control(c, "Scale")
        self.s.press(options, "End", "shift+Home", "BackSpace", "1", "0", "2", "4")
        self.assertEqual(self.s.wait_geometry(win, (166, 359, 1034, 50)), (166, 359, 1034, 50))
        self.assertEqual(self.controls()["Scale"]["text"], "1024")

        # Alpha Blend cleared by a click makes the ruler opaque; Space on the focused box
        # sets it again at the ruler's 192.
        self.click_control(c, "AlphaBlend", dx=6, dy=8)
        self.wait_opaque(win)
        self.s.press(options, "space")
        vrtest.wait_until(lambda: self.opacity(win) == [str(0xC0C0C0C0)], 10, 0.1,
                          "the ruler at opacity 192")

        # Orientation chosen by the keyboard in the list that a click opened: the ruler
        # turns around its centre.
        self.click_control(c, "Orientation")
        self.s.press(options, "Down", "Return")
        self.assertEqual(self.s.wait_geometry(win, (658, -133, 50, 1034)), (658, -133, 50, 1034))
        self.assertEqual(self.controls()["Orientation"]["text"], "Top to Bottom")

        # The tick level list switches the one visible tick box; Tab goes into that box.
        self.s.press(options, "Tab", "alt+Down", "Down", "Return")
        c = self.wait_controls(lambda c: c["Ticks"]["text"] == "Each 50 Pixels",
                               "Each 50 Pixels chosen")
        self.assertEqual(self.visible_tick_groups(c), [50])
        self.s.press(options, "Tab", "Tab")
        self.assertEqual(self.focused(), ["TickSize50"])
        self.s.press(options, "End", "shift+Home", "2", "3")
        c = self.wait_controls(lambda c: c["TickSize50"]["text"] == "23", "tick size 23 typed")
        self.assert_shows(c, {"TickSize100": "29", "TickSize10": "17", "TickSize5": "12"})
        self.keep_window("options-edited.png")

        # Another ruler made active reloads every control; its button shows pressed; the
        # chosen tick level stays.
        ruler0_point = (683, 600)  # on the turned ruler 0, below the Options window
        c = self.activate_ruler4(win, ruler0_point)
        self.assert_shows(c, {"Scale": "800", "Orientation": "Top to Bottom", "TickSize50": "19",
                              "Ticks": "Each 50 Pixels"})
        self.assertEqual(self.visible_tick_groups(c), [50])

        # The close box hides the window; the rulers stay.
        client = c["window"]
        self.click((client["left"] + client["width"] - 8, client["top"] - 10))
        vrtest.wait_until(lambda: not self.options_window(), 10, 0.1, "the Options window to hide")
        self.assertTrue(self.s.running())
        self.assertEqual(len(self.s.visible_windows()), 2, "rulers 0 and 4 still shown")

        # Closing ruler 0 stores what the window changed, and not the opacity switch.
        self.click(ruler0_point)
        self.assertEqual(self.close_ruler(win), 0)
        stored = self.stored()
        want = {"Scale": 1024, "Orientation": 1, "TickSize50": 23, "TickSize100": 29,
                "AlphaBlendValue": 192, "AlphaBlend": None}
        self.assertEqual({k: stored.get(k) for k in want}, want)

    def test_stored_values_keyboard_alone_and_values_beyond_the_controls(self):
        self.s.seed(RULER4_STORED, ruler=4)
        win = self.start_ruler(RULER0_STORED)
        self.assertEqual(self.opacity(win), [str(0x80808080)])
        c, options = self.open_options((300, 384), by_click=True)
        self.keep_window("options-stored.png")
        self.assert_shows(c, RULER0_STORED_SHOWN)
        self.assertEqual(c["Orientation"]["value"], 2)

        # Tab walks the window in its order and comes round to the first control.
        order = self.focused()
        for _ in TAB_ORDER[1:]:
            self.s.press(options, "Tab")
            order += self.focused()
        self.assertEqual(order, TAB_ORDER)

        # An arrow key on the luminosity bar re-renders the ruler at once.
        self.s.press(options, "Tab", "Tab", "Tab", "Tab")
        self.assertEqual(self.focused(), ["Luminosity"])
        before = win.picture()
        self.s.press(options, "Right")
        self.wait_controls(lambda c: c["Luminosity"]["value"] == -19, "luminosity -19")
        vrtest.wait_until(lambda: win.picture().data != before.data, 10, 0.1,
                          "the ruler repainted lighter")

        # Space on the focused Alpha Blend box clears it.
        self.s.press(options, "shift+Tab", "shift+Tab", "space")
        self.wait_opaque(win)

        # Ruler 4's luminosity of 300 puts the bar at its end, which the ruler then takes;
        # a font size that is no item shows no selection.
        c = self.activate_ruler4(win, (300, 384))
        self.keep_window("options-ruler4.png")
        self.assert_shows(c, {"Luminosity": 50, "FontSize100": "", "Scale": "800",
                              "Orientation": "Top to Bottom"})
        self.assertEqual(c["FontSize100"]["value"], -1)
        ruler4 = [w for w in self.s.visible_windows() if w.id != win.id]
        self.assertEqual(len(ruler4), 1)
        self.s.press(ruler4[0], "alt+F4")  # closing ruler 4 stores it; the program goes on
        vrtest.wait_until(lambda: self.stored(4).get("Luminosity") == 50, 15, 0.2,
                          "ruler 4 stored")
        self.assertEqual(self.stored(4).get("FontSize100"), 40)

        # Back by a click on its caption, the window gives the keyboard to the control that
        # had it when a ruler took it.
        client = c["window"]
        self.click((client["left"] + 20, client["top"] - 10))
        vrtest.wait_until(lambda: self.focused() == ["AlphaBlend"], 10, 0.1,
                          "Alpha Blend to have the keyboard again")

        self.click((300, 384))
        self.assertEqual(self.close_ruler(win), 0)
        stored = self.stored()
        self.assertEqual({k: stored.get(k) for k in RULER0_STORED},
                         {**RULER0_STORED, "Luminosity": -19})

    def test_the_program_group_sets_the_hotkey_and_the_start_with_windows(self):
        win = self.start_ruler()
        c, options = self.open_options((500, 380), by_click=False)
        self.assertIsNone(self.start_value())

        # Ticked, the session's start list names this exe, quoted; cleared, the value goes.
        self.click_control(c, "StartWithWindows", dx=6, dy=8)
        kind, command = vrtest.wait_until(self.start_value, 10, 0.1, "the Run value")
        self.assertEqual(kind, "REG_SZ")
        self.assertRegex(command, r'^"[A-Z]:\\.*\\VantoriRulers\.exe"$')
        self.wait_controls(lambda c: c["StartWithWindows"]["check"], "Start with Windows ticked")
        self.click_control(c, "StartWithWindows", dx=6, dy=8)
        vrtest.wait_until(lambda: self.start_value() is None, 10, 0.1, "the Run value gone")
        self.assertFalse(self.controls()["StartWithWindows"]["check"])

        # Another copy's value, written while the window was in the background, shows when
        # the window is activated again: not ticked, with a note; a tick writes this exe.
        self.click((500, 380))
        self.s.reg_add(START_VALUE, "REG_SZ", '"C:\\Elsewhere\\VantoriRulers.exe"', key=RUN_KEY)
        client = c["window"]
        self.click((client["left"] + 20, client["top"] - 10))
        vrtest.wait_until(lambda: "set for another copy" in self.notes(), 10, 0.1,
                          "the note about another copy")
        self.assertFalse(self.controls()["StartWithWindows"]["check"])
        self.click_control(c, "StartWithWindows", dx=6, dy=8)
        vrtest.wait_until(lambda: self.start_value() == ("REG_SZ", command), 10, 0.1,
                          "the Run value repaired")
        vrtest.wait_until(lambda: "set for another copy" not in self.notes(), 10, 0.1,
                          "the note gone")

        # A chord pressed in the hotkey box is stored at once, the key in the low byte and
        # the program's modifier bits above it (Alt 2, Ctrl 4); a key alone is not taken
        # from other programs, and Backspace turns the hotkey off.
        for keys, box, stored, note in [
            ("ctrl+alt+t", ord("T") | (2 | 4) << 8, ord("T") | (2 | 4) << 8, ""),
            ("F5", 0x74, 0x74, "needs Ctrl or Alt"),
            ("BackSpace", 0, 0, ""),
        ]:
            self.click_control(c, "Hotkey")
            self.s.press(options, keys)
            self.wait_controls(lambda c: c["Hotkey"]["value"] == box, f"{keys} in the box")
            vrtest.wait_until(
                lambda: (self.s.reg_query(vrtest.RULERS_KEY) or {}).get("Hotkey") ==
                ("REG_DWORD", stored), 10, 0.1, f"{keys} stored")
            self.assertEqual("needs Ctrl or Alt" in self.notes(), bool(note), keys)
        self.click((500, 380))
        self.assertEqual(self.close_ruler(win), 0)


if __name__ == "__main__":
    vrtest.main()
