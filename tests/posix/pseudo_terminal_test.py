#!/usr/bin/env python3
"""The game in a pseudo-terminal that plays a terminal speaking the keyboard protocol (or not):
it answers the start-up queries, sends key events, and checks what the game asks of the terminal
and that the terminal's settings come back unchanged.

usage: pseudo_terminal_test.py THARVOK BUILD_DIR TEST_WORLD_DIR CONFIG_INI
"""
import contextlib
import fcntl
import os
import pty
import re
import resource
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time
import tty
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from start_world import STEM  # noqa: E402

THARVOK, BUILD_DIR, TEST_WORLD, CONFIG = sys.argv[1:5]
START_WORLD = f"bin/world/{STEM}.wgf"
DEADLINE = 15.0

PROBE = b"\x1b[?u\x1b[c"
PUSH = b"\x1b[>11u"
POP = b"\x1b[<u"
ALT_ON = b"\x1b[?1049h"
ALT_OFF = b"\x1b[?1049l"
NOTICE = b"at least 40 x 12"
WHITE_ON_BLACK = b"\x1b[0;37;40m"
FAREWELL = b"Shutdown game ... if you can read this you should upgrade your pc ;)"


def game_directory():
    if os.path.exists(os.path.join(BUILD_DIR, START_WORLD)):
        return BUILD_DIR
    made = tempfile.mkdtemp(prefix="tharvok-protocol-")
    shutil.copytree(TEST_WORLD, os.path.join(made, "bin", "world"))
    shutil.copy(CONFIG, os.path.join(made, "config.ini"))
    return made


class Session:
    """The game on the slave side of a pty; this side is the terminal."""

    def __init__(self, columns=80, rows=25, config="", directory=None, ignore_hangup=False,
                 env=None, args=(), cwd=None):
        self.master, self.slave = pty.openpty()
        self.resize(columns, rows)
        self.settings = termios.tcgetattr(self.slave)
        # The user's own config.ini, when given.
        self.home = tempfile.mkdtemp(prefix="tharvok-config-")
        if config:
            os.mkdir(os.path.join(self.home, "tharvok"))
            with open(os.path.join(self.home, "tharvok", "config.ini"), "w") as file:
                file.write(config)
        self.output = b""
        self.pid = os.fork()
        if self.pid == 0:
            # The child never returns into the test runner: a failed exec (the game being
            # relinked, say) would run the remaining tests again in every child.
            try:
                self.become_game(directory, config, env, ignore_hangup, args, cwd)
            finally:
                os._exit(127)
        self.status = None

    def become_game(self, directory, config, env, ignore_hangup, args, cwd):
        """In the forked child: the pseudo-terminal as the controlling one, then the game."""
        os.setsid()
        fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
        for fd in (0, 1, 2):
            os.dup2(self.slave, fd)
        os.chdir(cwd or directory or game_directory())
        if config:
            os.environ["XDG_CONFIG_HOME"] = self.home
        # An xterm-like terminal in a UTF-8 locale that is no known terminal of its own,
        # unless the test says otherwise.
        for name in ("TMUX", "STY", "XTERM_VERSION", "VTE_VERSION", "KONSOLE_VERSION",
                     "THARVOK_UTF8", "TERMINFO", "TERMINFO_DIRS"):
            os.environ.pop(name, None)
        os.environ.update({"TERM": "xterm-256color", "LC_ALL": "C.UTF-8"})
        os.environ.update(env or {})
        # Signals that end the game may dump core: not into the build folder.
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
        if ignore_hangup:
            signal.signal(signal.SIGHUP, signal.SIG_IGN)
        # A folder of its own is the only one: elsewhere the game would find the worlds
        # beside its executable.
        os.execv(THARVOK, [THARVOK] + (["--data", directory] if directory else []) + list(args))

    def resize(self, columns, rows):
        """Sets the window size; the game (in the foreground) gets SIGWINCH."""
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))

    def read_after(self, want, deadline=DEADLINE):
        """Forgets what was read, then reads until `want` comes."""
        self.output = b""
        return self.read_until(want, deadline)

    def read_until(self, want, deadline=DEADLINE):
        end = time.monotonic() + deadline
        while want not in self.output and time.monotonic() < end:
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if ready:
                try:
                    self.output += os.read(self.master, 65536)
                except OSError:
                    break
        return want in self.output

    def send(self, data):
        os.write(self.master, data)

    def wait(self, deadline=DEADLINE):
        end = time.monotonic() + deadline
        while time.monotonic() < end:
            self.read_until(b"\x00never", 0.05)
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid != 0:
                self.status = status
                self.read_until(b"\x00never", 0.2)
                return True
        return False

    def hang_up(self):
        """Closes this side, as when the terminal window is closed."""
        os.close(self.master)
        self.master = None

    def wait_without_terminal(self, deadline=DEADLINE):
        end = time.monotonic() + deadline
        while time.monotonic() < end:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid != 0:
                self.status = status
                return True
            time.sleep(0.02)
        return False

    def close(self):
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        if self.master is not None:
            os.close(self.master)
        os.close(self.slave)
        shutil.rmtree(self.home, ignore_errors=True)


