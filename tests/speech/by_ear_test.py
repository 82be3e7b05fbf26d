#!/usr/bin/env python3
"""The whole adventure by ear: plays the shipped worlds through tharvok-replay fed on a pipe,
choosing every key from what the game says (never the screen) until all worlds are visited:
describe, pick the path here followed least often (first one whose caption names no world seen
yet, then the nearest), walk to it keeping each step that the next describe finds one step
nearer, and follow it.

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
    followed = {}  # (world, caption) -> how often it was followed
    while len(visited) < count:
        where, paths = player.describe()
        world = where[0]
        seen = " ".join(visited).lower().split()
        caption = min(paths, key=lambda p: (followed.get((world, p[0]), 0), p[0].lower() in seen,
                                            p[1]))[0]
        walk_to(player, caption, where, paths)
        arrived = [WHERE.match(s).group(1) for s in player.press("E") if WHERE.match(s)]
        if not arrived:
            sys.exit("FAIL: following %r in %s went nowhere" % (caption, world))
        followed[world, caption] = followed.get((world, caption), 0) + 1
        visited.add(arrived[-1])
        print("%s --%s--> %s" % (world, caption, arrived[-1]))
    print("visited all %d worlds in %d moves" % (len(visited), player.moves))


if __name__ == "__main__":
    main()
