#!/usr/bin/env python3
"""The real game in a real xterm under Xvfb, played with real X key events (xdotool): a tap, a
held arrow, Tab held, ?, Escape, quit. The game records what it was given (--record); every screen
xterm showed (its own screen dumps, taken between keys) must be one tharvok-replay shows for that
recording, in the same order, so that the wall clock of the holds makes no test flaky. The replay
also says how the held Tab went: the panel shown once, with no flash and no gap. After the game
the shell's lines from before it are where they were, though the window was made smaller and
larger again during play. At 80 x 25 and at 80 x 24 (a view).

usage: xterm_test.py BUILD_DIR
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
GAME = os.path.join(BUILD, "tharvok")
REPLAY = os.path.join(BUILD, "tharvok-replay")
# The longest wait for xterm, the X server or a screen: generous for a first start on a busy
# machine, as every wait ends as soon as what it waits for comes.
DEADLINE = 60.0
BEFORE = ["before the game, line %d" % n for n in (1, 2, 3)]
PANEL = "Ver. 1.0"
HELP = "Any key closes this box."
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def normalised(lines):
    """Trailing blanks and empty lines dropped, the panel's clock masked."""
    lines = [re.sub(r"[0-9]{2}:[0-9]{2}:[0-9]{2}", "##:##:##", line.rstrip()) for line in lines]
    while lines and not lines[-1]:
        lines.pop()
    return lines


class Xterm:
    def __init__(self, display, work, columns, rows):
        self.display = display
        self.work = work
        self.count = 0
        self.env = dict(os.environ, DISPLAY=display, LC_ALL="C.UTF-8", TERM="xterm")
        for name in ("TMUX", "STY", "VTE_VERSION", "KONSOLE_VERSION", "THARVOK_UTF8"):
            self.env.pop(name, None)
        lines = " ".join("'%s'" % line for line in BEFORE)
        script = ("clear; printf '%%s\\n' %s; cd '%s' && ./tharvok --record '%s/recording'"
                  "; echo \"status $?\" > '%s/status'; exec sleep 600") % (lines, BUILD, work, work)
        resources = [
            "XTerm*printFileImmediate: %s/dump" % work,
            "XTerm*printOptsImmediate: 1",
            "XTerm*printModeImmediate: 0",
            "XTerm.vt100.translations: #override Ctrl Shift <Key>F12: print-immediate()",
            "XTerm*allowWindowOps: false",
        ]
        command = ["xterm", "-u8", "-geometry", "%dx%d+0+0" % (columns, rows), "-T", "tharvok-test"]
        for resource in resources:
            command += ["-xrm", resource]
        command += ["-e", "bash", "--norc", "--noprofile", "-c", script]
        self.process = subprocess.Popen(command, env=self.env)
        self.window = self.xdotool("search", "--sync", "--onlyvisible", "--name", "tharvok")
        self.window = self.window.split()[0]
        self.xdotool("windowfocus", "--sync", self.window)
        self.xdotool("mousemove", "--window", self.window, "20", "20")

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.env, check=True,
                              capture_output=True, text=True, timeout=DEADLINE).stdout

    def key(self, *keys):
        self.xdotool("key", "--delay", "0", *keys)

    def dump(self):
        """xterm's own dump of the screen it shows: its lines."""
        for old in glob.glob(os.path.join(self.work, "dump*")):
            os.remove(old)
        self.key("ctrl+shift+F12")
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end:
            found = glob.glob(os.path.join(self.work, "dump*"))
            if found:
                time.sleep(0.05)  # written whole
                with open(found[0], encoding="utf-8", errors="replace") as file:
                    text = file.read()
                os.remove(found[0])
                return text.split("\n")
            time.sleep(0.02)
        return []

    def wait_for(self, text):
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end:
            lines = self.dump()
            if any(text in line for line in lines):
                return lines
            time.sleep(0.1)
        return lines

    def close(self):
        self.process.kill()
        self.process.wait()


def replay_screens(recording):
    """Every frame's screen as tharvok-replay plays the recording, and each frame's keys down."""
    script = []
    keys = []
    with open(recording) as file:
        for line in file:
            words = line.split()
            if words and words[0] == "frames":
                script += ["frame " + " ".join(words[2:]), "screen"] * int(words[1])
                keys += [words[3:]] * int(words[1])
            elif words and words[0] == "frame":
                script += [line.strip(), "screen"]
                keys.append(words[2:])
            else:
                script.append(line.rstrip("\n"))
    path = recording + ".screens"
    with open(path + ".script", "w") as file:
        file.write("\n".join(script) + "\n")
    subprocess.run([REPLAY, "--dir", BUILD, "--out", path, path + ".script"], check=True,
                   timeout=120)
    with open(path, encoding="utf-8") as file:
        lines = file.read().split("\n")
    # Each screen: its 25 lines of text.
    screens = [lines[at:at + 25] for at in range(0, len(lines) - 24, 25)]
    if len(screens) != len(keys):
        print("the replay showed %d screens for %d frames" % (len(screens), len(keys)))
    return screens, keys


