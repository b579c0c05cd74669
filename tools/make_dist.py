"""Packs the download for Windows users: the exe, the README, the licence and SHA256SUMS.

    python3 tools/make_dist.py OUT.zip VantoriRulers.exe README.md LICENSE

The build runs it (CMake's `dist` target, `make dist`); the name of OUT.zip carries the
project's version. The zip holds, at its top level:

  VantoriRulers.exe  the program
  README.txt         README.md made readable in Notepad: pictures become their
                     descriptions, Windows line endings, and a UTF-8 mark when the
                     text is not plain ASCII, so that even an old Notepad shows it right
  LICENSE            the licence, with Windows line endings and the same UTF-8 mark
  SHA256SUMS         the SHA-256 of the three files above, as `sha256sum` writes them

Standard library only. Every entry carries the exe's time, so the same exe and texts
make the same zip.
"""

import hashlib
import os
import re
import sys
import time
import zipfile
from pathlib import Path

EXE_NAME = "VantoriRulers.exe"
README_NAME = "README.txt"
LICENSE_NAME = "LICENSE"
SUMS_NAME = "SHA256SUMS"
UTF8_MARK = b"\xef\xbb\xbf"


def for_notepad(text):
    """Windows line endings, and the UTF-8 mark when any character is not ASCII."""
    data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return data if text.isascii() else UTF8_MARK + data


def readme_text(markdown):
    """The README without its pictures, which the zip does not hold: each says what it shows."""
    return re.sub(r"!\[([^\]]*)\]\([^)]*\)", r"[picture: \1]", markdown)


def sums(files):
    """SHA256SUMS as `sha256sum` writes it: the hash, two spaces, the name."""
    return "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)


def pack(out, exe, readme, licence):
    files = [
        (EXE_NAME, Path(exe).read_bytes()),
        (README_NAME, for_notepad(readme_text(Path(readme).read_text(encoding="utf-8")))),
        (LICENSE_NAME, for_notepad(Path(licence).read_text(encoding="utf-8"))),
    ]
    files.append((SUMS_NAME, sums(files).encode("ascii")))
    stamp = time.localtime(max(os.path.getmtime(exe), 315532800))[:6]  # zip dates start in 1980
    out = Path(out)
    out.parent.mkdir(parents=True, exist_ok=True)
    # Written beside and renamed: a failed run leaves no half zip that looks finished.
    part = out.with_name(out.name + ".part")
    with zipfile.ZipFile(part, "w", zipfile.ZIP_DEFLATED) as zf:
        for name, data in files:
            entry = zipfile.ZipInfo(name, stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            zf.writestr(entry, data)
    part.replace(out)
    return out


def main():
    if len(sys.argv) != 5:
        sys.exit("usage: make_dist.py OUT.zip VantoriRulers.exe README.md LICENSE")
    print(pack(*sys.argv[1:]))


if __name__ == "__main__":
    main()
