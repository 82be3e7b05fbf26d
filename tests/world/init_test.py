#!/usr/bin/env python3
"""tharvok-world init in each place: the status and message that say what happened, and after a
failure the place exactly as it was, after a success the game's files byte for byte.
usage: init_test.py THARVOK_WORLD"""
import os
import pathlib
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

WORLD = os.path.abspath(sys.argv.pop(1))
SHIPPED = os.path.dirname(WORLD)


def full_disk():
    """No file may grow past 100 bytes: a write is cut short, the next one fails."""
    resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)


def tree(top):
    """Each path under `top`: where a link leads, "folder", or a file's bytes."""
    found = {}
    for root, dirs, files in os.walk(top):
        for path in (os.path.join(root, name) for name in dirs + files):
            found[os.path.relpath(path, top)] = (
                "-> " + os.readlink(path) if os.path.islink(path) else
                "folder" if os.path.isdir(path) else pathlib.Path(path).read_bytes())
    return found


class Init(unittest.TestCase):
    def test_each_place_gets_a_whole_copy_or_is_left_as_it_was(self):
        # (what, shell commands preparing a scratch folder, DIR in it, limit, status, stderr)
        cases = (
            ("a new folder", "", "mine", None, 0, ""),
            ("a new folder in new folders", "", "a/b/mine", None, 0, ""),
            ("an empty folder", "mkdir mine", "mine", None, 0, ""),
            ("an empty name", "mkdir other", "", None, 2,
             "tharvok-world init: DIR is empty: name the folder to make (\".\" for the working "
             "directory)\nusage: tharvok-world init DIR\n"),
            ("a folder that is not empty", "mkdir mine && touch mine/notes", "mine", None, 1,
             "tharvok-world init: 'mine' is not empty: name a new folder\n"),
            ("a path under a file", "touch file", "file/mine", None, 1,
             "tharvok-world init: cannot make the folder 'file/mine': Not a directory; nothing "
             "was made\n"),
            ("a symbolic link to nothing", "ln -s none link", "link", None, 1,
             "tharvok-world init: 'link' is a symbolic link to 'none', which does not exist: name "
             "a new folder\n"),
            ("a symbolic link to a full device", "ln -s /dev/full full", "full", None, 1,
             "tharvok-world init: 'full' is a file, not a folder: name a new folder\n"),
            ("a place where no folder can be made", "", "/proc/tharvok/mine", None, 1,
             "tharvok-world init: cannot make the folder '/proc/tharvok': No such file or "
             "directory; nothing was made\n"),
            ("a full disk in a new folder", "", "a/b/mine", full_disk, 1,
             "tharvok-world init: cannot write 'a/b/mine/config.ini': File too large; nothing "
             "was made\n"),
            ("a full disk in an empty folder", "mkdir mine", "mine", full_disk, 1,
             "tharvok-world init: cannot write 'mine/config.ini': File too large; 'mine' is as it "
             "was\n"),
        )
        shipped = {path: what for path, what in tree(SHIPPED).items()
                   if path == "config.ini" or path.startswith("bin")}
        for what, prepare, target, limit, status, err in cases:
            with self.subTest(what):
                scratch = tempfile.mkdtemp(prefix="tharvok-init-")
                self.addCleanup(shutil.rmtree, scratch, True)
                subprocess.run(["sh", "-c", prepare], cwd=scratch, check=True)
                before = tree(scratch)
                run = subprocess.run([WORLD, "init", target], cwd=scratch, capture_output=True,
                                     text=True, preexec_fn=limit, timeout=30)
                self.assertEqual(run.returncode, status, run.stderr)
                self.assertEqual(run.stderr, err)
                if status != 0:
                    self.assertEqual(run.stdout, "")
                    self.assertEqual(tree(scratch), before)
                    continue
                self.assertEqual(run.stdout, f"Copied config.ini and 8 worlds from {SHIPPED} into "
                                 f"{target}.\nPlay them with: tharvok --data {target}\n")
                self.assertEqual(tree(os.path.join(scratch, target)), shipped)


if __name__ == "__main__":
    unittest.main()
