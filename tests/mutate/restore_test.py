#!/usr/bin/env python3
"""scripts/mutate on a throwaway repository: a renamed file's changed line alone is mutated, the
verdicts of a whole run, and a run stopped by Ctrl-C or by a kill while a mutant is under test
leaves the developer's tree and the mutants' worktree as committed, with the test it ran gone and
what that test started in a session of its own.

    restore_test.py SCRIPT
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

CHECK = """import os, subprocess, sys, time
if "a < 2" not in open(sys.argv[1]).read():
    if os.environ.get("HOLD"):
        stray = subprocess.Popen([sys.executable, "-c", "import time; time.sleep(60)", sys.argv[1]],
                                 start_new_session=True)
        open(os.environ["HOLD"], "w").write(f"{os.getpid()} {stray.pid}")
        time.sleep(60)
    sys.exit(1)
"""
PRESETS = """{"version": 3, "configurePresets": [{"name": "release", "generator": "Ninja",
 "binaryDir": "${sourceDir}/build/release"}], "buildPresets": [{"name": "release",
 "configurePreset": "release"}]}"""
LISTS = f"""cmake_minimum_required(VERSION 3.22)
project(fake NONE)
enable_testing()
add_test(NAME check COMMAND {sys.executable} ${{CMAKE_SOURCE_DIR}}/check.py
         ${{CMAKE_SOURCE_DIR}}/src/a.cpp)
# src/a.cpp is "compiled" (copied); src/b.cpp is no part of the build.
add_custom_command(OUTPUT a.copy DEPENDS ${{CMAKE_SOURCE_DIR}}/src/a.cpp
                   COMMAND ${{CMAKE_COMMAND}} -E copy ${{CMAKE_SOURCE_DIR}}/src/a.cpp a.copy)
add_custom_target(copy ALL DEPENDS a.copy)
"""
OLD = "".join(f"int old{n}() {{ return {n}; }}\n" for n in range(6))


def fail(text):
    sys.exit("FAIL: " + text)


def git(repo, *args):
    return subprocess.run(["git", "-c", "user.name=t", "-c", "user.email=t@t", *args], cwd=repo,
                          check=True, capture_output=True, text=True).stdout


def alive(pid):
    """Whether pid runs (a zombie waiting for its parent does not), after a moment's grace."""
    for _ in range(50):
        try:
            if Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[0] == "Z":
                return False
        except FileNotFoundError:
            return False
        time.sleep(0.1)
    return True


def make_repo(where, script):
    repo = where / "repo"
    (repo / "scripts").mkdir(parents=True)
    (repo / "src").mkdir()
    shutil.copy(script, repo / "scripts" / "mutate")
    for name, text in ((".gitignore", "/build/\n"), ("CMakeLists.txt", LISTS),
                       ("CMakePresets.json", PRESETS), ("check.py", CHECK), ("src/old.cpp", OLD),
                       ("src/a.cpp", "\n"), ("src/notes.txt", "\n")):
        (repo / name).write_text(text)
    git(repo, "init", "-q", "-b", "main")
    git(repo, "add", ".")
    git(repo, "commit", "-qm", "base")
    git(repo, "mv", "src/old.cpp", "src/b.cpp")
    (repo / "src/b.cpp").write_text(OLD.replace("return 3;", "return 30;"))
    (repo / "src/a.cpp").write_text("int f(int a) { return a < 2; }\nint g() { return !0; }\n")
    (repo / "src/notes.txt").write_text("a < 2\n")
    git(repo, "commit", "-qam", "change")
    return repo


def main():
    where = Path(tempfile.mkdtemp(prefix="mutate-test-"))
    try:
        repo = make_repo(where, Path(sys.argv[1]))
        mutate = [sys.executable, str(repo / "scripts" / "mutate"), "--base", "HEAD~1"]
        listed = subprocess.run(mutate + ["--list"], cwd=repo, capture_output=True, text=True)
        in_a = [("src/a.cpp:1:25", "< -> <="), ("src/a.cpp:1:27", "2 -> 1"),
                ("src/a.cpp:1:27", "2 -> 3"), ("src/a.cpp:2:18", "! -> "),
                ("src/a.cpp:2:19", "0 -> 1")]
        in_b = in_a + [("src/b.cpp:4:21", "30 -> 29"), ("src/b.cpp:4:21", "30 -> 31")]
        if re.findall(r"^(src/\S+)  (.*?):", listed.stdout, re.M) != in_b:
            fail("the mutants listed:\n" + listed.stdout + listed.stderr)

        whole = subprocess.run(mutate + ["--files", "src/a.cpp", "src/b.cpp"], cwd=repo,
                               capture_output=True, text=True, timeout=120)
        verdicts = re.findall(r"^(killed|survived|not compiled) +(src/\S+)  (.*?):", whole.stdout,
                              re.M)
        if whole.returncode != 0 or verdicts != [(v, *m) for v, m in zip(
                ["killed"] * 3 + ["survived"] * 2 + ["not compiled"] * 2, in_b)] or \
                "score 3/5 = 60 %" not in whole.stdout:
            fail("the whole run:\n" + whole.stdout + whole.stderr)

        tree = repo / "build" / "mutate"
        for stop in (signal.SIGINT, signal.SIGTERM):
            hold = where / f"hold-{stop.name}"
            run = subprocess.Popen(mutate + ["--files", "src/a.cpp"], cwd=repo, text=True,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   env=dict(os.environ, HOLD=str(hold)))
            deadline = time.monotonic() + 60
            while not (hold.exists() and hold.read_text()) and run.poll() is None:
                if time.monotonic() > deadline:
                    run.kill()
                    fail("no mutant reached its test")
                time.sleep(0.05)
            if "a <= 2" not in (tree / "src/a.cpp").read_text():
                fail("the worktree does not hold the mutant under test")
            run.send_signal(stop)
            output = run.communicate(timeout=60)[0]
            if run.returncode != 130 or f"stopped by {stop.name}" not in output:
                fail(f"{stop.name} gave {run.returncode}:\n{output}")
            for checkout in (repo, tree):
                if git(checkout, "status", "--porcelain") or "a < 2" not in (
                        checkout / "src/a.cpp").read_text():
                    fail(f"{checkout} is left changed after {stop.name}")
            if any(alive(int(pid)) for pid in hold.read_text().split()):
                fail(f"the test under way or what it left in a session of its own outlived "
                     f"{stop.name}")
        print("mutate restores: ok")
    finally:
        shutil.rmtree(where, ignore_errors=True)


if __name__ == "__main__":
    main()
