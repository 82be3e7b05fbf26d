#!/usr/bin/env python3
"""The game as a user installs and starts it.

    install_test.py BUILD_DIR SOURCE_DIR search|install|package

search:  where tharvok looks for its data and its config.ini, in order (from --help's report);
install: `cmake --install` into a fresh prefix, then the installed game started from an
         unrelated folder on a pseudo-terminal, up to the title screen; the man page's keys are
         the keys --help reports for the shipped config.ini; every relative link of the
         installed README and guides leads to an installed file;
package: the .deb's control fields and contents (dpkg-deb) and Debian's lintian (no errors, no
         program without a manual page), and
         the .tar.gz unpacked elsewhere finding its own data.
"""
import fcntl
import gzip
import os
import pty
import re
import select
import shutil
import struct
import subprocess
import sys
import tarfile
import tempfile
import termios
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from start_world import STEM as START  # noqa: E402
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(args, cwd, env=None):
    return subprocess.run(args, cwd=cwd, env=env, capture_output=True, text=True, timeout=120)


def clean_env(home):
    env = {k: v for k, v in os.environ.items() if k not in ("XDG_CONFIG_HOME", "HOME")}
    env["HOME"] = home
    env["TERM"] = "xterm-256color"
    return env


def world_folder(folder):
    """A minimal data folder: a start world and a config.ini binding U for up."""
    os.makedirs(os.path.join(folder, "bin", "world"), exist_ok=True)
    with open(os.path.join(folder, "bin", "world", START + ".wgf"), "w") as f:
        f.write(("." * 80 + "\n") * 25)
    with open(os.path.join(folder, "bin", "world", START + ".wif"), "w") as f:
        f.write("Test place 0\n")
    with open(os.path.join(folder, "config.ini"), "w") as f:
        f.write("cMoveUp = U\n")


def help_report(exe, cwd, env, *args):
    """The folders --help lists (the one in use marked) and the config file it names."""
    out = run([exe, "--help", *args], cwd, env).stdout
    folders = re.findall(r"^([* ]) (/.*)$", out, re.M)
    config = re.search(r"^keys \(as (.*) binds them\):$", out, re.M)
    used = [path for mark, path in folders if mark == "*"]
    return [path for _, path in folders], (used[0] if used else None), \
        (config.group(1) if config else None), out


def check_search(exe, name, cwd, args, env, listed, used, config):
    folders, in_use, named, _ = help_report(exe, cwd, env, *args)
    check(folders == listed, f"{name}: folders {folders}, expected {listed}")
    check(in_use == used, f"{name}: uses {in_use}, expected {used}")
    check(named == config, f"{name}: config {named}, expected {config}")


def replay_from_elsewhere(replay, cwd, env, data):
    """A recording whose data folder is on another machine, played in `cwd` without --data as the
    README's bug report plays it: checks it plays as with --data `data`, saying so in one line."""
    with open(os.path.join(cwd, "bug.replay"), "w") as f:
        f.write("# A game of tharvok 1.0.0. To play it back: tharvok-replay THIS-FILE\n"
                "data /home/someone/tharvok\nframe 16 ENTER\nframes 5 16 DOWN\nframe 16\n")
    given = run([replay, "--data", data, "--final-screen", "given.txt", "--attrs", "bug.replay"],
                cwd, env)
    found = run([replay, "--final-screen", "last.txt", "--attrs", "bug.replay"], cwd, env)
    check(given.returncode == 0 and found.returncode == 0,
          f"replays exit {given.returncode} and {found.returncode}: {found.stderr}")
    with open(os.path.join(cwd, "given.txt")) as a, open(os.path.join(cwd, "last.txt")) as b:
        check(a.read() == b.read(), "the data found plays as the data given")
    said = ("tharvok-replay: neither the data folder the recording names, '/home/someone/tharvok',"
            f" nor the working directory holds the start world: played with '{data}'\n")
    check(found.stderr == said, f"replay without --data says {found.stderr!r}, not {said!r}")


