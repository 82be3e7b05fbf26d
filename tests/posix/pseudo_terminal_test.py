#!/usr/bin/env python3
"""The game in a pseudo-terminal that plays a terminal speaking the keyboard protocol (or not):
it answers the start-up queries, sends key events, and checks what the game asks of the terminal
and that the terminal's settings come back unchanged.

usage: pseudo_terminal_test.py THARVOK BUILD_DIR TEST_WORLD_DIR CONFIG_INI
"""
import fcntl
import os
import re
import pty
import resource
import select
import shutil
import signal
import struct
import sys
import tempfile
import termios
import time
import unittest

THARVOK, BUILD_DIR, TEST_WORLD, CONFIG = sys.argv[1:5]
START_WORLD = "bin/world/cbd0c59d7beb6f252926f8b454738e97.wgf"
DEADLINE = 15.0

PROBE = b"\x1b[?u\x1b[c"
PUSH = b"\x1b[>11u"
POP = b"\x1b[<u"
ALT_ON = b"\x1b[?1049h"
ALT_OFF = b"\x1b[?1049l"
NOTICE = b"Tharvok needs at least 80 x 25"
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
                 options=()):
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
            os.setsid()
            fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
            for fd in (0, 1, 2):
                os.dup2(self.slave, fd)
            os.chdir(directory or game_directory())
            if config:
                os.environ["XDG_CONFIG_HOME"] = self.home
            # Signals that end the game may dump core: not into the build folder.
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
            if ignore_hangup:
                signal.signal(signal.SIGHUP, signal.SIG_IGN)
            # A folder of its own is the only one: elsewhere the game would find the worlds
            # beside its executable.
            os.execv(THARVOK, [THARVOK] + (["--data", directory] if directory else []) +
                     list(options))
        self.status = None

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
    def test_a_small_window_is_asked_to_grow_and_asked_back_at_the_end(self):
        session = Session(100, 24)
        self.addCleanup(session.close)
        self.assertTrue(session.read_until(b"\x1b[8;25;100t"), session.output)
        session.resize(100, 25)
        self.assertTrue(session.read_until(PROBE), session.output)
        session.send(b"\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        # A suspend gives the terminal back but keeps the size (here the game is not stopped: it
        # is in a process group of its own, which a terminal stop signal leaves running).
        os.kill(session.pid, signal.SIGTSTP)
        self.assertTrue(session.read_after(ALT_ON), session.output)
        self.assertIn(ALT_OFF, session.output)
        self.assertNotIn(b"\x1b[8;", session.output)
        session.send(b"\x1b")
        self.assert_ended(session, exit_code=0)
        self.assertGreater(session.output.rindex(b"\x1b[8;24;100t"), session.output.rindex(ALT_OFF))

    def test_keys_behind_the_too_small_notice_never_count(self):
        session = self.start(b"\x1b[?0u\x1b[?62;22c")
        self.assertTrue(session.read_until(b"Exit"), session.output)
        session.resize(60, 20)
        self.assertTrue(session.read_after(NOTICE), session.output)
        # Escape (which quits from the menu) pressed behind the notice, let go once it is gone.
        session.send(b"\x1b[27u")
        session.resize(80, 25)
        self.assertTrue(session.read_after(b"Exit"), session.output)
        time.sleep(0.2)  # frames go by with Escape held
        session.send(b"\x1b[27;1:3u")
        session.send(b"\x1b[13u\x1b[13;1:3u")  # Enter: a new game
        self.assertTrue(session.read_after(b"\x1b[?2026l"), session.output)
        # Ctrl-C still ends the game behind the notice.
        session.resize(79, 25)
        self.assertTrue(session.read_after(NOTICE), session.output)
        session.send(b"\x1b[99;5u")
        self.assert_ended(session, by_signal=signal.SIGINT)


class ExitPaths(GameInAPty):
    def test_ending_signals_give_the_terminal_back(self):
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGQUIT, signal.SIGABRT):
            with self.subTest(signal=sig.name):
                session = self.start(b"\x1b[?0u\x1b[?62;22c")
                session.read_until(PUSH)
                os.kill(session.pid, sig)
                self.assert_ended(session, by_signal=sig)
                out = session.output
                tail = out[out.rindex(PUSH):]
                for sequence in (POP, b"\x1b[?1004l", b"\x1b[?25h", ALT_OFF, b"\x1b[23;0t"):
                    self.assertIn(sequence, tail)
                # No binding uses a mouse button: the mouse is left to the terminal.
                self.assertIn(b"\x1b[?1004h", out)
                self.assertNotIn(b"\x1b[?1000", out)

    def test_mouse_reports_while_a_binding_uses_a_button(self):
        for code in (1, 6):
            with self.subTest(code=code):
                session = self.start(b"\x1b[?62;22c", config=f"[actions]\ncSelect = {code}\n")
                self.assertTrue(session.read_until(b"\x1b[?1000h\x1b[?1006h"), session.output)
                os.kill(session.pid, signal.SIGTERM)
                self.assert_ended(session, by_signal=signal.SIGTERM)
                self.assertLess(session.output.rindex(b"\x1b[?1006l\x1b[?1000l"),
                                session.output.rindex(ALT_OFF))

    def test_the_game_never_hangs_nor_runs_on_without_its_terminal(self):
        # (what, the file made a FIFO, SIGHUP ignored, what this side does, how the game ends:
        #  exit status or signal, what it shows last)
        fifo_world = os.path.join("bin", "world", "cbd0c59d7beb6f252926f8b454738e97.wgf")
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

class Speaking(GameInAPty):
    """--speak: the terminal keeps its own screen and gets one sentence a line."""

    def start_speaking(self):
        session = Session(options=["--speak"])
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
        session.send(b"\x1b[9;1:3u\x1b[100u\x1b[100;1:3u")  # D: the surroundings
        self.assertTrue(session.read_until(b"North-west: "), session.output)
        self.assertRegex(session.output, rb"\r\nTime \d\d:\d\d:\d\d, at 40, 12\.\r\nBrenholt")
        session.send(b"\x1b[99;5u")
        self.assert_ended(session, by_signal=signal.SIGINT)
        self.assertLess(session.output.rindex(PUSH), session.output.rindex(POP))
        self.assert_no_screen(session.output)

    def test_the_farewell_is_said_once_and_the_status_is_zero(self):
        session = self.start_speaking()
        session.send(b"\x1b[27u\x1b[27;1:3u")
        self.assert_ended(session, exit_code=0)
        self.assertEqual(session.output.count(FAREWELL + b"\r\n"), 1, session.output)
        self.assert_no_screen(session.output)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
