"""Writes the seed corpus of the stored-settings fuzzer (tests/fuzz/corpus/), in the byte
layout SettingsFuzz.cpp reads: the screen, the rulers' stored values, then changes.

    python3 tests/fuzz/make_corpus.py
"""

import struct
from pathlib import Path

NAMES = ["CenterPoint", "Scale", "LeftMargin", "RightMargin", "Breadth", "Orientation",
         "Luminosity", "AlphaBlendValue"] + [
    f"{what}{level}" for level in (100, 50, 10, 5)
    for what in ("ShowTick", "TickSize", "ShowNumber", "FontSize")]
BIG = 2147483647


def int32(v):
    """Input::Int's raw form: a selector, then four bytes."""
    return bytes([1]) + struct.pack("<i", v)


def text(s):
    data = s.encode("latin-1")
    assert len(data) < 24
    return bytes([len(data)]) + data


def screen(width=1366, height=768):
    """96 dots per inch, the primary display, one work area 1361 x 721 at the origin."""
    return bytes([36]) + int32(width) + int32(height) + bytes([0]) + int32(0) + int32(0) + bytes(
        [85, 45])


def key(values):
    """The 24 values of one ruler: int -> integer, str -> text, ("expand", s) -> expandable
    text, ("other", n) -> another kind; absent names are missing."""
    out = b""
    for name in NAMES:
        v = values.get(name)
        if v is None:
            out += bytes([4])
        elif isinstance(v, int):
            out += bytes([0]) + int32(v)
        elif isinstance(v, str):
            out += bytes([1]) + (text(v) if name != "CenterPoint" else bytes([0]) + text(v))
        elif v[0] == "expand":
            out += bytes([2]) + (text(v[1]) if name != "CenterPoint" else bytes([0]) + text(v[1]))
        else:
            out += bytes([3]) + struct.pack("<I", v[1]) + text("")
    return out


TAB, LEFT, RIGHT, ADD, SUBTRACT, F2, F10 = 0, 1, 3, 7, 8, 10, 18


def press(vk, modifiers=0):
    return bytes([0, vk, modifiers])


def set_scale(v):
    return bytes([3]) + int32(v)


def set_font_size(level, v):
    return bytes([12, level]) + int32(v)


def change_displays():
    """Two monitors, the second to the right of the first, then back to one."""
    return bytes([15, 1]) + int32(0) + int32(0) + bytes([85, 45]) + int32(1366) + int32(0) + \
        bytes([120, 65])


SEEDS = {
    "defaults": screen() + bytes([0]) + key({}),
    "huge_fonts_long_broad": screen() + bytes([0]) + key(
        {"Scale": 8182, "Breadth": 1024, "FontSize100": BIG, "FontSize50": BIG,
         "FontSize10": BIG, "FontSize5": BIG, "ShowNumber5": 1}) + press(TAB) * 4,
    "huge_scale_right_to_left": screen() + bytes([0]) + key(
        {"Scale": BIG, "FontSize100": BIG, "Orientation": 2}) + press(TAB) * 2,
    "centre_off_screen": screen() + bytes([0]) + key({"CenterPoint": "2100,384"}) +
    change_displays() + press(RIGHT, 2),
    "wrong_kinds": screen() + bytes([0]) + key(
        {"CenterPoint": ("expand", "-20,1500"), "Scale": "800", "Breadth": ("other", 5),
         "ShowTick10": 5, "Orientation": 7, "AlphaBlendValue": 999}) +
    set_scale(-5) + set_font_size(1, BIG),
    "three_rulers": screen() + bytes([0b1001]) + key({}) + key({"Orientation": 3}) +
    key({"CenterPoint": "1,2,3"}) + press(F2) + press(ADD, 4) + press(F10) + press(SUBTRACT),
}


def main():
    corpus = Path(__file__).resolve().parent / "corpus"
    corpus.mkdir(exist_ok=True)
    for name, data in SEEDS.items():
        (corpus / name).write_bytes(data)


if __name__ == "__main__":
    main()
