"""Turns binary PPM pictures into PNG files for the documentation.

    python3 ppm_to_png.py SRC.ppm DEST.png [SRC.ppm DEST.png ...]
"""

import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import vrtest  # noqa: E402


def main():
    args = sys.argv[1:]
    if not args or len(args) % 2:
        sys.exit("usage: ppm_to_png.py SRC.ppm DEST.png [SRC.ppm DEST.png ...]")
    for src, dest in zip(args[::2], args[1::2]):
        vrtest.Picture.from_ppm(Path(src).read_bytes()).save_png(dest)
        print(dest)


if __name__ == "__main__":
    main()
