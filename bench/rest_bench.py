#!/usr/bin/env python3
"""What the game costs while it rests (no key down): wake-ups per second (context switches of
its threads) and processor share, on the title screen and in play, for one back end.

    rest_bench.py terminal THARVOK DATA_DIR            the game on an 80 x 25 pseudo-terminal
    rest_bench.py wine WINE_RUN PREFIX THARVOK_EXE     tharvok.exe under wine, same terminal
    rest_bench.py page PAGE_DIR CHROMIUM               the page in headless Chromium: animation
                                                       frames per second and the renderer's share
    [--seconds N]                                      how long each rest is measured (10)

prints one line per figure: NAME VALUE (per second, or percent of one core).
"""
import fcntl
import os
import pty
import re
import select
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TICKS = os.sysconf("SC_CLK_TCK")


def process_cost(pid):
    """(processor seconds, context switches) of a process so far, over all its threads."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / TICKS
    switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as status:
                for line in status:
                    if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")):
                        switches += int(line.split()[1])
        except FileNotFoundError:
            pass
    return cpu, switches


def rest_of(pids, seconds, pump):
    """Wake-ups per second and percent of a core of the processes over `seconds` of rest."""
    before = [process_cost(pid) for pid in pids]
    started = time.monotonic()
    pump(seconds)
    after = [process_cost(pid) for pid in pids]
    wall = time.monotonic() - started
    cpu = sum(a[0] - b[0] for a, b in zip(after, before))
    switches = sum(a[1] - b[1] for a, b in zip(after, before))
    return switches / wall, 100 * cpu / wall


class Terminal:
    """A program on the slave side of an 80 x 25 pseudo-terminal, answering the game's start-up
    queries as a terminal without the keyboard protocol does."""

    def __init__(self, argv, cwd):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            try:
                fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
                os.chdir(cwd)
                os.environ["TERM"] = "xterm-256color"
                os.execv(argv[0], argv)
            finally:
                os._exit(127)
        self.output = bytearray()

    def pump(self, seconds):
        end = time.monotonic() + seconds
        while (left := end - time.monotonic()) > 0:
            if select.select([self.fd], [], [], left)[0]:
                try:
                    data = os.read(self.fd, 65536)
                except OSError:
                    return
                self.output += data
                if b"\x1b[c" in data:
                    os.write(self.fd, b"\x1b[?62;22c")

    def wait_for(self, text, seconds=60):
        end = time.monotonic() + seconds
        while text not in self.output and time.monotonic() < end:
            self.pump(0.1)
        return text in self.output

    def close(self):
        try:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        except OSError:
            pass
        os.close(self.fd)


def settle(terminal, quiet=1.0, most=60.0):
    """Reads until the terminal has been sent nothing for `quiet` seconds."""
    end = time.monotonic() + most
    while time.monotonic() < end:
        seen = len(terminal.output)
        terminal.pump(quiet)
        if len(terminal.output) == seen:
            return


def game_pid(terminal, program):
    """The process that runs `program`: the terminal's child itself, or (under wine) the one
    whose command line names it."""
    for _ in range(100):
        for pid in [terminal.pid] + [int(p) for p in os.listdir("/proc") if p.isdigit()]:
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                    if os.path.basename(program).encode() in cmdline.read().split(b"\0")[0]:
                        return pid
            except OSError:
                pass
        time.sleep(0.1)
    return terminal.pid


def console_game(argv, cwd, program, seconds, name):
    terminal = Terminal(argv, cwd)
    try:
        if not terminal.wait_for(b"New Game"):
            raise SystemExit(f"rest_bench: {name} never showed its title")
        pid = game_pid(terminal, program)
        settle(terminal)
        wakeups, cpu = rest_of([pid], seconds, terminal.pump)
        print(f"{name}-wakeups-menu {wakeups:.1f}")
        print(f"{name}-cpu-menu {cpu:.2f}")
        os.write(terminal.fd, b"\r")
        # Wine's console draws the whole map slowly: the rest begins once the screen is still.
        settle(terminal)
        wakeups, cpu = rest_of([pid], seconds, terminal.pump)
        print(f"{name}-wakeups-play {wakeups:.1f}")
        print(f"{name}-cpu-play {cpu:.2f}")
    finally:
        terminal.close()


def page(page_dir, chromium, seconds):
    sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
    import browser_test  # the DevTools protocol over a pipe, as the page's test drives it

    profile = tempfile.mkdtemp(prefix="tharvok-bench-")
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "scripts", "web-serve"),
                               "--port", "0", "--dir", page_dir], stdout=subprocess.PIPE,
                              text=True)
    browser = None
    try:
        url = re.search(r"http://127\.0\.0\.1:\d+/", server.stdout.readline()).group(0)
        browser = browser_test.Browser(chromium, profile)
        target = browser.send("Target.createTarget", url="about:blank")["targetId"]
        browser.session = browser.send("Target.attachToTarget", targetId=target,
                                       flatten=True)["sessionId"]
        browser.send("Runtime.enable")
        browser.send("Page.navigate", url=url)
        browser.wait_for("typeof Module._tharvok_screen === 'function' && "
                         "UTF8ToString(Module._tharvok_screen(0)).includes('> New Game')",
                         "the title")
        renderers = [int(p) for p in subprocess.run(
            ["pgrep", "-f", f"--type=renderer.*{profile}|{profile}.*--type=renderer"],
            capture_output=True, text=True).stdout.split()]
        renderers = renderers or [int(p) for p in subprocess.run(
            ["pgrep", "-P", str(browser.process.pid)], capture_output=True,
            text=True).stdout.split()]

        def frames_and_cpu(name):
            before = browser.evaluate("Module._tharvok_frame_count()")
            _, cpu = rest_of(renderers, seconds, time.sleep)
            frames = browser.evaluate("Module._tharvok_frame_count()") - before
            print(f"page-frames-{name} {frames / seconds:.1f}")
            print(f"page-cpu-{name} {cpu:.2f}")

        time.sleep(1.0)
        frames_and_cpu("menu")
        for kind in ("keyDown", "keyUp"):
            browser.key(kind, (13, "Enter"))
        time.sleep(2.0)
        frames_and_cpu("play")
    finally:
        if browser:
            browser.close()
        server.kill()
        server.wait()


def main():
    args = sys.argv[1:]
    seconds = 10.0
    if "--seconds" in args:
        at = args.index("--seconds")
        seconds = float(args[at + 1])
        del args[at:at + 2]
    if args[:1] == ["terminal"] and len(args) == 3:
        exe, data = os.path.abspath(args[1]), os.path.abspath(args[2])
        console_game([exe], data, exe, seconds, "terminal")
    elif args[:1] == ["wine"] and len(args) == 4:
        wine_run, prefix, exe = (os.path.abspath(a) for a in args[1:])
        console_game([wine_run, "--prefix", prefix, exe], os.path.dirname(exe), exe, seconds,
                     "wine")
    elif args[:1] == ["page"] and len(args) == 3:
        page(os.path.abspath(args[1]), args[2], seconds)
    else:
        print(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
