#!/usr/bin/env python3
"""The real game on an 80 x 25 pseudo-terminal that answers as a terminal with the keyboard
protocol does: how fast it starts, how much processor it takes while idle, how quickly a key
reaches the screen, and how much memory it takes walking through every world of a data folder.

    terminal_bench.py [--quick] THARVOK DATA_DIR

prints one line per figure: NAME VALUE (milliseconds, percent of one core, or kibibytes). With
--quick every measurement runs briefly, once (the test suite's smoke run). The exit status is 0
when the walk reached every world and the game quit with status 0.
"""
import collections
import fcntl
import os
import pty
import select
import signal
import statistics
import struct
import sys
import termios
import time

PROBE = b"\x1b[?u\x1b[c"
# A terminal that speaks the keyboard protocol: its flags, then its device attributes.
ANSWER = b"\x1b[?0u\x1b[?62;22c"
CLEAR = b"\x1b[2J"
PLAYER = "\u263b".encode()
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from start_world import STEM as START  # noqa: E402
BLOCKING = set(b";0~+ ")

# Keyboard protocol reports: press and release of a key.
KEYS = {
    "UP": (b"\x1b[1;1:1A", b"\x1b[1;1:3A"),
    "DOWN": (b"\x1b[1;1:1B", b"\x1b[1;1:3B"),
    "RIGHT": (b"\x1b[1;1:1C", b"\x1b[1;1:3C"),
    "LEFT": (b"\x1b[1;1:1D", b"\x1b[1;1:3D"),
    "ENTER": (b"\x1b[13;1:1u", b"\x1b[13;1:3u"),
    "ESC": (b"\x1b[27;1:1u", b"\x1b[27;1:3u"),
    "E": (b"\x1b[101;1:1u", b"\x1b[101;1:3u"),
    "TAB": (b"\x1b[9;1:1u", b"\x1b[9;1:3u"),
}


