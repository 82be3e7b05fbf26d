#!/usr/bin/env python3
"""Reads the #include lines of src/ and tools/ and fails on what breaks the layering.

Layers, bottom to top: platform (its back ends and the screen model); core and config (the console
services, the key table, the configuration); world (the model and its rules); render (the views);
menu; speech (what the game says, beside the views); replay (the script grammar and the
recorder); app (the game object and the frame loop); headless (the game on the in-memory back
end); tools (the programs). It reports:
  - an include that points up a layer;
  - a platform file that includes anything outside src/platform, or one back end's header in
    another back end (or in the platform's own interface files);
  - an operating-system header outside its back end's folder;
  - a test of the system being built for (_WIN32, __APPLE__, __linux__, __EMSCRIPTEN__, ...)
    outside src/platform: what differs between systems is a platform function;
  - files that need each other (an include cycle between file pairs);
  - a member function defined in another folder than its class's header (a class declared in
    src/platform may be implemented by each back end).

    check_layers.py SOURCE_DIR      checks the tree
    check_layers.py --self-test     checks that each rule catches what it is for
"""
import os
import re
import sys
import tempfile

LAYERS = {"platform": 1, "core": 2, "config": 2, "world": 3, "render": 4, "menu": 5, "speech": 6,
          "replay": 7, "app": 8, "headless": 9, "tools": 10}
BACK_ENDS = {"posix", "win32", "web", "virtual"}
# Back ends that may include operating-system headers.
OS_BACK_ENDS = {"posix", "win32", "web"}
OS_HEADERS = {"windows.h", "winuser.h", "wincon.h", "io.h", "process.h", "conio.h", "shlobj.h",
              "knownfolders.h", "unistd.h", "termios.h", "fcntl.h", "poll.h", "signal.h",
              "csignal", "dirent.h", "pwd.h", "dlfcn.h", "libgen.h", "spawn.h", "pthread.h",
              "emscripten.h"}
OS_HEADER_FOLDERS = ("sys/", "emscripten/", "mach-o/", "linux/", "arpa/", "netinet/")

SYSTEM_TEST = re.compile(r"^\s*#\s*(?:el)?if.*\b(?:_WIN32|_WIN64|_MSC_VER|__MINGW\w*|__APPLE__|"
                         r"__linux__|__unix__|__EMSCRIPTEN__|__FreeBSD__)\b")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
CLASS = re.compile(r"^(?:class|struct)\s+(\w+)(?:\s+final)?\s*(?::[^;{]*)?\{?\s*$")
DEFINITION = re.compile(r"^(?!\s)(?!.*;\s*$)[^(]*?\b(\w+)::~?\w+\s*\(")


def place(root, path):
    """(layer name, back end or None) of a file under src/ or tools/."""
    rel = os.path.relpath(path, root).replace(os.sep, "/").split("/")
    if rel[0] == "tools":
        return "tools", None
    if rel[0] == "src" and len(rel) > 2:
        if rel[1] == "platform":
            return "platform", rel[2] if len(rel) > 3 and rel[2] in BACK_ENDS else None
        return rel[1], None
    return None, None


def sources(root):
    for top in ("src", "tools"):
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.join(folder, name)


def resolve(root, path, name, layer):
    """The file a quoted include names, as the build's include paths find it, or None."""
    candidates = [os.path.join(os.path.dirname(path), name)]
    if layer == "platform":
        candidates.append(os.path.join(root, "src", "platform", name))
    else:
        candidates.append(os.path.join(root, "src", name))
    for candidate in candidates:
        if os.path.isfile(candidate):
            return os.path.normpath(candidate)
    return None


def check(root):
    problems = []
    graph = {}
    classes = {}
    files = list(sources(root))
    for path in files:
        layer, back_end = place(root, path)
        rel = os.path.relpath(path, root).replace(os.sep, "/")
        if layer not in LAYERS:
            problems.append(f"{rel}: a folder of no known layer")
            continue
        module = os.path.splitext(path)[0]
        graph.setdefault(module, set())
        with open(path, encoding="utf-8", errors="replace") as text:
            lines = text.read().split("\n")
        for number, line in enumerate(lines, 1):
            where = f"{rel}:{number}"
            if path.endswith(".h"):
                found = CLASS.match(line)
                if found:
                    classes.setdefault(found.group(1), []).append(os.path.dirname(path))
            if layer != "platform" and SYSTEM_TEST.match(line):
                problems.append(f"{where}: a test of the system belongs in src/platform")
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            if kind == "<":
                if name in OS_HEADERS or name.startswith(OS_HEADER_FOLDERS):
                    if back_end not in OS_BACK_ENDS:
                        problems.append(f"{where}: the system header <{name}> belongs in a "
                                        f"back end of src/platform")
                continue
            target = resolve(root, path, name, layer)
            if target is None:
                problems.append(f'{where}: "{name}" is no file this layer can see')
                continue
            if layer != "platform" and name.split("/")[0] != "platform" and \
                    place(root, target)[0] == "platform":
                problems.append(f'{where}: name the platform header "{name}" as "platform/..."')
            target_layer, target_back_end = place(root, target)
            if target_layer in LAYERS and LAYERS[target_layer] > LAYERS[layer]:
                problems.append(f'{where}: "{name}" is in {target_layer}, a layer above '
                                f"{layer}")
            if layer == "platform" and target_layer == "platform" and target_back_end and \
                    target_back_end != back_end:
                problems.append(f'{where}: "{name}" belongs to the {target_back_end} back end')
            target_module = os.path.splitext(target)[0]
            if target_module != module:
                graph[module].add(target_module)
    problems += cycles(root, graph)
    problems += split_classes(root, files, classes)
    return problems