def views(screen, rows):
    """What a terminal of `rows` rows may show of a screen (the view stands at the top or lower)."""
    return [normalised(screen[top:top + rows]) for top in range(0, 25 - rows + 1)]


def play(display, columns, rows):
    print("== xterm %d x %d" % (columns, rows), flush=True)
    work = tempfile.mkdtemp(prefix="tharvok-xterm-")
    term = Xterm(display, work, columns, rows)
    shown = []  # (what, lines)
    try:
        shown.append(("title", term.wait_for("New Game")))
        term.key("Return")
        shown.append(("map", term.wait_for("\u263b")))
        # The window made smaller during play, below the row the last frame drew on, and back.
        for size in ((columns, 9), (columns, rows)):
            term.xdotool("windowsize", "--usehints", term.window, *map(str, size))
            time.sleep(0.5)
        term.key("Right")
        time.sleep(0.3)
        shown.append(("a tap", term.dump()))
        term.xdotool("keydown", "Right")
        time.sleep(1.5)
        term.xdotool("keyup", "Right")
        time.sleep(0.4)
        shown.append(("a held arrow", term.dump()))
        # Another key stops X's auto-repeat of Tab: the screen is dumped once, at the end.
        term.xdotool("keydown", "Tab")
        time.sleep(1.3)
        shown.append(("Tab held", term.dump()))
        term.xdotool("keyup", "Tab")
        time.sleep(0.5)
        shown.append(("Tab let go", term.dump()))
        term.key("question")
        shown.append(("?", term.wait_for(HELP)))
        term.key("Escape")
        time.sleep(0.3)
        shown.append(("Escape closes the help", term.dump()))
        term.key("Escape")
        time.sleep(0.3)
        term.key("Escape")
        end = time.monotonic() + DEADLINE
        while not os.path.exists(os.path.join(work, "status")) and time.monotonic() < end:
            time.sleep(0.05)
        after = term.wait_for("Shutdown game")
    finally:
        term.close()

    check(os.path.exists(os.path.join(work, "status")), "the game ended")
    screens, keys = replay_screens(os.path.join(work, "recording"))
    # Each dump is a screen of the replay, in order.
    at = 0
    for what, lines in shown:
        want = normalised(lines)
        found = next((i for i in range(at, len(screens)) if want in views(screens[i], rows)), None)
        check(found is not None, "%s: xterm shows a screen of the replay" % what)
        if found is None:
            print("\n".join(want))
        else:
            at = found
    # The held Tab, as the game saw it: down once, from the first stroke to the end of the hold,
    # the panel up exactly then, with no flash and no gap.
    def runs(flags):
        return sum(1 for i, on in enumerate(flags) if on and (i == 0 or not flags[i - 1]))
    panel = [any(PANEL in line for line in screen) for screen in screens]
    tab = [("TAB" in down) for down in keys]
    check(runs(tab) == 1, "the held Tab is down once, with no gap (%d runs)" % runs(tab))
    def extent(flags):
        on = [i for i, flag in enumerate(flags) if flag]
        return (on[0], on[-1]) if on else (-1, -1)
    (tab_from, tab_to), (panel_from, panel_to) = extent(tab), extent(panel)
    check(runs(panel) == 1 and abs(panel_from - tab_from) <= 1 and abs(panel_to - tab_to) <= 1,
          "the panel is up while Tab is down (%d runs; frames %d-%d, Tab %d-%d)"
          % (runs(panel), panel_from, panel_to, tab_from, tab_to))
    check(any(PANEL in line for line in shown[4][1]), "xterm shows the panel while Tab is held")
    check(any(HELP in line for line in shown[6][1]), "? opens the help")
    # The shell's lines from before the game, then the farewell.
    after = normalised(after)
    check(after[:3] == BEFORE, "the lines from before the game are intact: %r" % after[:4])
    check(any("Shutdown game" in line for line in after), "the farewell follows")
    if not failures:
        shutil.rmtree(work, ignore_errors=True)


def start_xvfb():
    """An X server on a display of its own, once it answers."""
    for number in range(90 + os.getpid() % 50, 200):
        if os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number):
            continue
        display = ":%d" % number
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end and xvfb.poll() is None:
            answer = subprocess.run(["xdotool", "getmouselocation"], capture_output=True,
                                    env=dict(os.environ, DISPLAY=display))
            if answer.returncode == 0:
                return xvfb, display
            time.sleep(0.1)
        xvfb.kill()
        xvfb.wait()
    return None, None


def main():
    for tool in ("Xvfb", "xterm", "xdotool"):
        if shutil.which(tool) is None:
            print("%s is not installed" % tool)
            return 1
    xvfb, display = start_xvfb()
    if xvfb is None:
        print("Xvfb did not start")
        return 1
    try:
        play(display, 80, 25)
        play(display, 80, 24)
    finally:
        xvfb.kill()
        xvfb.wait()
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