def test_search(build):
    exe = os.path.join(build, "tharvok")
    with tempfile.TemporaryDirectory() as tmp:
        tmp = os.path.realpath(tmp)
        home, elsewhere, worlds, xdg = (os.path.join(tmp, n) for n in ("home", "elsewhere", "worlds", "xdg"))
        for folder in (home, elsewhere):
            os.makedirs(folder)
        world_folder(worlds)
        env = clean_env(home)
        order = [elsewhere, build, os.path.normpath(os.path.join(build, "..", "share", "tharvok"))]
        cases = [
            # name, working directory, arguments, environment, folders listed, folder used, config
            ("the build folder, from elsewhere", elsewhere, [], env, order, build,
             os.path.join(build, "config.ini")),
            ("the working directory first", worlds, [], env, [worlds] + order[1:], worlds,
             os.path.join(worlds, "config.ini")),
            ("--data only", elsewhere, ["--data", worlds], env, [worlds], worlds,
             os.path.join(worlds, "config.ini")),
            ("--data without worlds", elsewhere, ["--data", elsewhere], env, [elsewhere], None,
             os.path.join(elsewhere, "config.ini")),
        ]
        for case in cases:
            check_search(exe, *case)
        # Then a user's own config.ini: under $XDG_CONFIG_HOME, or else under ~/.config.
        own = os.path.join(xdg, "tharvok", "config.ini")
        home_own = os.path.join(home, ".config", "tharvok", "config.ini")
        for path in (own, home_own):
            os.makedirs(os.path.dirname(path))
            with open(path, "w") as f:
                f.write("cMoveUp = K\n")
        check_search(exe, "the user's own config.ini", elsewhere, [],
                     dict(env, XDG_CONFIG_HOME=xdg), order, build, own)
        check_search(exe, "~/.config without XDG_CONFIG_HOME", elsewhere, [], env, order, build,
                     home_own)
        # A user's own binding shows in the keys.
        _, _, _, out = help_report(exe, elsewhere, dict(env, XDG_CONFIG_HOME=xdg))
        check(re.search(r"^  move up +K$", out, re.M), "the user's binding of K is listed")
        # A recording from another machine plays with the data beside tharvok-replay.
        replay_from_elsewhere(os.path.join(build, "tharvok-replay"), elsewhere, env, build)
        # ... but a working directory that holds a start world comes first, silently.
        inside = run([os.path.join(build, "tharvok-replay"), os.path.join(elsewhere, "bug.replay")],
                     worlds, env)
        check(inside.returncode == 0 and inside.stderr == "",
              f"a recording played among worlds exits {inside.returncode}: {inside.stderr}")
        # No start world anywhere: exit 1 and every folder named.
        result = run([exe, "--data", elsewhere], elsewhere, env)
        check(result.returncode == 1, f"a start without worlds exits {result.returncode}")


def start_on_terminal(exe, cwd, env):
    """Starts `exe` on an 80 x 25 pseudo-terminal; True once the title screen shows, then quits."""
    pid, fd = pty.fork()
    if pid == 0:
        try:
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
            os.chdir(cwd)
            os.execve(exe, [exe], env)
        finally:
            os._exit(127)
    out = b""
    end = time.time() + 10
    while time.time() < end and "New Game".encode() not in out:
        ready, _, _ = select.select([fd], [], [], 0.1)
        if ready:
            try:
                out += os.read(fd, 65536)
            except OSError:
                break
    os.write(fd, b"\x1b")
    end = time.time() + 5
    status = None
    while time.time() < end:
        done, code = os.waitpid(pid, os.WNOHANG)
        if done:
            status = os.waitstatus_to_exitcode(code)
            break
        try:
            if select.select([fd], [], [], 0.05)[0]:
                os.read(fd, 65536)
        except OSError:
            pass
    os.close(fd)
    return b"New Game" in out, status


def man_keys(page):
    with gzip.open(page, "rt") as f:
        text = f.read()
    section = text.split(".SH KEYS", 1)[1].split(".SH ", 1)[0]
    return re.findall(r"^\.TP(?: \d+)?\n\\fB(.+)\\fR\n(.+)$", section, re.M)


def help_keys(exe, data):
    out = run([exe, "--help", "--data", data], data).stdout
    block = out.split(" binds them):\n", 1)[1].split("\n\n", 1)[0]
    return [(keys, action.strip()) for action, keys in
            (re.match(r"  (.+?)  +(.+)$", line).groups() for line in block.splitlines())]


def check_links(docs):
    """Every relative link and picture of the installed pages leads to an installed file."""
    pages = [os.path.join(top, name) for top, _, names in os.walk(docs) for name in names
             if name.endswith(".md")]
    check(len(pages) >= 3, f"the README and the guides installed: {pages}")
    for page in pages:
        with open(page) as f:
            targets = re.findall(r"\]\(([^)\s]+)\)|<img [^>]*src=\"([^\"]+)\"", f.read())
        for target in (a or b for a, b in targets):
            if re.match(r"[a-z]+:|#", target):
                continue
            path = os.path.join(os.path.dirname(page), target.split("#")[0])
            check(os.path.isfile(path), f"{os.path.relpath(page, docs)} links to {target}, "
                  "which is not installed")


