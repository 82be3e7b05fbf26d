#!/usr/bin/env python3
"""The whole adventure by ear: plays the shipped worlds through tharvok-replay fed on a pipe,
deciding each next key from what the game says alone (never from the screen), until every world
has been visited.

The player describes (D), picks a path it has not followed yet (or, when every path here has been
tried, one that leads back toward a world with paths still untried), walks to it one step at a
time, keeping each step that brings the path one step nearer by the next describe, and follows it
with E.

    by_ear_test.py TOOL DATA_DIR WORLD_COUNT
"""
import re
import subprocess
import sys

WHERE = re.compile(r"^(.+), at (\d+), (\d+)\.$")
PATH = re.compile(r"^Path: (.+), (?:here|([a-z-]+), (\d+) steps?)\.$")
DIRECTIONS = {
    "north": ["UP"], "north-east": ["UP", "RIGHT"], "east": ["RIGHT"],
    "south-east": ["DOWN", "RIGHT"], "south": ["DOWN"], "south-west": ["DOWN", "LEFT"],
    "west": ["LEFT"], "north-west": ["UP", "LEFT"],
}
OPPOSITE = {"UP": "DOWN", "DOWN": "UP", "LEFT": "RIGHT", "RIGHT": "LEFT"}
MAX_COMMANDS = 20000


class Player:
    def __init__(self, tool, data):
        self.game = subprocess.Popen([tool, "--dir", data, "-"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, bufsize=1)
        self.commands = 0

    def send(self, lines):
        """Runs script lines and returns what the game said meanwhile. "cursor" marks the end of
        the sentences (its line is the only one that is not a sentence)."""
        self.commands += 1
        if self.commands > MAX_COMMANDS:
            raise SystemExit("FAIL: the adventure did not end in %d moves" % MAX_COMMANDS)
        self.game.stdin.write("".join(line + "\n" for line in lines) + "said\ncursor\n")
        self.game.stdin.flush()
        said = []
        while True:
            line = self.game.stdout.readline()
            if not line:
                raise SystemExit("FAIL: tharvok-replay ended early")
            if line.startswith("cursor "):
                return said
            said.append(line.rstrip("\n"))

    def press(self, keys):
        return self.send(["frame 16 " + " ".join(keys), "frame 16"])

    def describe(self, keys=()):
        """Presses `keys` (if any), then D: (what was said, (world, x, y), [(caption, distance,
        direction)])."""
        said = self.send((["frame 16 " + " ".join(keys), "frame 16"] if keys else []) +
                         ["frame 16 D", "frame 16"])
        where = None
        paths = []
        for sentence in said:
            found = WHERE.match(sentence)
            if found:
                where = (found.group(1), int(found.group(2)), int(found.group(3)))
                paths = []
            found = PATH.match(sentence)
            if found and where is not None:
                distance = int(found.group(3)) if found.group(3) else 0
                paths.append((found.group(1), distance, found.group(2)))
        return said, where, paths


def nearest(paths, caption):
    distances = [(d, direction) for c, d, direction in paths if c == caption]
    return min(distances) if distances else None


def walk_to(player, caption, where, paths):
    """Steps toward the path with `caption` until the player stands on it."""
    target = nearest(paths, caption)
    while target[0] > 0:
        distance, direction = target
        tries = [direction] + [d for d in DIRECTIONS if d != direction]
        for way in tries:
            _, now_at, after = player.describe(DIRECTIONS[way])
            now = nearest(after, caption)
            if now is not None and now[0] < distance:
                target = now
                where = now_at
                break
            if now_at != where:  # a step that was not refused is taken back
                player.press([OPPOSITE[k] for k in DIRECTIONS[way]])
        else:
            raise SystemExit("FAIL: no step brings %r nearer" % caption)


def main():
    tool, data, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    player = Player(tool, data)
    said = player.send(["frame 16 ENTER", "frame 16"])
    world = WHERE.match(said[-1]).group(1)
    visited = {world}
    tried = {}   # world -> {caption: the world it led to}
    known = {}   # world -> the captions of the paths heard there
    while len(visited) < count:
        _, where, paths = player.describe()
        world = where[0]
        tried.setdefault(world, {})
        known.setdefault(world, set()).update(c for c, _, _ in paths)
        # A caption that names a world already seen ("Village" there) is left for last.
        seen = " ".join(visited).lower().split()
        untried = [c for c, _, _ in sorted(paths, key=lambda p: (p[0].lower() in seen, p[1]))
                   if c not in tried[world]]
        if untried:
            caption = untried[0]
        else:
            caption = route_onward(world, tried, known, [c for c, _, _ in paths])
        walk_to(player, caption, where, paths)
        said = player.press(["E"])
        arrived = [WHERE.match(s) for s in said if WHERE.match(s)]
        if not arrived:
            raise SystemExit("FAIL: following %r in %s said %r" % (caption, world, said))
        tried[world][caption] = arrived[-1].group(1)
        visited.add(arrived[-1].group(1))
        print("%s --%s--> %s" % (world, caption, arrived[-1].group(1)))
    player.game.stdin.close()
    player.game.wait()
    print("visited all %d worlds in %d moves" % (len(visited), player.commands))


def route_onward(world, tried, known, here):
    """The caption here that starts the shortest known way to a world with paths untried (or
    never described)."""
    queue = [(world, None)]
    seen = {world}
    while queue:
        place, first = queue.pop(0)
        if place != world and (place not in known or known[place] - set(tried[place])):
            return first
        for caption, target in tried.get(place, {}).items():
            if target not in seen and (place != world or caption in here):
                seen.add(target)
                queue.append((target, first or caption))
    # Every known world is exhausted: any path here.
    return here[0]


if __name__ == "__main__":
    main()
