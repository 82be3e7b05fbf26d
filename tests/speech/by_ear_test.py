#!/usr/bin/env python3
"""The whole adventure by ear: plays the shipped worlds through tharvok-replay fed on a pipe,
choosing every key from what the game says (never the screen) until all worlds are visited:
describe, pick a path not followed yet whose caption names no world already seen (or the first
step back toward a world with paths untried), walk to it keeping each step that the next describe
finds one step nearer, and follow it.

    by_ear_test.py TOOL DATA_DIR WORLD_COUNT
"""
import re
import subprocess
import sys

WHERE = re.compile(r"^(.+), at (\d+), (\d+)\.$")
PATH = re.compile(r"^Path: (.+), (?:here|([a-z-]+), (\d+) steps?)\.$")
WAYS = {"north": ["UP"], "north-east": ["UP", "RIGHT"], "east": ["RIGHT"],
        "south-east": ["DOWN", "RIGHT"], "south": ["DOWN"], "south-west": ["DOWN", "LEFT"],
        "west": ["LEFT"], "north-west": ["UP", "LEFT"]}
BACK = {"UP": "DOWN", "DOWN": "UP", "LEFT": "RIGHT", "RIGHT": "LEFT"}


class Player:
    def __init__(self, tool, data):
        self.game = subprocess.Popen([tool, "--dir", data, "-"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)
        self.moves = 0

    def press(self, *keys, describe=False):
        """Taps the keys (then D), and returns what was said; "cursor" ends the sentences."""
        self.moves += 1
        if self.moves > 20000:
            sys.exit("FAIL: the adventure did not end")
        script = ["frame 16 " + " ".join(keys), "frame 16"] if keys else []
        script += ["frame 16 D", "frame 16"] if describe else []
        self.game.stdin.write("\n".join(script + ["said", "cursor", ""]))
        self.game.stdin.flush()
        said = []
        for line in iter(self.game.stdout.readline, ""):
            if line.startswith("cursor "):
                return said
            said.append(line.rstrip("\n"))
        sys.exit("FAIL: tharvok-replay ended early")

    def describe(self, *keys):
        """After the keys: (world, x, y) and the paths, [(caption, steps, direction)]."""
        where, paths = None, []
        for sentence in self.press(*keys, describe=True):
            if WHERE.match(sentence):
                where, paths = WHERE.match(sentence).groups(), []
            elif PATH.match(sentence) and where:
                caption, direction, steps = PATH.match(sentence).groups()
                paths.append((caption, int(steps or 0), direction))
        return where, paths


def distance(paths, caption):
    return min(((s, d) for c, s, d in paths if c == caption), default=None)


def walk_to(player, caption, where, paths):
    steps, direction = distance(paths, caption)
    while steps > 0:
        for way in [direction] + [w for w in WAYS if w != direction]:
            now_at, after = player.describe(*WAYS[way])
            if distance(after, caption) and distance(after, caption)[0] < steps:
                (steps, direction), where = distance(after, caption), now_at
                break
            if now_at != where:  # a step that was not refused is taken back
                player.press(*[BACK[k] for k in WAYS[way]])
        else:
            sys.exit("FAIL: no step brings %r nearer" % caption)


def main():
    player, count = Player(sys.argv[1], sys.argv[2]), int(sys.argv[3])
    visited = {WHERE.match(player.press("ENTER")[-1]).group(1)}
    led = {}    # world -> {caption: the world it led to}
    heard = {}  # world -> the captions heard there
    while len(visited) < count:
        where, paths = player.describe()
        world = where[0]
        here = [c for c, _, _ in paths]
        heard.setdefault(world, set()).update(here)
        seen = " ".join(visited).lower().split()
        untried = [c for c, _, _ in sorted(paths, key=lambda p: (p[0].lower() in seen, p[1]))
                   if c not in led.get(world, {})]
        caption = untried[0] if untried else onward(world, led, heard, here)
        walk_to(player, caption, where, paths)
        arrived = [WHERE.match(s).group(1) for s in player.press("E") if WHERE.match(s)]
        if not arrived:
            sys.exit("FAIL: following %r in %s went nowhere" % (caption, world))
        led.setdefault(world, {})[caption] = arrived[-1]
        visited.add(arrived[-1])
        print("%s --%s--> %s" % (world, caption, arrived[-1]))
    print("visited all %d worlds in %d moves" % (len(visited), player.moves))


def onward(world, led, heard, here):
    """The path here that starts the shortest known way to a world with paths untried."""
    queue, seen = [(world, None)], {world}
    while queue:
        place, first = queue.pop(0)
        if place != world and heard.get(place, {None}) - set(led.get(place, {})):
            return first
        for caption, target in led.get(place, {}).items():
            if target not in seen and (place != world or caption in here):
                seen.add(target)
                queue.append((target, first or caption))
    return here[0]


if __name__ == "__main__":
    main()
