#!/usr/bin/env python3
"""The real tharvok.exe played by ear under wine in an 80 x 25 tmux pane: `--speak` leaves the
console as it was (the line written before the game stays, no screen is drawn) and writes one
sentence a line: the title, Enter and the arrival, D and its description, Escape twice and the
farewell, status 0. The game is the pane's own command, or with --shell typed into an
interactive shell that the pane runs.

    tmux_speak.py [--shell] WORK_DIR EMULATOR... -- THARVOK_EXE DATA_DIR
"""
import os
import shutil
import sys
import time

from tmux_play import WAIT_S, Pane, exit_status

BEFORE = "before the game"
FAREWELL = "Shutdown game ... if you can read this you should upgrade your pc ;)"
DESCRIBED = "Path: Fields, 39 steps: 1 south-east, 37 east, 1 north-east."


def said_twice(pane, sentence):
    """Waits until `sentence` stands on two lines of the pane."""
    end = time.monotonic() + WAIT_S
    while time.monotonic() < end:
        if [line.rstrip() for line in pane.history()].count(sentence) >= 2:
            return
        time.sleep(0.2)
    raise SystemExit(f"tmux_speak: {sentence!r} was not said again:\n" + "\n".join(pane.text()))


def main():
    args = sys.argv[1:]
    shell = args[0] == "--shell"
    if shell:
        args = args[1:]
    split = args.index("--")
    work, emulator = args[0], args[1:split]
    game, data = args[split + 1:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    command = " ".join(f"'{a}'" for a in emulator + [game, "--data", data, "--speak"])
    line = f"echo '{BEFORE}'; {command}; echo $? >status"
    pane = Pane(f"tharvok-speak-{os.getpid()}", "PS1='$ ' sh -i" if shell else f"{line}; sleep 60",
                work)
    try:
        if shell:
            pane.settle("$")
            pane.keys("-l", line)
            pane.keys("Enter")
        pane.settle("New Game, 1 of 5.")
        pane.keys("Enter")
        pane.settle("Brenholt village, at 40, 12.")
        pane.keys("D")
        pane.settle(DESCRIBED)
        pane.keys("Escape")
        said_twice(pane, "Title screen.")
        pane.keys("Escape")
        pane.settle(FAREWELL)
        shown = pane.history()
        status = exit_status(work)
    finally:
        pane.close()
    lines = [line.rstrip() for line in shown if line.strip()]
    problems = []
    if BEFORE not in lines or "Title screen." not in lines or \
            lines.index(BEFORE) > lines.index("Title screen."):
        problems.append("the console did not keep the line written before the game")
    for sentence in ("New Game, 1 of 5.", "Brenholt village, at 40, 12.", DESCRIBED, FAREWELL):
        if sentence not in lines:
            problems.append(f"{sentence!r} is not a line by itself")
    if lines.count(FAREWELL) != 1:
        problems.append("the farewell is not said exactly once")
    if any(";;;;;" in line or "> New Game" in line for line in lines):
        problems.append("the game's screen was drawn")
    if status != "0":
        problems.append("the game did not end with status 0")
    for problem in problems:
        print(f"tmux_speak: {problem}")
    if problems:
        print("\n".join(shown))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
