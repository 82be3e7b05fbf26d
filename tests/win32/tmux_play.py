#!/usr/bin/env python3
"""The real tharvok.exe played under wine in an 80 x 25 tmux pane, keys typed into its console:
the title, New Game, three taps of Left, Escape to the menu, Escape to quit, recorded with
--record. Then tharvok-replay plays the recording, and the screens it shows before the first
Escape and at the end must be what the pane showed, with the player three cells left of where
it started. Rows where the replay shows a glyph outside ASCII are left out: wine's terminal
console draws those glyphs its own way and shifts what comes before them.

    tmux_play.py WORK_DIR EMULATOR... -- THARVOK_EXE REPLAY_EXE DATA_DIR
"""
import os
import shutil
import subprocess
import sys
import time

WAIT_S = 60
START = (40, 12)
PLAYER = "\u263b"


class Pane:
    def __init__(self, socket, command, cwd):
        self.tmux = ["tmux", "-L", socket]
        subprocess.run(self.tmux + ["new-session", "-d", "-x", "80", "-y", "25", "-c", cwd,
                                    command], check=True)

    def text(self):
        shown = subprocess.run(self.tmux + ["capture-pane", "-p"], capture_output=True,
                               text=True).stdout.split("\n")[:25]
        return [line.ljust(80)[:80] for line in shown + [""] * (25 - len(shown))]

    def history(self):
        """Every line the pane showed, those scrolled off the top included."""
        return subprocess.run(self.tmux + ["capture-pane", "-p", "-S", "-"], capture_output=True,
                              text=True).stdout.split("\n")

    def settle(self, want):
        """Waits until the pane shows `want` and stays the same for half a second."""
        end, last = time.monotonic() + WAIT_S, None
        while time.monotonic() < end:
            now = self.text()
            if now == last and any(want in line for line in now):
                return now
            last = now
            time.sleep(0.5)
        raise SystemExit(f"tmux_play: the pane never showed {want!r}:\n" + "\n".join(last or []))

    def keys(self, *names):
        subprocess.run(self.tmux + ["send-keys"] + list(names), check=True)

    def close(self):
        subprocess.run(self.tmux + ["kill-server"], capture_output=True)


def exit_status(work):
    """Waits for the exit status that the pane's shell writes to `work`/status after the game;
    empty when none came."""
    path = os.path.join(work, "status")
    end = time.monotonic() + WAIT_S
    while not os.path.exists(path) and time.monotonic() < end:
        time.sleep(0.2)
    if not os.path.exists(path):
        return ""
    with open(path) as status:
        return status.read().strip()


def differences(pane, replayed, what):
    wrong = []
    for y, (ours, theirs) in enumerate(zip(pane, replayed)):
        if not theirs.isascii():
            continue
        for x, (a, b) in enumerate(zip(ours, theirs.ljust(80))):
            if a != b:
                wrong.append(f"{what}: cell {x},{y}: the pane shows {a!r}, the replay {b!r}")
    return wrong


def main():
    args = sys.argv[1:]
    split = args.index("--")
    work, emulator = args[0], args[1:split]
    game, replay, data = args[split + 1:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    command = " ".join(f"'{a}'" for a in emulator + [game, "--data", data, "--record",
                                                        "walk.rec"])
    pane = Pane(f"tharvok-{os.getpid()}", f"{command}; echo $? >status; sleep 60", work)
    try:
        pane.settle("New Game")
        pane.keys("Enter")
        pane.settle(";;;;;;;;;;")
        # Wine's console does not show the player's glyph: each tap is given time to be seen.
        for _ in range(3):
            pane.keys("Left")
            pane.settle(";;;;;;;;;;")
        in_play = pane.text()
        pane.keys("Escape")
        pane.settle("> New Game")
        pane.keys("Escape")
        at_end = pane.settle("Shutdown game")
        status = exit_status(work)
    finally:
        pane.close()
    if status != "0":
        raise SystemExit("tmux_play: the game did not end with status 0")

    with open(os.path.join(work, "walk.rec")) as recording:
        lines = recording.read().splitlines()
    first_escape = next(i for i, line in enumerate(lines) if " ESC" in line)
    script = lines[:first_escape] + ["screen"] + lines[first_escape:] + ["screen"]
    with open(os.path.join(work, "walk.replay"), "w") as out:
        out.write("\n".join(script) + "\n")
    played = subprocess.run(emulator + [replay, "--dir", data, "walk.replay"], cwd=work,
                            capture_output=True, text=True, encoding="utf-8", timeout=WAIT_S)
    screens = played.stdout.split("\n")
    if played.returncode != 0 or len(screens) < 50:
        raise SystemExit(f"tharvok-replay failed: {played.stderr}")
    problems = differences(in_play, screens[:25], "in play")
    problems += differences(at_end, screens[25:50], "at the end")
    x, y = START[0] - 3, START[1]
    if screens[y][x] != PLAYER:
        problems.append(f"the replayed player is not at {x},{y}: {screens[y]!r}")
    print(f"tmux_play: {len(lines)} lines recorded")
    for problem in problems[:20]:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
