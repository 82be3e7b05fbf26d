#!/usr/bin/env python3
"""Every option and command that a program's --help names is in its manual page.

    man_page_test.py PAGE PROGRAM [ARG...]

Runs PROGRAM --help ARG... and, for a program of commands, COMMAND --help for each command that
its help lists; renders PAGE with groff as man does; fails naming each option (--name) or command
("PROGRAM COMMAND") that the rendered page lacks.
"""
import os
import re
import subprocess
import sys


def run(args):
    env = dict(os.environ, HOME="/nonexistent", XDG_CONFIG_HOME="/nonexistent")
    result = subprocess.run(args, capture_output=True, text=True, env=env, timeout=60)
    if result.returncode != 0:
        sys.exit(f"{' '.join(args)} ended with {result.returncode}: {result.stderr}")
    return result.stdout


def options(text):
    return re.findall(r"(?<![\w-])--[a-z][a-z0-9-]*", text)


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    page, program, *args = sys.argv[1:]
    name = os.path.basename(program)
    text = run([program, "--help", *args])
    wanted = {option: "--help" for option in options(text)}
    commands = re.findall(r"^  " + re.escape(name) + r" ([a-z][a-z-]*)", text, re.M)
    for command in commands:
        for option in options(run([program, command, "--help"])):
            wanted.setdefault(option, command + " --help")
    # Plain text without hyphenation, its lines joined: an option is found across a line break.
    rendered = run(["groff", "-man", "-Tascii", "-rHY=0", "-P-c", "-P-b", "-P-o", "-P-u", page])
    flat = " ".join(rendered.split())
    missing = [f"{option} (from {where})" for option, where in sorted(wanted.items())
               if not re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", flat)]
    missing += [f"{name} {command}" for command in commands if f"{name} {command}" not in flat]
    for what in missing:
        print(f"FAIL: {page} lacks {what}")
    print(f"{len(wanted) + len(commands)} options and commands of {name}'s --help, "
          f"{len(missing)} missing from {os.path.basename(page)}")
    return 1 if missing or not wanted else 0


if __name__ == "__main__":
    sys.exit(main())
