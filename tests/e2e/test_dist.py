"""The download for Windows users: the zip holds the exe, README.txt, LICENSE and their sums;
the exe's version resource carries the zip's version; unzipped into a folder of its own,
the exe starts under Wine, shows ruler 0, and its About box shows the same version and the
licence's copyright line.

The windows tree packs the zip whenever it builds the exe (`make dist` is that build), so
the zip these cases open holds the exe the other cases run; ctest alone finds it too.
"""

import hashlib
import os
import re
import struct
import sys
import unittest
import zipfile
from pathlib import Path

sys.dont_write_bytecode = True
import vrtest  # noqa: E402
from test_icon_resource import resources  # noqa: E402

ZIP = Path(os.environ.get("VR_DIST") or next(
    iter(sorted((vrtest.REPO / "build" / "dist").glob("VantoriRulers-*-win64.zip"))),
    vrtest.REPO / "build" / "dist" / "VantoriRulers-missing-win64.zip"))
FILES = {"VantoriRulers.exe", "README.txt", "LICENSE", "SHA256SUMS"}
RT_VERSION = 16
FIXED_FILE_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
ABOUT = "About Vantori Rulers"
VK_RETURN, VK_UP = 13, 38


def unpacked():
    """{name: bytes} of the zip's files."""
    if not ZIP.is_file():
        raise FileNotFoundError(f"{ZIP} is missing: build it with `make dist`")
    with zipfile.ZipFile(ZIP) as zf:
        return {name: zf.read(name) for name in zf.namelist()}


def zip_version():
    """(major, minor, build) from the zip's name."""
    found = re.fullmatch(r"VantoriRulers-(\d+)\.(\d+)\.(\d+)-win64\.zip", ZIP.name)
    if not found:
        raise AssertionError(f"{ZIP.name} does not carry a version")
    return tuple(map(int, found.groups()))


def copyright_line(files):
    licence = files["LICENSE"].decode("utf-8-sig")
    return next(line for line in licence.splitlines() if line.startswith("Copyright"))


class DistContent(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.files = unpacked()

    def test_four_files_and_their_sums(self):
        self.assertEqual(set(self.files), FILES)
        listed = {}
        for line in self.files["SHA256SUMS"].decode("ascii").splitlines():
            digest, name = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line).groups()
            listed[name] = digest
        self.assertEqual(set(listed), FILES - {"SHA256SUMS"})
        for name, digest in listed.items():
            with self.subTest(name):
                self.assertEqual(hashlib.sha256(self.files[name]).hexdigest(), digest)
        with self.subTest("the exe of this build"):
            self.assertTrue(self.files["VantoriRulers.exe"] == Path(vrtest.EXE).read_bytes(),
                            f"{ZIP.name} holds another exe than {vrtest.EXE}")

    def test_the_version_resource_carries_the_zips_version(self):
        major, minor, build = zip_version()
        exe = Path(vrtest.suite_tmp()) / "VantoriRulers.exe"
        exe.write_bytes(self.files["VantoriRulers.exe"])
        version = resources(exe)[(RT_VERSION, 1)]
        # VS_FIXEDFILEINFO: signature, structure version, then the file and product versions.
        at = version.index(FIXED_FILE_INFO_SIGNATURE) + 8
        self.assertEqual(struct.unpack_from("<4I", version, at),
                         ((major << 16) | minor, build, (major << 16) | minor, build))
        strings = version.decode("utf-16-le", "replace")
        for name in ("FileVersion", "ProductVersion"):
            with self.subTest(name):
                self.assertRegex(strings, rf"{name}\x00+{major}\.{minor}\.0\.{build}\x00")


class DistStart(vrtest.RulerTestCase):
    def test_the_unzipped_exe_shows_ruler_0_and_its_about_box_the_same_version(self):
        files = unpacked()
        folder = self.s.tmp / "Downloads" / ZIP.stem
        folder.mkdir(parents=True)
        for name, data in files.items():
            (folder / name).write_bytes(data)
        self.s.start(folder / "VantoriRulers.exe")
        win = self.s.wait_window()
        # Ruler 0's first place: 650 x 50 in the middle of the 1366 x 768 screen.
        self.assertEqual(win.geometry(), (358, 359, 650, 50))
        rulers = [w for w in self.s.driver_windows() if w["class"] == vrtest.RULER_CLASS]
        self.assertEqual([(w["title"], w["visible"]) for w in rulers], [(vrtest.TITLE, 1)])

        # The ruler's menu: Up reaches Hide, the last item; once more, About.
        self.s.press(win, "shift+F10")
        self.s.wait_menu()
        self.s.driver("keys", "#32768", VK_UP, VK_UP, VK_RETURN)
        about = lambda: [w for w in self.s.driver_windows() if w["title"] == ABOUT and w["visible"]]
        vrtest.wait_until(about, 15, 0.1, "the About box")
        texts = [c["text"] for c in self.s.driver_controls(ABOUT) if c["visible"]]
        major, minor, build = zip_version()
        for text in (f"Vantori Rulers {major}.{minor} (Build {build})", copyright_line(files)):
            with self.subTest(text):
                self.assertIn(text, texts)


if __name__ == "__main__":
    vrtest.main()
