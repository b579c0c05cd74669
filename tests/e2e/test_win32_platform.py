"""The Win32 layer's own checks (registry kinds, text masks, window messages), run under Wine on a display."""

import os
import sys
from pathlib import Path

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

TESTS_EXE = Path(os.environ.get("VR_EXE", vrtest.EXE)).with_name("vr_win32_tests.exe")


class Win32Platform(vrtest.RulerTestCase):
    def test_platform_checks_pass(self):
        code, out = self.s.wine(TESTS_EXE, timeout=300, check=False)
        print(out)
        self.assertEqual(code, 0, out)
        self.assertRegex(out, r"\d+ passed, 0 failed")


if __name__ == "__main__":
    vrtest.main()
