"""How long a Tab takes, and how large the process grows, for stored settings that once made
a ruler slow or huge, measured on the real exe under Wine. Figures only, no assertions.

    python3 bench/wine_render.py    (VR_EXE, VR_DRIVER, VR_KEYDRIVER, VR_BUILD as for the e2e tests)

Each case seeds ruler 0's values, starts the program, then posts Tab eight times, and Insert
and Delete eight times, through the keys driver; each key is followed by a marker move that
lands only once the key's layout, render and paint are done. The peak resident size is the
exe's VmHWM afterwards.
"""

import statistics
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import vrkeys  # noqa: E402
import vrtest  # noqa: E402

BIG = 2147483647
VK_INSERT, VK_DELETE = 45, 46
SHOW_ALL = {f"ShowNumber{n}": 1 for n in (100, 50, 10, 5)}

# name: (stored values, Orientation)
CASES = {
    "defaults": ({}, vrkeys.LTR),
    "huge fonts, Scale 8182, Breadth 1024": (
        {"Scale": 8182, "Breadth": 1024, **{f"FontSize{n}": BIG for n in (100, 50, 10, 5)},
         **SHOW_ALL}, vrkeys.LTR),
    "the same without numbers": (
        {"Scale": 8182, "Breadth": 1024, **{f"ShowNumber{n}": 0 for n in (100, 50, 10, 5)}},
        vrkeys.LTR),
    "Scale and FontSize100 2147483647, right to left": (
        {"Scale": BIG, "FontSize100": BIG, "Orientation": 2}, vrkeys.RTL),
}


def bounds(along, breadth, orientation):
    """The window around the screen centre, as laid out."""
    width, height = (along, breadth) if orientation in (vrkeys.LTR, vrkeys.RTL) else (breadth, along)
    return (vrkeys.CX - width // 2, vrkeys.CY - height // 2, width, height)


def figures(us):
    ms = [u / 1000 for u in us]
    return f"median {statistics.median(ms):.1f} ms, worst {max(ms):.1f} ms over {len(ms)}"


def peak_kib(pid):
    """VmHWM of the process, or of its one descendant that runs the exe."""
    for candidate in [pid, *children(pid)]:
        try:
            cmdline = Path(f"/proc/{candidate}/cmdline").read_bytes()
            if b"VantoriRulers.exe" not in cmdline:
                continue
            for line in Path(f"/proc/{candidate}/status").read_text().splitlines():
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        except OSError:
            pass
    return None


def children(pid):
    found = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                stat = (entry / "stat").read_text()
                if int(stat.rsplit(")", 1)[1].split()[1]) == pid:
                    found += [int(entry.name), *children(int(entry.name))]
            except (OSError, ValueError, IndexError):
                pass
    return found


class Figures(vrkeys.KeysCase):
    def test_tab_and_peak_memory(self):
        for name, (values, orientation) in CASES.items():
            with self.subTest(name):
                self.s.close()
                self.s = vrtest.Session(self.id())
                win = self.start_ruler(values)
                # The size the program laid the stored values out at.
                _, _, width, height = self.ruler(0)["rect"]
                along, breadth = max(width, height), min(width, height)
                turns, lights = [], []
                for i in range(8):
                    orientation = (orientation + 1) % 4
                    target = bounds(along, breadth, orientation)
                    marker, dy = (vrkeys.VK_DOWN, 8) if i % 2 == 0 else (vrkeys.VK_UP, 0)
                    turns.append(self.post(vrkeys.moved(target, 0, dy), vrkeys.VK_TAB, marker))
                # Insert and Delete change the luminosity: a new picture, same layout.
                for i in range(8):
                    marker, dy = (vrkeys.VK_DOWN, 8) if i % 2 == 0 else (vrkeys.VK_UP, 0)
                    key = VK_INSERT if i % 2 == 0 else VK_DELETE
                    lights.append(self.post(vrkeys.moved(target, 0, dy), key, marker))
                self.s.wait_painted(win)
                kib = peak_kib(self.s.exe.pid)
                print(f"\n[wine] {name}: {along} x {breadth}; Tab (layout and picture) "
                      f"{figures(turns)}; Insert/Delete (picture only) {figures(lights)}; "
                      f"peak resident {kib / 1024 if kib else float('nan'):.0f} MB",
                      file=sys.stderr, flush=True)
                self.assertEqual(self.close_ruler(win), 0)


if __name__ == "__main__":
    vrtest.main()