class Game:
    """The game in a pseudo-terminal of its own."""

    def __init__(self, exe, data):
        self.started = time.perf_counter()
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            try:
                # The size is set before the game starts, which asks for it at once.
                fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
                os.chdir(data)
                os.environ["TERM"] = "xterm-256color"
                os.execv(exe, [exe])
            finally:
                os._exit(127)
        self.output = bytearray()
        self.first_frame = None

    def pump(self, seconds, until=None):
        """Reads what the game writes for `seconds`, answering its queries; True once `until`
        (bytes) has been seen."""
        end = time.perf_counter() + seconds
        while True:
            left = end - time.perf_counter()
            if left <= 0:
                return False
            ready, _, _ = select.select([self.fd], [], [], left)
            if not ready:
                continue
            try:
                data = os.read(self.fd, 65536)
            except OSError:
                return False
            now = time.perf_counter()
            seen = len(self.output)
            self.output += data
            if PROBE in self.output[max(0, seen - len(PROBE)):]:
                os.write(self.fd, ANSWER)
            if self.first_frame is None and CLEAR in self.output:
                self.first_frame = now
            if until is not None and until in self.output[max(0, seen - len(until)):]:
                return True

    def tap(self, name, wait=0.006):
        press, release = KEYS[name]
        try:
            os.write(self.fd, press + release)
        except OSError:
            return  # the game has ended
        self.pump(wait)

    def step(self, name):
        """A tap that moves the player: waits for the frame that answers it, whose last drawing
        is the player's glyph, and a few frames more, so that the game sees the key up before the
        next tap. A tap that lands in the frame after another of the same key looks held and
        moves nothing; it is tapped again. False when no step came."""
        press, release = KEYS[name]
        for patience in (0.3, 2.0):
            seen = len(self.output)
            os.write(self.fd, press + release)
            end = time.perf_counter() + patience
            while PLAYER not in self.output[seen:] and time.perf_counter() < end:
                self.pump(0.002)
            if PLAYER in self.output[seen:]:
                self.pump(0.008)
                return True
        return False

    def cpu_seconds(self):
        with open(f"/proc/{self.pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def peak_kib(self):
        with open(f"/proc/{self.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        return 0

    def quit(self, playing=False):
        """Escape (to the menu first when playing); the exit status."""
        if playing:
            self.tap("ESC", 0.05)
        self.tap("ESC", 0.05)
        self.pump(0.5)
        for _ in range(100):
            done, status = os.waitpid(self.pid, os.WNOHANG)
            if done:
                os.close(self.fd)
                return os.waitstatus_to_exitcode(status)
            time.sleep(0.02)
        os.kill(self.pid, signal.SIGKILL)
        os.waitpid(self.pid, 0)
        os.close(self.fd)
        return None


def read_world(data, stem):
    folder = os.path.join(data, "bin", "world")
    with open(os.path.join(folder, stem + ".wgf"), "rb") as f:
        rows = f.read().replace(b"\r\n", b"\n").split(b"\n")
    grid = [(rows[y] if y < len(rows) else b"").ljust(80, b" ")[:80] for y in range(25)]
    with open(os.path.join(folder, stem + ".wif"), "rb") as f:
        words = f.read().split()
    links = {}
    for i in range(int(words[2])):
        caption, target, x, y, tx, ty = words[3 + 6 * i:9 + 6 * i]
        links.setdefault((int(x), int(y)), (target.decode(), min(int(tx), 79), min(int(ty), 24)))
    return grid, links


def plan_walk(data):
    """Taps that take the player from the start through every world reachable, found by
    breadth-first search over (world, cell); with the cell where the walk ends."""
    worlds = {}

    def world(stem):
        if stem not in worlds:
            worlds[stem] = read_world(data, stem)
        return worlds[stem]

    state = (START, 40, 12)
    visited = {START}
    taps = []
    while True:
        previous = {state: None}
        queue = collections.deque([state])
        goal = None
        while queue:
            here = queue.popleft()
            stem, x, y = here
            if stem not in visited:
                goal = here
                break
            grid, links = world(stem)
            moves = [("RIGHT", x + 1, y), ("LEFT", x - 1, y), ("DOWN", x, y + 1), ("UP", x, y - 1)]
            for key, nx, ny in moves:
                if 0 <= nx < 80 and 0 <= ny < 25 and grid[ny][nx] not in BLOCKING:
                    nxt = (stem, nx, ny)
                    if nxt not in previous:
                        previous[nxt] = (here, key)
                        queue.append(nxt)
            if grid[y][x] == ord("-") and (x, y) in links:
                target, tx, ty = links[(x, y)]
                if os.path.exists(os.path.join(data, "bin", "world", target + ".wgf")):
                    nxt = (target, tx, ty)
                    if nxt not in previous:
                        previous[nxt] = (here, "E")
                        queue.append(nxt)
        if goal is None:
            return taps, state, len(visited)
        path = []
        step = goal
        while previous[step] is not None:
            step, key = previous[step]
            path.append(key)
        taps += reversed(path)
        visited.add(goal[0])
        state = goal


def start_up(exe, data, runs):
    times = []
    for _ in range(runs):
        game = Game(exe, data)
        game.pump(2.0, until=CLEAR)
        if game.first_frame is not None:
            times.append((game.first_frame - game.started) * 1000)
        game.pump(0.05)
        game.quit()
    return statistics.median(times) if times else float("nan")


def idle_cpu(game, seconds):
    cpu, wall = game.cpu_seconds(), time.perf_counter()
    game.pump(seconds)
    return 100 * (game.cpu_seconds() - cpu) / (time.perf_counter() - wall)


def latencies(game, count):
    """Key to screen: a tap of Down in the menu, to the first byte of the frame that answers it."""
    samples = []
    for _ in range(count):
        press, release = KEYS["DOWN"]
        seen = len(game.output)
        sent = time.perf_counter()
        os.write(game.fd, press + release)
        while len(game.output) == seen:
            ready, _, _ = select.select([game.fd], [], [], 1.0)
            if not ready:
                break
            game.output += os.read(game.fd, 65536)
        samples.append((time.perf_counter() - sent) * 1000)
        game.pump(0.01)
    samples.sort()
    return statistics.median(samples), samples[min(len(samples) - 1, int(len(samples) * 0.99))]


def main():
    args = sys.argv[1:]
    quick = args[:1] == ["--quick"]
    args = args[1:] if quick else args
    if len(args) != 2:
        print(__doc__)
        return 2
    exe, data = os.path.abspath(args[0]), os.path.abspath(args[1])
    print(f"start-up-ms {start_up(exe, data, 2 if quick else 20):.1f}")

    game = Game(exe, data)
    game.pump(1.0)
    idle = 0.5 if quick else 4.0
    print(f"idle-cpu-menu {idle_cpu(game, idle):.2f}")
    median, p99 = latencies(game, 20 if quick else 300)
    print(f"latency-median-ms {median:.2f}")
    print(f"latency-p99-ms {p99:.2f}")
    # Back on "New Game " (a multiple of five taps of Down from it), then into play.
    game.pump(0.1)
    game.tap("ENTER", 0.1)
    print(f"idle-cpu-play {idle_cpu(game, idle):.2f}")

    taps, (_, x, y), worlds = plan_walk(data)
    walked = all(game.step(key) for key in taps)
    press, _ = KEYS["TAB"]
    os.write(game.fd, press)
    where = f"X:{x:02d} Y:{y:02d}".encode()
    arrived = walked and game.pump(1.0, until=where)
    os.write(game.fd, KEYS["TAB"][1])
    game.pump(0.05)
    print(f"worlds-walked {worlds if arrived else 0}")
    print(f"peak-rss-kib {game.peak_kib()}")
    status = game.quit(playing=True)
    return 0 if arrived and status == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