def test_install(build, source):
    with tempfile.TemporaryDirectory() as tmp:
        prefix = os.path.join(tmp, "prefix")
        result = run(["cmake", "--install", build, "--prefix", prefix], tmp)
        check(result.returncode == 0, "cmake --install: " + result.stderr)
        for path in ("bin/tharvok", "bin/tharvok-replay", "bin/tharvok-world",
                     "share/tharvok/config.ini", f"share/tharvok/bin/world/{START}.wgf",
                     "share/man/man6/tharvok.6.gz", "share/man/man1/tharvok-replay.1.gz",
                     "share/man/man1/tharvok-world.1.gz", "share/doc/tharvok/copyright",
                     "share/doc/tharvok/README.md", "share/doc/tharvok/docs/worlds.md",
                     "share/doc/tharvok/docs/development.md"):
            check(os.path.exists(os.path.join(prefix, path)), f"installed {path}")
        check_links(os.path.join(prefix, "share", "doc", "tharvok"))
        home = os.path.join(tmp, "home")
        os.makedirs(home)
        # The installed world tool writes only where it is told: new fails in a folder without
        # worlds, and init copies the installed worlds into a folder of the author's own.
        tool = os.path.join(prefix, "bin", "tharvok-world")
        shipped = os.path.join(prefix, "share", "tharvok", "bin", "world")
        before = sorted(os.listdir(shipped))
        made = run([tool, "new", "Quiet", "glade"], home, clean_env(home))
        check(made.returncode == 2 and "tharvok-world init" in made.stderr,
              f"new in a folder without worlds exits {made.returncode}: {made.stderr}")
        mine = os.path.join(tmp, "mine")
        check(run([tool, "init", mine], home, clean_env(home)).returncode == 0, "init DIR")
        checked = run([tool, "check", "--data", mine], home, clean_env(home))
        check(checked.returncode == 0, "the copied worlds check clean: " + checked.stdout)
        check(sorted(os.listdir(shipped)) == before, "nothing written into the installed worlds")
        # The installed replay runner plays a recording from another machine with the data in
        # ../share/tharvok from it.
        replay_from_elsewhere(os.path.join(prefix, "bin", "tharvok-replay"), home, clean_env(home),
                              os.path.realpath(os.path.join(prefix, "share", "tharvok")))
        shown, status = start_on_terminal(os.path.join(prefix, "bin", "tharvok"), home,
                                          clean_env(home))
        check(shown, "the installed game shows its title screen from an unrelated folder")
        check(status == 0, f"the installed game quits with status {status}")
        page = os.path.join(prefix, "share", "man", "man6", "tharvok.6.gz")
        expected = [(keys.replace("\\-", "-"), action) for keys, action in man_keys(page)]
        check(help_keys(os.path.join(prefix, "bin", "tharvok"),
                        os.path.join(prefix, "share", "tharvok")) == expected,
              "the man page's keys are the keys --help lists for the shipped config.ini")


def test_package(build):
    with tempfile.TemporaryDirectory() as tmp:
        result = run(["cpack", "-G", "DEB;TGZ", "-B", tmp], build)
        check(result.returncode == 0, "cpack: " + result.stdout + result.stderr)
        debs = [f for f in os.listdir(tmp) if f.endswith(".deb")]
        tars = [f for f in os.listdir(tmp) if f.endswith(".tar.gz")]
        check(len(debs) == 1 and len(tars) == 1, f"one .deb and one .tar.gz: {os.listdir(tmp)}")
        if len(debs) != 1 or len(tars) != 1:
            return
        deb = os.path.join(tmp, debs[0])
        info = run(["dpkg-deb", "--field", deb], tmp).stdout
        for field in ("Package: tharvok", "Section: games", "Priority: optional",
                      "Architecture:", "Maintainer:", "Depends: libc6", "Description:"):
            check(field in info, f"control field {field}")
        contents = run(["dpkg-deb", "--contents", deb], tmp).stdout
        for path in ("./usr/games/tharvok", "./usr/bin/tharvok-world", "./usr/bin/tharvok-replay",
                     f"./usr/share/tharvok/bin/world/{START}.wgf", "./usr/share/tharvok/config.ini",
                     "./usr/share/man/man6/tharvok.6.gz", "./usr/share/man/man1/tharvok-replay.1.gz",
                     "./usr/share/man/man1/tharvok-world.1.gz", "./usr/share/doc/tharvok/copyright",
                     "./usr/share/doc/tharvok/changelog.gz", "./usr/share/doc/tharvok/docs/worlds.md",
                     "./usr/share/doc/tharvok/docs/pictures/title.svg"):
            check(re.search(r" " + re.escape(path) + "$", contents, re.M), f"the .deb holds {path}")
        lint = run(["lintian", "--allow-root", deb], tmp)
        errors = [line for line in lint.stdout.splitlines() if line.startswith("E:")]
        check(not errors, "lintian errors: " + "; ".join(errors))
        pages = [line for line in lint.stdout.splitlines() if "no-manual-page" in line]
        check(not pages, "programs without a manual page: " + "; ".join(pages))
        # The archive works wherever it is unpacked.
        unpacked = os.path.join(tmp, "unpacked")
        with tarfile.open(os.path.join(tmp, tars[0])) as archive:
            archive.extractall(unpacked)
        top = os.path.join(unpacked, os.listdir(unpacked)[0])
        home = os.path.join(tmp, "home")
        os.makedirs(home)
        _, used, _, _ = help_report(os.path.join(top, "bin", "tharvok"), home, clean_env(home))
        check(used == os.path.join(top, "share", "tharvok"), f"the unpacked archive uses {used}")


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    build, source, what = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2]), sys.argv[3]
    {"search": lambda: test_search(build), "install": lambda: test_install(build, source),
     "package": lambda: test_package(build)}[what]()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
