#!/usr/bin/env python3
"""The whole adventure by ear: plays the shipped worlds through tharvok-replay fed on a pipe,
choosing every key from what the game says (never the screen) until all worlds are visited, twice:
walking the route describe gives to the path followed least often (first one whose caption names
no world seen yet, then the nearest) by taps, which proves that routes arrive; and travelling,
pressing T again while the path named leads to a world already seen. The second prints its keys
and words and fails beyond MAX_KEYS or MAX_WORDS.

    by_ear_test.py TOOL DATA_DIR WORLD_COUNT [MAX_KEYS MAX_WORDS]
"""
import re
import subprocess
import sys

WHERE = re.compile(r"^(.+), at (\d+), (\d+)\.$")
PATH = re.compile(r"^Path: (.+), (?:here|(\d+) steps?: (.+))\.$")
CAPTION = re.compile(r"^Path: (.+)\. \S+ follows it\.$")
SETTING_OUT = re.compile(r"^To (.+), \d+ steps?\.$")
WAYS = {"north": ["UP"], "north-east": ["UP", "RIGHT"], "east": ["RIGHT"],
        "south-east": ["DOWN", "RIGHT"], "south": ["DOWN"], "south-west": ["DOWN", "LEFT"],
        "west": ["LEFT"], "north-west": ["UP", "LEFT"]}


class Player:
    def __init__(self, tool, data):
        self.game = subprocess.Popen([tool, "--dir", data, "-"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)
        self.keys = 0
        self.words = 0

    def play(self, script, keys):
        """Runs the script lines, counting `keys` presses; returns what was said."""
        self.keys += keys
        if self.keys > 20000:
            sys.exit("FAIL: the adventure did not end")
        self.game.stdin.write("\n".join(script + ["said", "cursor", ""]))
        self.game.stdin.flush()
        said = []
        for line in iter(self.game.stdout.readline, ""):
            if line.startswith("cursor "):
                self.words += sum(len(sentence.split()) for sentence in said)
                return said
            said.append(line.rstrip("\n"))
        sys.exit("FAIL: tharvok-replay ended early")

    def press(self, *keys):
        """One tap of the keys together."""
        return self.play(["frame 16 " + " ".join(keys), "frame 16"], 1)

    def wait(self, frames):
        return self.play(["frames %d 16" % frames], 0)


def arrived_in(said):
    return [WHERE.match(s).group(1) for s in said if WHERE.match(s)]


def names_seen(caption, visited):
    return caption.lower() in " ".join(visited).lower().split()


def walking(player, count):
    """Walks every route describe gives, by taps, and follows the path it ends on."""
    visited = set(arrived_in(player.press("ENTER")))
    followed = {}  # (world, caption) -> how often it was followed
    while len(visited) < count:
        said = player.press("D")
        world = arrived_in([s.rsplit(", on ", 1)[0] + "." for s in said[:1]])[0]
        paths = [PATH.match(s).groups() for s in said if PATH.match(s)]
        caption, _, runs = min(paths, key=lambda p: (followed.get((world, p[0]), 0),
                                                     names_seen(p[0], visited), int(p[1] or 0)))
        heard = []
        for run in (runs.split(", ") if runs else []):
            steps, way = run.split(" ")
            for _ in range(int(steps)):
                heard += player.press(*WAYS[way])
        if runs and not any(CAPTION.match(s) and CAPTION.match(s).group(1) == caption
                            for s in heard):
            sys.exit("FAIL: the route to %r in %s did not arrive: %s" % (caption, world, heard))
        arrived = arrived_in(player.press("E"))
        if not arrived:
            sys.exit("FAIL: following %r in %s went nowhere" % (caption, world))
        followed[world, caption] = followed.get((world, caption), 0) + 1
        visited.add(arrived[-1])
        print("walking: %s --%s--> %s" % (world, caption, arrived[-1]))
    print("walking: visited all %d worlds in %d keys, %d words heard"
          % (len(visited), player.keys, player.words))


def travelling(player, count):
    """Goes round the paths with the travel key, following those that lead somewhere new."""
    said = player.press("ENTER")
    visited = set(arrived_in(said))
    world = arrived_in(said)[-1]
    while len(visited) < count:
        tried = []
        while True:
            said = player.press("T")
            going = [SETTING_OUT.match(s).group(1) for s in said if SETTING_OUT.match(s)]
            going += [CAPTION.match(s).group(1) for s in said if CAPTION.match(s)]
            if not going:
                sys.exit("FAIL: the travel key in %s set out for nothing: %s" % (world, said))
            if not names_seen(going[-1], visited) or going[-1] in tried:
                break
            tried.append(going[-1])
        caption = going[-1]
        heard = said
        while not any(CAPTION.match(s) for s in heard):
            heard = player.wait(8)
            if any(s == "Travel stopped." for s in heard):
                sys.exit("FAIL: travel to %r in %s stopped: %s" % (caption, world, heard))
        arrived = arrived_in(player.press("E"))
        if not arrived:
            sys.exit("FAIL: following %r in %s went nowhere" % (caption, world))
        print("travelling: %s --%s--> %s" % (world, caption, arrived[-1]))
        world = arrived[-1]
        visited.add(world)
    print("travelling: visited all %d worlds in %d keys, %d words heard"
          % (len(visited), player.keys, player.words))


def main():
    tool, data, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    walking(Player(tool, data), count)
    player = Player(tool, data)
    travelling(player, count)
    if len(sys.argv) > 5 and (player.keys > int(sys.argv[4]) or player.words > int(sys.argv[5])):
        sys.exit("FAIL: by travel it took %d keys and %d words (at most %s and %s)"
                 % (player.keys, player.words, sys.argv[4], sys.argv[5]))


if __name__ == "__main__":
    main()