class GameInAPty(unittest.TestCase):
    def start(self, answer, **options):
        session = Session(**options)
        self.addCleanup(session.close)
        self.assertTrue(session.read_until(PROBE), session.output)
        session.send(answer)
        self.assertTrue(session.read_until(ALT_ON), session.output)
        return session

    def assert_ended(self, session, exit_code=None, by_signal=None):
        self.assertTrue(session.wait(), "the game did not end")
        if exit_code is not None:
            self.assertTrue(os.WIFEXITED(session.status))
            self.assertEqual(os.WEXITSTATUS(session.status), exit_code)
        if by_signal is not None:
            self.assertTrue(os.WIFSIGNALED(session.status))
            self.assertEqual(os.WTERMSIG(session.status), by_signal)
        self.assertEqual(termios.tcgetattr(session.slave), session.settings)


class KeyboardProtocol(GameInAPty):
    def test_flags_pushed_in_the_alternate_screen_and_popped_before_leaving(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        self.assertTrue(session.read_until(PUSH), session.output)
        out = session.output
        self.assertLess(out.index(ALT_ON), out.index(PUSH))
        # The title is saved, then set: the game's name and year with a credit.
        self.assertTrue(session.read_until(b"\x1b]0;Tharvok (2012) - "), session.output)
        self.assertLess(out.index(b"\x1b[22;0t"), session.output.index(b"\x1b]0;"))
        # Escape, pressed and released: quits from the menu.
        session.send(b"\x1b[27u")
        session.send(b"\x1b[27;1:3u")
        self.assert_ended(session, exit_code=0)
        out = session.output
        self.assertLess(out.rindex(POP), out.rindex(ALT_OFF))
        self.assertGreater(out.rindex(FAREWELL), out.rindex(ALT_OFF))

    def test_press_and_release_in_one_read_still_count(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        session.read_until(PUSH)
        session.read_until(b"Exit")
        # Up wraps from the first item to Exit; Enter there quits (in the same frame too: the
        # menu moves before it selects). Were the tap lost, Enter would start a game instead.
        session.send(b"\x1b[1;1:1A\x1b[1;1:3A")
        session.send(b"\x1b[13u\x1b[13;1:3u")
        self.assert_ended(session, exit_code=0)
        self.assertIn(FAREWELL, session.output)

    def test_ctrl_c_as_a_key_event_ends_at_once(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        session.read_until(PUSH)
        session.send(b"\x1b[99;5u")
        self.assert_ended(session, by_signal=signal.SIGINT)
        self.assertLess(session.output.rindex(POP), session.output.rindex(ALT_OFF))

    def test_ctrl_c_typed_while_the_terminal_is_asked_ends_the_game(self):
        session = Session()
        self.addCleanup(session.close)
        self.assertTrue(session.read_until(PROBE), session.output)
        session.send(b"\x03")
        session.send(b"\x1b[?62;22c")
        self.assert_ended(session, by_signal=signal.SIGINT)

    def test_without_the_protocol_nothing_is_pushed(self):
        session = self.start(b"\x1b[?62;22c")
        session.send(b"\x1b")
        self.assert_ended(session, exit_code=0)
        self.assertNotIn(PUSH, session.output)
        self.assertNotIn(POP, session.output)

    def test_a_flags_answer_after_the_attributes_does_not_count(self):
        session = self.start(b"\x1b[?62;22c\x1b[?0u")
        session.send(b"\x03")
        self.assert_ended(session, by_signal=signal.SIGINT)
        self.assertNotIn(PUSH, session.output)


class Frames(GameInAPty):
    def test_a_whole_map_comes_as_one_synchronized_update(self):
        session = self.start(b"\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        self.assertNotIn(b"\x1b[?2026h", session.output)  # the menu is a small frame
        session.send(b"\r")
        self.assertTrue(session.read_until(b"\x1b[?2026l"), session.output)
        begin = session.output.index(b"\x1b[?2026h")
        end = session.output.index(b"\x1b[?2026l")
        self.assertGreater(end - begin, 2000)
        self.assertEqual(session.output.count(b"\x1b[?2026h"), 1)


class WindowSize(GameInAPty):
    def test_only_terminals_that_grow_honestly_are_asked_to(self):
        # konsole reports the rows asked for without showing them; the others play in a view.
        for env in ({"KONSOLE_VERSION": "221203", "XTERM_VERSION": "XTerm(379)"},
                    {"XTERM_VERSION": "XTerm(379)", "TMUX": "/tmp/tmux-0/default,1,0"}, {}):
            with self.subTest(env=env):
                session = self.start(b"\x1b[?62;22c", columns=80, rows=24, env=env)
                self.assertTrue(session.read_until(b"Exit"), session.output)
                session.send(b"\x1b")
                self.assert_ended(session, exit_code=0)
                self.assertNotIn(b"\x1b[8;", session.output)

    def test_the_window_grows_and_shrinks_on_the_games_screen_and_no_key_report_is_left(self):
        # The game ended while stopped, behind as many of the protocol's reports as the terminal
        # holds (Ctrl let go, as after a quick Ctrl-C): it reads some, none is left for the shell.
        start = b"\x1b[22;0t" + ALT_ON + b"\x1b[?25l\x1b[?1004h\x1b[H\x1b[8;25;100t"
        # The shipped config.ini turns pointing on: the mouse reports are given back too.
        modes = POP + b"\x1b[?1006l\x1b[?1000l\x1b[?1004l\x1b[0m"
        end = modes + b"\x1b[H\x1b[8;24;100t\x1b[?25h" + ALT_OFF + b"\x1b[23;0t"
        for how, ending, status in (("quit", b"\x1b[27u\x1b[27;1:3u", {"exit_code": 0}),
                                    ("Ctrl-C", b"\x1b[99;5u", {"by_signal": signal.SIGINT}),
                                    ("SIGQUIT", signal.SIGQUIT, {"by_signal": signal.SIGQUIT})):
            with self.subTest(how):
                session = Session(100, 24, env={"XTERM_VERSION": "XTerm(379)"})
                self.addCleanup(session.close)
                self.assertTrue(session.read_until(b"\x1b[8;25;100t"), session.output)
                self.assertEqual(session.output, start)
                session.resize(100, 25)
                self.assertTrue(session.read_until(PROBE), session.output)
                session.send(b"\x1b[?0u\x1b[?62;22c")
                self.assertTrue(session.read_until(b"Exit"), session.output)
                if how == "quit":
                    # A suspend keeps the size (the game, in a process group of its own, runs on).
                    os.kill(session.pid, signal.SIGTSTP)
                    self.assertTrue(session.read_after(ALT_ON), session.output)
                    self.assertIn(modes + b"\x1b[?25h" + ALT_OFF, session.output)
                os.kill(session.pid, signal.SIGSTOP)
                if isinstance(ending, bytes):
                    session.send(ending)
                else:
                    os.kill(session.pid, ending)
                os.set_blocking(session.master, False)
                with contextlib.suppress(BlockingIOError):
                    while True:
                        session.send(b"\x1b[57442;5:3u")
                os.kill(session.pid, signal.SIGCONT)
                self.assert_ended(session, **status)
                out = session.output
                self.assertTrue(out[out.rindex(POP):].startswith(end), out[-200:])
                # Asked to grow once: not again when the game comes back from a suspend (the
                # output read so far was let go there).
                self.assertEqual(out.count(b"\x1b[8;25;100t"), 0 if how == "quit" else 1)
                tty.setraw(session.slave, termios.TCSANOW)
                self.assertFalse(select.select([session.slave], [], [], 0.2)[0], "input left over")

    def test_a_window_that_grows_too_little_is_refused_and_asked_back(self):
        session = Session(30, 10, env={"XTERM_VERSION": "XTerm(379)"})
        self.addCleanup(session.close)
        self.assertTrue(session.read_until(b"\x1b[8;25;80t"), session.output)
        session.resize(35, 11)
        self.assert_ended(session, exit_code=1)
        self.assertIn(b"\x1b[?1004l\x1b[0m\x1b[H\x1b[8;10;30t\x1b[?25h" + ALT_OFF + b"\x1b[23;0t"
                      b"tharvok: the terminal is 35 x 11 characters", session.output)
        self.assertNotIn(PROBE, session.output)

    def test_keys_behind_the_too_small_notice_never_count(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        session.resize(39, 20)
        self.assertTrue(session.read_after(NOTICE), session.output)
        self.assertIn(WHITE_ON_BLACK + b"\x1b[H\x1b[2J", session.output)
        self.assertTrue(session.read_until(b"larger.\x1b[H"), session.output)  # the cursor parked
        # Escape (which quits from the menu) pressed behind the notice, let go once it is gone.
        session.send(b"\x1b[27u")
        session.resize(80, 25)
        self.assertTrue(session.read_after(b"Exit"), session.output)
        time.sleep(0.2)  # frames go by with Escape held
        session.send(b"\x1b[27;1:3u")
        session.send(b"\x1b[13u\x1b[13;1:3u")  # Enter: a new game
        self.assertTrue(session.read_after(b"\x1b[?2026l"), session.output)
        # Ctrl-C still ends the game behind the notice.
        session.resize(80, 11)
        self.assertTrue(session.read_after(NOTICE), session.output)
        session.send(b"\x1b[99;5u")
        self.assert_ended(session, by_signal=signal.SIGINT)


class Terminals(GameInAPty):
    def test_the_probe_goes_to_the_games_screen_and_the_cursor_is_placed_after(self):
        # st reads the protocol query as a cursor restore: harmless on the game's own screen.
        session = self.start(b"\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        out = session.output
        self.assertLess(out.index(ALT_ON), out.index(PROBE))
        self.assertTrue(out[out.index(PROBE) + len(PROBE):].startswith(b"\x1b[H"), out)

    def test_gnu_screen_keeps_the_users_output_and_gets_blanks_written(self):
        session = Session(80, 25, env={"TERM": "screen", "STY": "4242.pts-1.host"})
        self.addCleanup(session.close)
        self.assertTrue(session.read_until(PROBE), session.output)
        session.send(b"\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        session.send(b"\r")  # a new game: the whole map
        self.assertTrue(session.read_until(b"\x1b[?2026l"), session.output)
        mark = len(session.output)
        session.send(b"\x1b")  # back to the title, then quit
        for _ in range(300):
            if b"Exit" in session.output[mark:]:
                break
            session.read_until(b"\x00never", 0.05)
        session.send(b"\x1b")
        self.assert_ended(session, exit_code=0)
        out = session.output
        self.assertNotIn(ALT_ON, out)
        # The user's lines pushed up first; the farewell on a fresh line below the game.
        self.assertIn(b"\r" + b"\n" * 25, out)
        self.assertLess(out.rindex(b"\x1b[999;1H\r\n"), out.rindex(FAREWELL))
        self.assertNotIn(b"\x1b[K", out)
        self.assertIsNone(re.search(rb"\x1b\[\d*X", out))

    def test_entries_are_found_where_the_terminfo_library_looks(self):
        # Entries of one's own without smcup: in $HOME/.terminfo (by letter), in the second of the
        # $TERMINFO_DIRS, one behind the system's (an empty one stands for them), in $TERMINFO
        # (by the letter's hex code, as macOS lays them out), and one that a TERM naming a path
        # must not reach: the game keeps the normal screen exactly when it takes the entry.
        def entry(folder, sub, name):
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
            names = name.encode() + b"\0"
            header = struct.pack("<6h", 0o432, len(names), 0, 0, 29, 0)
            with open(os.path.join(folder, sub, name.split("/")[-1]), "wb") as file:
                file.write(header + names + b"\0" * (len(names) % 2) +
                           struct.pack("<29h", *[-1] * 29))

        own = tempfile.mkdtemp(prefix="tharvok-terminfo-")
        self.addCleanup(shutil.rmtree, own, ignore_errors=True)
        entry(os.path.join(own, ".terminfo"), "t", "tharvok-test")
        entry(own, "77", "wtest")
        entry(own, "t/t", "t/tharvok-test")
        entry(own, "t", "tharvok-dirs")
        entry(own, "x", "xterm")
        for env, found in (({"HOME": own, "TERM": "tharvok-test"}, True),
                           ({"TERMINFO_DIRS": "/none:" + own, "TERM": "tharvok-dirs"}, True),
                           ({"TERMINFO_DIRS": ":" + own, "TERM": "xterm"}, False),
                           ({"TERMINFO": own, "TERM": "wtest"}, True),
                           ({"TERMINFO": own, "TERM": "t/tharvok-test"}, False)):
            with self.subTest(env=env):
                session = Session(env=env)
                self.addCleanup(session.close)
                self.assertTrue(session.read_until(PROBE), session.output)
                session.send(b"\x1b[?62;22c")
                self.assertTrue(session.read_until(b"Exit"), session.output)
                session.send(b"\x1b")
                self.assert_ended(session, exit_code=0)
                self.assertEqual(ALT_ON not in session.output, found)

    def test_a_terminal_that_is_not_utf8_gets_ascii(self):
        for env, player in (({"LC_ALL": "C"}, b"@"),
                            ({"LC_ALL": "C", "THARVOK_UTF8": "1"}, "\u263b".encode())):
            with self.subTest(env=env):
                session = self.start(b"\x1b[?62;22c", env=env)
                self.assertTrue(session.read_until(b"Exit"), session.output)
                session.send(b"\r")
                self.assertTrue(session.read_after(b"\x1b[?2026l"), session.output)
                self.assertIn(player, session.output)
                if player == b"@":
                    self.assertFalse([b for b in session.output if b >= 0x80], session.output)
                session.send(b"\x03")
                self.assert_ended(session, by_signal=signal.SIGINT)


class ExitPaths(GameInAPty):
    def test_ending_signals_give_the_terminal_back(self):
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGQUIT, signal.SIGABRT):
            with self.subTest(signal=sig.name):
                session = self.start(b"\x1b[?0u\x1b[?62;22c")
                # The shipped config.ini turns pointing on: the mouse reports follow the flags.
                self.assertTrue(session.read_until(PUSH + b"\x1b[?1000h"), session.output)
                os.kill(session.pid, sig)
                self.assert_ended(session, by_signal=sig)
                out = session.output
                tail = out[out.rindex(PUSH):]
                for sequence in (POP, b"\x1b[?1006l\x1b[?1000l", b"\x1b[?1004l", b"\x1b[?25h",
                                 ALT_OFF, b"\x1b[23;0t"):
                    self.assertIn(sequence, tail)
                self.assertIn(b"\x1b[?1004h", out)

    def test_mouse_reports_while_a_binding_uses_a_button_or_pointing_is_on(self):
        for config in ("cSelect = 1", "cSelect = 6", "pointing = On", "pointing = off"):
            with self.subTest(config=config):
                session = self.start(b"\x1b[?62;22c", config=f"[actions]\n{config}\n")
                self.assertTrue(session.read_until(b"Exit"), session.output)
                os.kill(session.pid, signal.SIGTERM)
                self.assert_ended(session, by_signal=signal.SIGTERM)
                out = session.output
                self.assertEqual(b"\x1b[?1000h\x1b[?1006h" in out, config != "pointing = off")
                if config != "pointing = off":
                    self.assertLess(out.rindex(b"\x1b[?1006l\x1b[?1000l"), out.rindex(ALT_OFF))

    def test_a_click_on_exit_chooses_it_where_the_window_shows_it(self):
        # The shipped config.ini turns pointing on. Exit stands on the screen's row 23; a larger
        # window shows the screen centred, 10 columns right and 2 rows down here.
        for columns, rows, press in ((80, 25, b"\x1b[<0;41;24M"), (100, 30, b"\x1b[<0;51;26M")):
            with self.subTest(columns=columns):
                session = self.start(b"\x1b[?62;22c", columns=columns, rows=rows)
                self.assertTrue(session.read_until(b"Exit"), session.output)
                session.send(press + press[:-1] + b"m")
                self.assert_ended(session, exit_code=0)
                self.assertIn(FAREWELL, session.output)

    def test_the_game_never_hangs_nor_runs_on_without_its_terminal(self):
        # (what, the file made a FIFO, SIGHUP ignored, what this side does, how the game ends:
        #  exit status or signal, what it shows last)
        fifo_world = os.path.join("bin", "world", STEM + ".wgf")
        cases = (
            ("start world is a FIFO", fifo_world, False, None, 1, b"missing or corrupt!"),
            ("config.ini is a FIFO", "config.ini", False, b"\x1b", 0, FAREWELL),
            ("hang-up", None, False, "hang up", -signal.SIGHUP, None),
            ("hang-up with SIGHUP ignored", None, True, "hang up", 129, None),
            ("kill -SEGV", None, False, signal.SIGSEGV, -signal.SIGSEGV, None),
            ("kill -BUS", None, False, signal.SIGBUS, -signal.SIGBUS, None),
            ("kill -FPE", None, False, signal.SIGFPE, -signal.SIGFPE, None),
            ("kill -ILL", None, False, signal.SIGILL, -signal.SIGILL, None),
        )
        for what, fifo, ignore_hangup, action, ending, last in cases:
            with self.subTest(what):
                directory = None
                if fifo:
                    directory = tempfile.mkdtemp(prefix="tharvok-fifo-")
                    self.addCleanup(shutil.rmtree, directory, True)
                    shutil.copytree(TEST_WORLD, os.path.join(directory, "bin", "world"))
                    shutil.copy(CONFIG, os.path.join(directory, "config.ini"))
                    os.remove(os.path.join(directory, fifo))
                    os.mkfifo(os.path.join(directory, fifo))
                session = self.start(b"\x1b[?62;22c", directory=directory,
                                     ignore_hangup=ignore_hangup)
                if action == "hang up":
                    session.hang_up()
                    self.assertTrue(session.wait_without_terminal(), "the game runs on")
                else:
                    if isinstance(action, bytes):
                        session.read_until(b"Exit")
                        session.send(action)
                    elif action is not None:
                        os.kill(session.pid, action)
                    self.assertTrue(session.wait(), "the game did not end")
                    self.assertEqual(termios.tcgetattr(session.slave), session.settings)
                    out = session.output
                    self.assertGreater(out.rindex(ALT_OFF), out.rindex(ALT_ON))
                if ending < 0:
                    self.assertTrue(os.WIFSIGNALED(session.status), session.status)
                    self.assertEqual(os.WTERMSIG(session.status), -ending)
                else:
                    self.assertTrue(os.WIFEXITED(session.status), session.status)
                    self.assertEqual(os.WEXITSTATUS(session.status), ending)
                if last is not None:
                    self.assertGreater(session.output.rindex(last), session.output.rindex(ALT_OFF))

    def test_not_a_terminal(self):
        import subprocess
        master, slave = pty.openpty()
        self.addCleanup(os.close, master)
        self.addCleanup(os.close, slave)
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
        cases = ((subprocess.DEVNULL, slave, b"standard input is not a terminal"),
                 (slave, subprocess.PIPE, b"standard output is not a terminal"))
        for stdin, stdout, message in cases:
            with self.subTest(message=message):
                result = subprocess.run([THARVOK], stdin=stdin, stdout=stdout,
                                        stderr=subprocess.PIPE, cwd=game_directory(),
                                        timeout=DEADLINE)
                self.assertEqual(result.returncode, 1)
                self.assertIn(message, result.stderr)
                self.assertFalse(result.stdout)

    def test_a_config_ini_the_game_ignores_is_said_once_before_the_screen_is_taken(self):
        # Larger than the game reads: its last line binds nothing, Escape still quits.
        said = b"config.ini is larger than 1 MiB (1048576 bytes), the most the game reads"
        session = self.start(b"\x1b[?62;22c", config="#" * (1 << 20) + "\ncMoveUp = &\n")
        session.read_until(b"Exit")
        session.send(b"\x1b")
        self.assert_ended(session, exit_code=0)
        self.assertEqual(session.output.count(said), 1, session.output[:400])
        self.assertLess(session.output.index(said), session.output.index(ALT_ON))
        helped = subprocess.run([THARVOK, "--help"],
                                env=dict(os.environ, XDG_CONFIG_HOME=session.home),
                                capture_output=True, cwd=game_directory(), timeout=DEADLINE)
        self.assertIn(b" binds them):\n"
                      b"  none but Escape and F1: the game ignores that file, which\n"
                      b"  is larger than 1 MiB (1048576 bytes), the most the game reads\n"
                      b"  move up               not bound\n", helped.stdout)


class Recording(GameInAPty):
    def replay(self, *args, cwd):
        """tharvok-replay in a clean environment: no user config.ini, another working folder."""
        home = tempfile.mkdtemp(prefix="tharvok-clean-")
        self.addCleanup(shutil.rmtree, home, True)
        env = {k: v for k, v in os.environ.items() if k not in ("XDG_CONFIG_HOME", "HOME")}
        env["HOME"] = home
        return subprocess.run([os.path.join(BUILD_DIR, "tharvok-replay"), *args], cwd=cwd, env=env,
                              capture_output=True, timeout=DEADLINE)

    def on_terminal(self, args):
        """Runs a program on a pseudo-terminal of its own: what it wrote, and its exit status."""
        pid, master = pty.fork()
        if pid == 0:
            try:
                os.execvp(args[0], args)
            finally:
                os._exit(127)
        output = b""
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end:
            try:
                data = os.read(master, 65536)
            except OSError:
                break
            if not data:
                break
            output += data
        os.close(master)
        _, status = os.waitpid(pid, 0)
        return output, os.waitstatus_to_exitcode(status)

    def test_a_recording_replays_anywhere_with_the_config_it_was_played_with(self):
        work = tempfile.mkdtemp(prefix="tharvok-recording-")
        self.addCleanup(shutil.rmtree, work, True)
        recording = os.path.join(work, "bug.replay")
        # Data in a folder with a space, named from here: the recording plays from anywhere.
        shutil.copytree(os.path.join(game_directory(), "bin"),
                        os.path.join(work, "My Games", "bin"))
        elsewhere = os.path.join(work, "elsewhere")
        os.mkdir(elsewhere)
        # W walks up only in the player's own config.ini; Ctrl-C ends the game.
        with open(CONFIG) as shipped:
            config = shipped.read().replace("cMoveUp = &", "cMoveUp = W")
        session = self.start(b"\x1b[?0u\x1b[?62;22c", config=config, cwd=work,
                             args=["--data", "My Games", "--record", recording])
        session.read_until(b"Exit")
        session.send(b"\x1b[13u\x1b[13;1:3u")
        self.assertTrue(session.read_after(b"\x1b[?2026l"), session.output)
        for _ in range(3):
            session.send(b"\x1b[119u\x1b[119;1:3u")
            time.sleep(0.15)
        session.send(b"\x1b[99;5u")
        self.assert_ended(session, by_signal=signal.SIGINT)

        def player_cell(screen):
            rows = screen.decode().split("\n")[:25]
            found = [(row.index("\u263b"), y) for y, row in enumerate(rows) if "\u263b" in row]
            self.assertEqual(len(found), 1, screen.decode())
            return found[0]

        played = self.replay("--final-screen", "-", recording, cwd=elsewhere)
        self.assertEqual(played.returncode, 0, played.stderr)
        self.assertEqual(played.stderr, b"")
        self.assertEqual(player_cell(played.stdout), (40, 9))
        # With the data folder's config.ini instead, W does nothing.
        shipped_ini = os.path.join(BUILD_DIR, "config.ini")
        shipped = self.replay("--config", shipped_ini, "--final-screen",
                              "-", recording, cwd=work)
        self.assertEqual(player_cell(shipped.stdout), (40, 12))
        self.assertIn(f"the keys differ from the recording's config.ini: '{shipped_ini}' "
                      "(--config) binds\n  move up, cMoveUp: Up arrow here, W when recorded\n"
                      .encode(), shipped.stderr)

        # A start world edited since: said with its path, played anyway, status 3.
        edited = os.path.join(work, "data")
        shutil.copytree(os.path.join(BUILD_DIR, "bin"), os.path.join(edited, "bin"))
        with open(os.path.join(edited, START_WORLD), "ab") as grid:
            grid.write(b"\n")
        changed = self.replay("--data", edited, "--final-screen", "-", recording, cwd=work)
        self.assertEqual(changed.returncode, 3, changed.stderr)
        self.assertIn(START_WORLD.encode() + b": warning: Brenholt village: differs",
                      changed.stderr)
        self.assertEqual(player_cell(changed.stdout), (40, 9))

        # The terminal recording ends as the game leaves a terminal, as asciinema plays it too.
        cast = os.path.join(work, "walk.cast")
        self.assertEqual(self.replay("--asciicast", cast, recording, cwd=work).returncode, 0)
        self.assertTrue(shutil.which("asciinema"), "asciinema is not installed")
        output, status = self.on_terminal(["asciinema", "cat", cast])
        self.assertEqual(status, 0, output[-400:])
        self.assertTrue(output.endswith(b"\x1b[0m\x1b[?25h"), output[-80:])

    def test_a_recording_that_cannot_be_written_is_told_once_off_the_screen(self):
        # /dev/full takes no byte: the first write, by the first frame after a second's rest, fails.
        told = {False: b"\x1b]0;Tharvok (2012) - a small adventure in the text console"
                       b" [the recording cannot be written]\x07",
                True: b"The recording cannot be written; the game goes on without it.\r\n"}
        for speak, notice in told.items():
            with self.subTest(speak=speak):
                session = Session(args=["--record", "/dev/full", "--overwrite", "--speak"][:3 + speak])
                self.addCleanup(session.close)
                self.assertTrue(session.read_until(PROBE), session.output)
                session.send(b"\x1b[?0u\x1b[?62;22c")
                self.assertTrue(session.read_until(b"1 of 5." if speak else b"Exit"))
                for _ in range(2):
                    session.read_until(b"\x00never", 1.1)
                    session.send(b"\x1b[1;1:1B\x1b[1;1:3B")  # Down, pressed and released
                    self.assertTrue(session.read_until(notice), session.output)
                session.send(b"\x1b[27u\x1b[27;1:3u")
                self.assert_ended(session, exit_code=1)
                self.assertEqual(session.output.count(b"cannot be written"), 1, session.output)

    def test_record_leaves_a_file_that_exists_alone(self):
        work = tempfile.mkdtemp(prefix="tharvok-recording-")
        self.addCleanup(shutil.rmtree, work, True)
        recording = os.path.join(work, "walk.replay")
        with open(recording, "w") as file:
            file.write("frame 16\n")
        result = subprocess.run([THARVOK, "--record", recording], stdin=subprocess.DEVNULL,
                                capture_output=True, cwd=game_directory(), timeout=DEADLINE)
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"--overwrite", result.stderr)
        with open(recording) as file:
            self.assertEqual(file.read(), "frame 16\n")
        # --overwrite names no file to replace without --record.
        alone = subprocess.run([THARVOK, "--overwrite"], stdin=subprocess.DEVNULL,
                               capture_output=True, cwd=game_directory(), timeout=DEADLINE)
        self.assertEqual(alone.returncode, 2)
        self.assertIn(b"tharvok: --overwrite goes with --record FILE", alone.stderr)


def context_switches(pid):
    """Times the game's threads were switched out, asleep or not."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as status:
            for line in status:
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    total += int(line.split()[1])
    return total


class Rest(GameInAPty):
    PRESS_LEFT, RELEASE_LEFT = b"\x1b[1;1:1D", b"\x1b[1;1:3D"
    PRESS_TAB = b"\x1b[9u"

    def quiet_second(self, session):
        """Context switches of the game over one second with nothing sent."""
        session.read_until(b"\x00never", 0.5)
        before = context_switches(session.pid)
        session.read_until(b"\x00never", 1.0)
        return context_switches(session.pid) - before

    def test_a_resting_game_stays_asleep_in_the_menu_and_in_play(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        self.assertLessEqual(self.quiet_second(session), 2)
        session.send(b"\x1b[13u\x1b[13;1:3u")
        self.assertLessEqual(self.quiet_second(session), 2)

    def test_a_held_key_walks_at_its_speed(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        session.send(b"\x1b[13u\x1b[13;1:3u")
        session.read_until(b"\x00never", 0.3)
        # A first press steps one cell at once; held, the player walks 8 cells a second (to the
        # left: the way is open for 20 cells).
        pressed = time.monotonic()
        session.send(self.PRESS_LEFT)
        session.read_until(b"\x00never", 0.5)
        session.send(self.RELEASE_LEFT)
        held = time.monotonic() - pressed
        session.read_until(b"\x00never", 0.1)
        session.send(self.PRESS_TAB)
        self.assertTrue(session.read_after(b" Y:12"), session.output)
        column = int(session.output[session.output.rindex(b"X:") + 2:][:2])
        self.assertAlmostEqual(40 - column, 1 + 8 * held, delta=2)


class Speaking(GameInAPty):
    """--speak: the terminal keeps its own screen and gets one sentence a line."""

    def start_speaking(self):
        session = Session(args=["--speak"])
        self.addCleanup(session.close)
        self.assertTrue(session.read_until(PROBE), session.output)
        session.send(b"\x1b[?0u\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Title screen.\r\nNew Game, 1 of 5.\r\n"),
                        session.output)
        return session

    def assert_no_screen(self, out):
        self.assertNotIn(ALT_ON, out)
        # No colours, no cursor moves, no cleared screen, no hidden cursor.
        for sequence in (rb"\x1b\[[0-9;]*m", rb"\x1b\[[0-9;]*[HfABCDJK]", rb"\x1b\[\?25l"):
            self.assertIsNone(re.search(sequence, out), (sequence, out))

    def test_play_by_ear_then_ctrl_c(self):
        session = self.start_speaking()
        session.send(b"\x1b[13u\x1b[13;1:3u")  # Enter
        self.assertTrue(session.read_until(b"Brenholt village, at 40, 12.\r\n"), session.output)
        session.send(b"\x1b[9u")  # Tab held: the panel says the time once
        self.assertTrue(session.read_until(b"\r\nTime "), session.output)
        session.send(b"\x1b[9;1:3u\x1b[100u\x1b[100;1:3u")  # D: where, and the paths
        self.assertTrue(session.read_until(b"Path: Fields, 39 steps: "), session.output)
        # D again, a moment later as a finger's second press comes (the first one's release
        # is then long read): the eight directions.
        time.sleep(0.15)
        session.send(b"\x1b[100u\x1b[100;1:3u")
        self.assertTrue(session.read_until(b"North-west: "), session.output)
        self.assertRegex(session.output, rb"\r\nTime \d\d:\d\d:\d\d, at 40, 12\.\r\nBrenholt")
        session.send(b"\x1b[99;5u")
        self.assert_ended(session, by_signal=signal.SIGINT)
        self.assertLess(session.output.rindex(PUSH), session.output.rindex(POP))
        self.assert_no_screen(session.output)
        # Pointing is on, but no screen is shown to click on: the mouse stays the terminal's.
        self.assertNotIn(b"\x1b[?1000", session.output)

    def test_the_farewell_is_said_once_and_the_status_is_zero(self):
        session = self.start_speaking()
        session.send(b"\x1b[27u\x1b[27;1:3u")
        self.assert_ended(session, exit_code=0)
        self.assertEqual(session.output.count(FAREWELL + b"\r\n"), 1, session.output)
        self.assert_no_screen(session.output)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