def cycles(root, graph):
    """Groups of file pairs that need each other (strongly connected, more than one)."""
    index = {}
    low = {}
    stack = []
    on_stack = set()
    groups = []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                group.append(top)
                if top == node:
                    break
            if len(group) > 1:
                groups.append(group)

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return ["these files need each other: " +
            ", ".join(sorted(os.path.relpath(g, root).replace(os.sep, "/") for g in group))
            for group in groups]


def split_classes(root, files, classes):
    problems = []
    for path in files:
        if not path.endswith(".cpp"):
            continue
        folder = os.path.dirname(path)
        rel = os.path.relpath(path, root).replace(os.sep, "/")
        with open(path, encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text.read().split("\n"), 1):
                match = DEFINITION.match(line)
                if not match or match.group(1) not in classes:
                    continue
                homes = classes[match.group(1)]
                if len(homes) != 1 or homes[0] == folder:
                    continue
                home = homes[0]
                platform_root = os.path.join(root, "src", "platform")
                if home == platform_root and os.path.dirname(folder) == platform_root:
                    continue  # one interface, implemented by each back end
                problems.append(f"{rel}:{number}: a member of {match.group(1)}, whose header is "
                                f"in {os.path.relpath(home, root)}")
    return problems


def self_test():
    """Each rule, broken once in a small tree, must be reported."""
    tree = {
        "src/platform/Platform.h": "#pragma once\n",
        "src/platform/Host.h": '#include "Platform.h"\nclass Host {\n};\n',
        "src/platform/posix/Io.cpp": '#include "Host.h"\n#include <unistd.h>\n'
                                     "bool Host::open() { return true; }\n",
        "src/platform/win32/Con.h": "#pragma once\n",
        "src/platform/posix/Bad.cpp": '#include "win32/Con.h"\n',
        "src/platform/Leak.cpp": '#include "world/Map.h"\n',
        "src/core/Console.h": '#include "platform/Platform.h"\n',
        "src/core/Up.cpp": '#include "world/Map.h"\n',
        "src/core/Sys.cpp": "#include <termios.h>\n",
        "src/world/Map.h": '#include "core/Console.h"\nclass Map {\n};\n',
        "src/world/A.h": '#include "world/B.h"\n',
        "src/world/B.cpp": '#include "world/A.h"\n',
        "src/world/B.h": "#pragma once\n",
        "src/world/Bare.cpp": '#include "Platform.h"\n',
        "src/render/View.cpp": '#include "world/Map.h"\nvoid Map::draw() {}\n',
        "src/world/Path.h": "#pragma once\n#if defined(_WIN32)\n#endif\n",
        "src/platform/win32/Path.cpp": "#ifdef _WIN32\n#endif\n",
        "tools/Tool.cpp": "#include <cstdio>\n#elif defined(__APPLE__)\n",
        "src/app/Game.h": '#include "replay/Script.h"\n',
        "src/replay/Script.h": '#include "world/Map.h"\n',
        "src/replay/Recorder.cpp": '#include "app/Game.h"\n',
        "src/headless/Headless.h": '#include "app/Game.h"\n',
        "src/app/Main.cpp": '#include "headless/Headless.h"\n',
    }
    expected = [
        "src/platform/posix/Bad.cpp:1",  # another back end
        "src/platform/Leak.cpp:1",  # the platform sees the game
        "src/core/Up.cpp:1",  # up a layer
        "src/core/Sys.cpp:1",  # a system header outside a back end
        "need each other",  # A.h -> B.h, B.cpp -> A.h
        "src/world/Bare.cpp:1",  # a platform header not named as one
        "src/render/View.cpp:2",  # a member of Map defined in render/
        "src/world/Path.h:2",  # a test of the system outside the platform
        "tools/Tool.cpp:2",  # the same in a tool
        "src/replay/Recorder.cpp:1",  # the recorder sees the game that records through it
        "src/app/Main.cpp:1",  # the game sees the headless game built on it
    ]
    with tempfile.TemporaryDirectory() as root:
        for name, text in tree.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        problems = check(root)
    failed = [want for want in expected if not any(want in p for p in problems)]
    unexpected = [p for p in problems if not any(want in p for want in expected)]
    for want in failed:
        print(f"self-test: nothing reported for {want}")
    for problem in unexpected:
        print(f"self-test: reported although allowed: {problem}")
    return 1 if failed or unexpected else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    problems = check(sys.argv[1])
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
