"""Makes the README's pictures: the real ruler, one per orientation, cropped to its window.

    python3 docs_pictures.py OUTPUT_DIR
"""

import sys
from pathlib import Path

sys.dont_write_bytecode = True
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


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: docs_pictures.py OUTPUT_DIR")
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for orientation, name in PICTURES.items():
        shoot(orientation, out / name)
        print(out / name)


if __name__ == "__main__":
    main()
