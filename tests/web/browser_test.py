#!/usr/bin/env python3
"""The web page in headless Chromium, driven over the DevTools protocol through a replay script
and compared screen by screen with tharvok-replay playing it on the virtual console.

    browser_test.py --page DIR --replay PROGRAM --data DIR [--chromium PROGRAM] [--out DIR]
                    SCRIPT PHONE_SCRIPT

The page (served by scripts/web-serve) waits with its clocks stopped and runs one frame per step.
Keys are real key events; a key held for one frame only is pressed and released before that
frame. "# web: blur" takes the focus from the page; "# web: colours X,Y=C ..." checks that a
screenshot shows each cell in console colour C (0: all black); "said" checks that the sentences
added to the page's live region since the last "said", read from Chromium's accessibility tree,
are those tharvok-replay says. Then "Show text" must show that log under the screen, "Play again"
must restart the game, and the page on its own must run no animation frame at rest and move the
menu on a tap. Then: a short window, the figures, a phone's first visit, PHONE_SCRIPT on its
touch controls and their names, play offline, a missing tharvok.wasm.
"""
import argparse
import base64
import difflib
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
START_MS = 1700000000000  # where tharvok-replay's wall clock starts
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]
KEYS = {"ENTER": (13, "Enter"), "ESC": (27, "Escape"), "TAB": (9, "Tab"), "SPACE": (32, "Space"),
        "LEFT": (37, "ArrowLeft"), "UP": (38, "ArrowUp"), "RIGHT": (39, "ArrowRight"),
        "DOWN": (40, "ArrowDown"), "PAGEDOWN": (34, "PageDown"), "END": (35, "End")}
CONTROLS = {13: "select", 27: "escape", 9: "panel", 37: "left", 38: "up", 39: "right",
            40: "down", 69: "use", 112: "help"}
WAIT_S = 60


class Failure(Exception):
    pass


def key_event(name):
    """(virtual-key code, code) of a key as replay scripts name it."""
    name = name.upper()
    if name in KEYS:
        return KEYS[name]
    if len(name) == 1 and name.isalnum():
        return ord(name), ("Key" if name.isalpha() else "Digit") + name
    raise Failure(f"the browser test has no key '{name}'")


def parse_script(path):
    """Steps: ("frame", ms, keys), ("read", kind), ("click", x, y), ("blur",), ("colours", xycs)."""
    steps = []
    with open(path, encoding="utf-8") as script:
        lines = script.read().splitlines()
    for line in lines:
        words = line.split()
        if words[:3] == ["#", "web:", "blur"]:
            steps.append(("blur",))
        elif words[:3] == ["#", "web:", "colours"]:
            steps.append(("colours", [tuple(map(int, re.split("[,=]", w))) for w in words[3:]]))
        elif words == ["said"]:
            steps.append(("said",))
        elif words and words[0] in ("screen", "attrs", "cursor"):
            steps.append(("read", words[0]))
        elif words and words[0] == "click":
            steps.append(("click", int(words[1]), int(words[2])))
        elif words and words[0] in ("frame", "frames"):
            count, rest = (int(words[1]), words[2:]) if words[0] == "frames" else (1, words[1:])
            steps += [("frame", int(rest[0]), frozenset(map(key_event, rest[1:])))] * count
    return steps


class Browser:
    """Chromium over --remote-debugging-pipe: JSON messages ended by a NUL byte, on fds 3 and 4."""

    def __init__(self, chromium, profile):
        to_browser, self.writer = os.pipe()
        self.reader, from_browser = os.pipe()
        flags = ["--headless", "--disable-gpu", "--no-first-run", "--disable-sync",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-quic", "--hide-scrollbars", "--remote-debugging-pipe",
                 f"--user-data-dir={profile}"] + (["--no-sandbox"] if os.geteuid() == 0 else [])
        self.process = subprocess.Popen(
            [chromium] + flags + ["about:blank"], pass_fds=(3, 4), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=lambda: (os.dup2(to_browser, 3), os.dup2(from_browser, 4)))
        os.close(to_browser)
        os.close(from_browser)
        self.buffer, self.next_id, self.events, self.session = b"", 0, [], None
        self.fingers = {}

    def close(self):
        try:
            self.session = None
            self.send("Browser.close")
            self.process.wait(10)
        except (Failure, OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        os.close(self.writer)
        os.close(self.reader)

    def send(self, method, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.writer, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + WAIT_S
        while True:
            while b"\0" not in self.buffer:
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([self.reader], [], [], left)[0]:
                    raise Failure(f"Chromium did not answer {method} in time")
                chunk = os.read(self.reader, 1 << 20)
                if not chunk:
                    raise Failure("Chromium closed the protocol pipe")
                self.buffer += chunk
            text, self.buffer = self.buffer.split(b"\0", 1)
            answer = json.loads(text)
            if answer.get("id") != self.next_id:
                self.events.append(answer)
            elif "error" in answer:
                raise Failure(f"{method}: {answer['error'].get('message')}")
            else:
                return answer.get("result", {})

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise Failure(f"the page threw on {expression[:60]}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, what):
        deadline = time.monotonic() + WAIT_S
        while time.monotonic() < deadline:
            try:
                if self.evaluate(expression):
                    return
            except Failure:
                pass  # the document is being replaced
            time.sleep(0.05)
        raise Failure(f"timed out waiting for {what}")

    def key(self, kind, key):
        self.send("Input.dispatchKeyEvent", type=kind, windowsVirtualKeyCode=key[0],
                  code=key[1], key=key[1])

    def touch(self, kind, key):
        """The key's touch control (CONTROLS) goes down or up, one finger each, others kept."""
        if kind == "keyDown":
            box = box_of(self, f".pad button[data-action={CONTROLS[key[0]]}]")
            self.fingers[key] = {"x": box["x"] + box["width"] / 2,
                                 "y": box["y"] + box["height"] / 2, "id": key[0]}
        else:
            del self.fingers[key]
        self.send("Input.dispatchTouchEvent", touchPoints=list(self.fingers.values()),
                  type="touchStart" if kind == "keyDown" else
                  "touchMove" if self.fingers else "touchEnd")

    def errors(self):
        return [json.dumps(e["params"])[:300] for e in self.events
                if e.get("method") == "Runtime.exceptionThrown" or
                (e.get("method") == "Runtime.consoleAPICalled" and e["params"]["type"] == "error")]


def screen(browser, kind):
    text = browser.evaluate(f"UTF8ToString(Module._tharvok_screen({int(kind == 'attrs')}))")
    lines = text.split("\n")
    return lines[25:26] if kind == "cursor" else lines[:25]


def live_region(browser):
    """The lines of the page's live region as the accessibility tree holds them, and whether it
    is a polite log."""
    nodes = browser.send("Accessibility.getFullAXTree")["nodes"]
    by_id = {node["nodeId"]: node for node in nodes}
    logs = [node for node in nodes if node.get("role", {}).get("value") == "log"]
    if len(logs) != 1:
        raise Failure(f"the accessibility tree holds {len(logs)} logs")
    polite = any(p["name"] == "live" and p["value"]["value"] == "polite"
                 for p in logs[0].get("properties", []))
    lines = []

    def walk(node):
        if node.get("role", {}).get("value") == "StaticText":
            lines.append(node.get("name", {}).get("value", ""))
        for child in node.get("childIds", []):
            if child in by_id:
                walk(by_id[child])
    walk(logs[0])
    return lines, polite


def check_colours(browser, cells, shot_path, palette=PALETTE):
    """Each cell of a screenshot shows some pixels of exactly its colour and none brighter in any
    channel (the glyph's edges fade into black); colour 0 means the whole cell is black."""
    box = browser.evaluate("JSON.stringify(document.getElementById('screen')"
                           ".getBoundingClientRect())")
    box = json.loads(box)
    png = browser.send("Page.captureScreenshot", format="png")["data"]
    with open(shot_path, "wb") as file:
        file.write(base64.b64decode(png))
    ratio = browser.evaluate("devicePixelRatio")
    w, h = box["width"] * ratio / 80, box["height"] * ratio / 25
    problems = []
    for x, y, colour in cells:
        left = round(box["left"] * ratio + x * w) + 1
        top = round(box["top"] * ratio + y * h) + 1
        # The browser decodes its own screenshot.
        data = browser.evaluate(
            f"(async () => {{ const image = new Image(); image.src = 'data:image/png;base64,{png}';"
            " await image.decode(); const c = new OffscreenCanvas(image.width, image.height);"
            " const g = c.getContext('2d'); g.drawImage(image, 0, 0);"
            f" return Array.from(g.getImageData({left}, {top}, {int(w) - 2}, {int(h) - 2}).data);"
            " })()")
        pixels = [tuple(data[i:i + 3]) for i in range(0, len(data), 4)]
        want = palette[colour]
        exact = pixels.count(want)
        brighter = any(c > v + 8 for p in pixels for c, v in zip(p, want))
        if (exact != len(pixels)) if colour == 0 else (exact < 2 or brighter):
            problems.append(f"cell {x},{y} is not in colour {colour}: {exact} of {len(pixels)} "
                            f"pixels exact, {sorted(set(pixels))[-3:]} the brightest")
    return problems


def play(browser, steps, expected, out_dir, results, press=None):
    press = press or browser.key
    clock, held, at, shots, heard = START_MS, set(), 0, 0, 0
    for i, step in enumerate(steps):
        if step[0] == "blur":
            browser.evaluate("window.dispatchEvent(new FocusEvent('blur'))")
            held = set()
        elif step[0] == "frame":
            keys = step[2]
            following = next((s[2] for s in steps[i + 1:] if s[0] == "frame"), frozenset())
            taps = {key for key in keys - held if key not in following}
            for key in held - keys:
                press("keyUp", key)
            for key in sorted(keys - held):
                press("keyDown", key)
                if key in taps:
                    press("keyUp", key)
            held = set(keys - taps)
            clock += step[1]
            browser.evaluate(f"Module._tharvok_set_wall_clock({clock}); Module._tharvok_step()")
        elif step[0] == "click":  # a tap on the cell's middle, where the page shows it
            box = box_of(browser, "#screen")
            point = {"x": box["x"] + (step[1] + 0.5) * box["width"] / 80, "id": 99,
                     "y": box["y"] + (step[2] + 0.5) * box["height"] / 25}
            browser.send("Input.dispatchTouchEvent", type="touchStart", touchPoints=[point])
            browser.send("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
        elif step[0] == "said":
            # The replay's sentences end at the "cursor" line that run() put after each "said".
            end = next(n for n in range(at, len(expected)) if expected[n].startswith("cursor "))
            want, at = expected[at:end], end + 1
            lines, polite = live_region(browser)
            got, heard = lines[heard:], len(lines)
            check(results, got == want and polite,
                  f"the live region (polite: {polite}) says {got}, not {want}")
        elif step[0] == "read":
            size = 1 if step[1] == "cursor" else 25
            want, got = expected[at:at + size], screen(browser, step[1])
            at += size
            check(results, got == want, f"{step[1]} (line {at - size + 1} of the replay's output)"
                  " differs:\n"
                  + "".join(difflib.unified_diff([l + "\n" for l in want],
                                                 [l + "\n" for l in got], "virtual", "browser")))
        else:
            shots += 1
            problems = check_colours(browser, step[1], os.path.join(out_dir, f"shot{shots}.png"))
            check(results, not problems, f"screenshot {shots}: " + "; ".join(problems))


def check(results, ok, what):
    results[0 if ok else 1] += 1
    if not ok:
        print(f"browser: {what}")


HOLD = "var Module = {noInitialRun: true, onRuntimeInitialized: () => tharvokReady = true};"
NO_SCROLL = "scrollY === 0 && document.getElementById('stage').scrollTop === 0"


def serve(page):
    """scripts/web-serve on a free port, and its address."""
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "scripts", "web-serve"),
                               "--port", "0", "--dir", page], stdout=subprocess.PIPE, text=True)
    address = re.search(r"http://127\.0\.0\.1:\d+/", server.stdout.readline())
    return server, address.group(0) if address else ""


def as_touched(lines):
    """The script's keys as the game hears them from the touch controls: a direction touched is
    pressed and released at once, and pressed again once the finger has stayed 200 ms."""
    out, clock, since = [], 0, {}
    for line in lines:
        words = line.split()
        if not words or words[0] not in ("frame", "frames"):
            out.append(line)
            continue
        count, rest = (int(words[1]), words[2:]) if words[0] == "frames" else (1, words[1:])
        for _ in range(count):
            since = {k: since.get(k, clock) for k in rest[1:] if key_event(k)[0] in range(37, 41)}
            heard = [k for k in rest[1:] if since.get(k, clock) == clock or
                     clock + int(rest[0]) - since[k] >= 200]
            clock += int(rest[0])
            out.append(" ".join(["frame", rest[0]] + heard))
    return out


def expect(replay, data, script, touched=False):
    """What tharvok-replay prints for the script (as_touched if `touched`), with a "cursor" line
    after what each "said" prints, so that the sentences of one "said" can be told from the next."""
    with open(script, encoding="utf-8") as file:
        lines = file.read().splitlines()
    lines = as_touched(lines) if touched else lines
    result = subprocess.run([replay, "--dir", data, "-"], capture_output=True, text=True,
                            timeout=WAIT_S,
                            input="".join(l + ("\ncursor\n" if l == "said" else "\n")
                                          for l in lines))
    if result.returncode != 0:
        raise Failure(f"tharvok-replay failed: {result.stderr.strip()}")
    return result.stdout.split("\n")


def box_of(browser, selector):
    return json.loads(browser.evaluate(
        f"JSON.stringify(document.querySelector('{selector}').getBoundingClientRect())"))


def click(browser, selector):
    box = box_of(browser, selector)
    for kind in ("mousePressed", "mouseReleased"):
        browser.send("Input.dispatchMouseEvent", type=kind, button="left", clickCount=1,
                     x=box["x"] + box["width"] / 2, y=box["y"] + box["height"] / 2)


def contrast(colour):  # of "#rrggbb" against black
    linear = [c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
              for c in (int(colour[i:i + 2], 16) / 255 for i in (1, 3, 5))]
    return (0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2] + 0.05) / 0.05


def short_window(browser, url, out_dir, results):
    """At 1280 x 450 (two device pixels to a pixel) all 25 rows show and no key scrolls the
    page; the high-contrast palette holds every colour at 4.5:1 or more, kept across a reload."""
    browser.send("Emulation.setDeviceMetricsOverride", width=1280, height=450,
                 deviceScaleFactor=2, mobile=False)
    browser.send("Page.navigate", url=url)
    browser.wait_for("Module.tharvokFirstFrameMs > 0 && "
                     "UTF8ToString(Module._tharvok_screen(0)).includes('New Game')",
                     "the title screen")
    for name in ("ENTER", "SPACE", "PAGEDOWN", "END", "DOWN"):
        for kind in ("keyDown", "keyUp"):
            browser.key(kind, KEYS[name])
        browser.wait_for("!UTF8ToString(Module._tharvok_screen(0)).includes('New Game')", "play")
    check(results, browser.evaluate(NO_SCROLL), "a key scrolled the page")
    # A cell out of the window would be black in the screenshot.
    cells = [(0, 24, 10), (79, 24, 10), (9, 0, 1)]
    problems = check_colours(browser, cells, os.path.join(out_dir, "short.png"))
    click(browser, "#contrast")
    colours = browser.evaluate("Module.tharvokPalette") or ["#000000"]
    check(results, len(colours) == 16 and min(map(contrast, colours[1:])) >= 4.5,
          f"high contrast: colours under 4.5:1: {colours}")
    problems += check_colours(browser, cells, os.path.join(out_dir, "contrast.png"),
                              [tuple(int(c[i:i + 2], 16) for i in (1, 3, 5)) for c in colours])
    check(results, not problems, "the short window: " + "; ".join(problems))
    browser.send("Page.reload")
    browser.wait_for("Module.tharvokFirstFrameMs > 0 && "
                     "UTF8ToString(Module._tharvok_screen(0)).includes('New Game')",
                     "the title screen")
    check(results, browser.evaluate("Module.tharvokPalette") == colours,
          "the high-contrast palette was not kept")
    click(browser, "#contrast")


def figures(browser, url, results):
    """Bytes on the wire of the files the page plays from (with the headers) and the time to the
    first frame, on localhost and on a slow line; every file must come (the icon too), compressed."""
    browser.send("Network.enable")
    browser.send("Network.setCacheDisabled", cacheDisabled=True)
    browser.send("Network.setBypassServiceWorker", bypass=True)
    measured = []
    for latency, rate in ((0, -1), (150, 1600000 / 8)):
        browser.send("Network.emulateNetworkConditions", offline=False, latency=latency,
                     downloadThroughput=rate, uploadThroughput=rate)
        browser.send("Page.navigate", url=url)
        browser.wait_for("document.readyState === 'complete' && Module.tharvokFirstFrameMs > 0",
                         "the first frame")
        measured.append(json.loads(browser.evaluate(
            "(files => fetch(document.querySelector('link[rel=icon]').href).then(icon => JSON"
            ".stringify({first: Module.tharvokFirstFrameMs, files, icon: icon.status})))("
            "performance.getEntries().filter(e => e.transferSize && !/png|manifest/.test(e.name))"
            ".map(e => [e.name, e.responseStatus, e.transferSize, e.decodedBodySize]))")))
    browser.send("Network.emulateNetworkConditions", offline=False, latency=0,
                 downloadThroughput=-1, uploadThroughput=-1)
    browser.send("Network.disable")
    (local, slow), wire = measured, sum(file[2] for file in measured[0]["files"])
    check(results, local["icon"] == 200 and all(file[1] == 200 for file in local["files"]) and
          2 * wire < sum(file[3] for file in local["files"]),
          f"the page's files are not all there, or not compressed: {local}")
    print(f"browser: {wire} bytes on the wire for {len(local['files'])} files; the first "
          f"frame {local['first']:.0f} ms after navigation on localhost, {slow['first']:.0f} ms "
          "at 1.6 Mbit/s with 150 ms latency")


def phone(browser, url, args, results):
    """The phone script played with the touch controls on a 390 x 844 touch screen, on a first
    visit with nothing kept: the page starts in high contrast; the accessibility tree names each
    control by its action and key (the panel's with its state), and the screen by where the
    player is; the page and its service worker (on a session of its own, held at its start until
    the page has played) fetch each file once, at most 1.05 times the page's bytes and 130,000.
    Then the taps script, on the screen's cells."""
    steps, expected = parse_script(args.phone), expect(args.replay, args.data, args.phone, True)
    browser.send("Emulation.setDeviceMetricsOverride", width=390, height=844,
                 deviceScaleFactor=3, mobile=True)
    browser.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    browser.send("Storage.clearDataForOrigin", origin=url.rstrip("/"), storageTypes="all")
    browser.send("Network.clearBrowserCache")
    page, browser.session, mark = browser.session, None, len(browser.events)
    browser.send("Target.setAutoAttach", autoAttach=True, waitForDebuggerOnStart=True,
                 flatten=True, filter=[{"type": "service_worker"}])
    browser.session = page
    browser.send("Network.enable")
    browser.send("Page.navigate", url=url)
    start(browser)
    canvas, pad = box_of(browser, "#stage"), box_of(browser, "#cross")
    check(results, pad["height"] > 0 and canvas["right"] <= 390 and canvas["bottom"] <= pad["top"],
          f"no touch controls under the screen: {canvas} {pad}")
    label = browser.evaluate("document.querySelector('.pad button[data-action=help]')"
                             ".firstChild.textContent")
    check(results, label == "/", f"the help control names its key {label!r}, not '/'")
    check(results, browser.evaluate("!!Module.tharvokPalette"), "no high contrast on a phone")
    play(browser, steps, expected, args.out, results, press=browser.touch)
    nodes = {n.get("name", {}).get("value"): n for n in
             browser.send("Accessibility.getFullAXTree")["nodes"] if not n.get("ignored")}
    want = ["move up (Up arrow)", "move down (Down arrow)", "move left (Left arrow)",
            "move right (Right arrow)", "use (E)", "choose (Enter)", "hold: panel (Tab)",
            "help (/)", "describe (D)", "travel (T)", "say again (G)", "back (Escape)"]
    named = [n for n in want if nodes.get(n, {}).get("role", {}).get("value") == "button"] + [
        p["value"]["value"] for p in nodes.get(want[6], {}).get("properties", [])
        if p["name"] == "pressed"]
    check(results, named == want + ["false"] and any(re.fullmatch(r"\w.*, at \d+, \d+", n or "")
                                                     for n in nodes), f"named: {named}")
    # A worker that Chromium started and stopped again before this point left a session that is
    # gone: only the workers still attached are counted.
    gone = {e["params"]["sessionId"] for e in browser.events[mark:]
            if e.get("method") == "Target.detachedFromTarget"}
    worker = page
    for browser.session in [e["params"]["sessionId"] for e in browser.events[mark:]
                            if e.get("method") == "Target.attachedToTarget"]:
        try:
            browser.send("Network.enable")
            browser.send("Runtime.runIfWaitingForDebugger")
            worker = browser.session
        except Failure as failure:
            if browser.session not in gone and "not found" not in str(failure):
                raise
    browser.session = page
    browser.wait_for("navigator.serviceWorker.controller !== null", "the service worker")
    browser.send("Network.disable")
    events = [(e.get("sessionId"), e["method"], e["params"]) for e in browser.events[mark:]]
    fresh = {(s, p["requestId"]): p["response"]["url"] for s, m, p in events
             if m == "Network.responseReceived" and not p["response"].get("fromDiskCache")}
    got = [sum(p["encodedDataLength"] for s, m, p in events if s == session and
               m == "Network.loadingFinished" and (s, p["requestId"]) in fresh)
           for session in (page, worker)]
    urls = sorted(fresh.values())
    print(f"browser: a first visit fetches {sum(got)} bytes, {got[0]} of them for the page")
    check(results, worker != page and len(set(urls)) == len(urls) and
          sum(got) <= min(1.05 * got[0], 130000), f"a first visit: {got} bytes, {urls}")
    browser.session = None
    browser.send("Target.setAutoAttach", autoAttach=False, waitForDebuggerOnStart=False,
                 flatten=True)
    browser.session = page

    taps = os.path.join(os.path.dirname(args.phone), "taps.replay")
    expected = expect(args.replay, args.data, taps, True)
    browser.send("Page.navigate", url=url)
    start(browser)
    play(browser, parse_script(taps), expected, args.out, results, press=browser.touch)
    # One step up for 100 ms; the caption box and the player in a view of 8-pixel cells at least.
    rows = [(x, y % 25) for y, row in enumerate(l for l in expected if len(l) == 80)
            for x, c in enumerate(row) if c in "\u250c\u2518\u263b"]
    stage, canvas = box_of(browser, "#stage"), box_of(browser, "#screen")
    w, h = canvas["width"] / 80, canvas["height"] / 25
    hidden = [(x, y) for x, y in rows[-3:] if not (stage["x"] <= canvas["x"] + x * w and
              canvas["x"] + (x + 1) * w <= stage["right"] and stage["y"] <= canvas["y"] + y * h
              and canvas["y"] + (y + 1) * h <= stage["bottom"])]
    check(results, len(rows) == 5 and rows[1][1] == rows[0][1] - 1 and w >= 8 and
          canvas["width"] > stage["width"] and not hidden, f"not one step, or {hidden} not in "
          f"sight of {rows} in cells {w} pixels wide")


def missing_wasm(args, browser, results):
    """A page folder without tharvok.wasm: the page says which file did not come."""
    folder = tempfile.mkdtemp(prefix="tharvok-page-")
    shutil.copytree(args.page, folder, dirs_exist_ok=True)
    os.remove(os.path.join(folder, "tharvok.wasm"))
    server, url = serve(folder)
    browser.send("Page.navigate", url=url)
    browser.wait_for("document.querySelector('#status[role=alert]') !== null", "a message")
    text = browser.evaluate("document.getElementById('status').textContent")
    check(results, "tharvok.wasm (404" in text and box_of(browser, "#status")["height"] > 0,
          f"no message for the missing tharvok.wasm: {text}")
    server.kill()
    server.wait()
    shutil.rmtree(folder, ignore_errors=True)


def start(browser):
    browser.wait_for("window.tharvokReady === true", "the page to load")
    browser.evaluate(f"Module._tharvok_set_wall_clock({START_MS});"
                     "Module._tharvok_set_local_time(12, 0, 0); Module.callMain([])")


def run(args, results):
    steps = parse_script(args.script)
    expected = expect(args.replay, args.data, args.script)
    os.makedirs(args.out, exist_ok=True)
    profile = tempfile.mkdtemp(prefix="tharvok-chromium-")
    server, url = serve(args.page)
    browser = None
    try:
        if not url:
            raise Failure("scripts/web-serve gave no address")
        browser = Browser(args.chromium, profile)
        target = browser.send("Target.createTarget", url="about:blank")["targetId"]
        browser.session = browser.send("Target.attachToTarget", targetId=target,
                                       flatten=True)["sessionId"]
        browser.send("Page.enable")
        browser.send("Runtime.enable")
        browser.send("Emulation.setDeviceMetricsOverride", width=1000, height=800,
                     deviceScaleFactor=1, mobile=False)
        # The program waits for the test to set the clocks before it starts.
        hold = browser.send("Page.addScriptToEvaluateOnNewDocument", source=HOLD)["identifier"]
        browser.send("Page.navigate", url=url)
        start(browser)
        check(results, browser.evaluate("document.title").startswith("Tharvok (2012)"),
              "the page's title is not the console's")
        play(browser, steps, expected, args.out, results)
        shown = json.loads(browser.evaluate(
            "(b => { b.click(); const log = document.getElementById('said'); return JSON.stringify("
            "{pressed: b.getAttribute('aria-pressed'), box: log.getBoundingClientRect(), under: "
            "document.getElementById('screen').getBoundingClientRect().bottom, label: document"
            ".getElementById('screen').getAttribute('aria-label')}); })"
            "(document.getElementById('show-text'))"))
        check(results, shown["pressed"] == "true" and shown["box"]["height"] > 40 and
              shown["box"]["top"] >= shown["under"] and shown["label"] == "The game's screen",
              f"Show text does not show the log under the screen: {shown}")

        line = json.loads(browser.evaluate(
            "(a => JSON.stringify({shown: getComputedStyle(a).visibility === 'visible' && "
            "document.activeElement === a, box: a.getBoundingClientRect(), under: document"
            ".getElementById('screen').getBoundingClientRect().bottom}))"
            "(document.querySelector('#again a'))"))
        check(results, browser.evaluate("Module._tharvok_step()") == 0 and line["shown"] and
              line["box"]["top"] >= line["under"], f"no line to play again: {line}")
        browser.evaluate("window.tharvokReady = false")
        click(browser, "#again a")
        start(browser)
        check(results, screen(browser, "screen") == expected[:25], "no title after Play again")

        # On its own the page runs on animation frames, none while the game rests; a tap between
        # two of them counts once.
        browser.send("Page.removeScriptToEvaluateOnNewDocument", identifier=hold)
        browser.send("Page.navigate", url=url)
        browser.wait_for("typeof Module._tharvok_screen === 'function' && "
                         "UTF8ToString(Module._tharvok_screen(0)).includes('> New Game')",
                         "the title")
        resting = browser.evaluate("Module._tharvok_frame_count()")
        time.sleep(1)
        check(results, browser.evaluate("Module._tharvok_frame_count()") == resting,
              "animation frames ran on the title with no key down")
        browser.evaluate("addEventListener('keydown', e => lastKey = [e.keyCode, "
                         "e.defaultPrevented])")
        for kind in ("keyDown", "keyUp"):
            browser.key(kind, KEYS["DOWN"])
        browser.wait_for("UTF8ToString(Module._tharvok_screen(0)).includes('> Load Game')",
                         "the menu to move on a tap")
        check(results, browser.evaluate("lastKey") == [40, True], "the arrow scrolls the page")
        for kind in ("keyDown", "keyUp"):
            browser.key(kind, key_event("Q"))
        check(results, browser.evaluate("lastKey") == [81, False], "Q is kept from the browser")
        time.sleep(0.2)
        before, started = browser.evaluate("Module._tharvok_frame_count()"), time.monotonic()
        time.sleep(2)
        frames = browser.evaluate("Module._tharvok_frame_count()") - before
        print(f"browser: {frames / (time.monotonic() - started):.1f} frames per second at rest")
        check(results, frames == 0, f"{frames} animation frames at rest after the keys")
        short_window(browser, url, args.out, results)
        figures(browser, url, results)
        browser.send("Page.addScriptToEvaluateOnNewDocument", source=HOLD)
        phone(browser, url, args, results)

        # After one visit the page plays with no server at all.
        browser.wait_for("navigator.serviceWorker.controller !== null", "the service worker")
        check(results, browser.send("Page.getInstallabilityErrors")["installabilityErrors"] == [],
              "the page cannot be installed")
        server.kill()
        server.wait()
        browser.send("Page.navigate", url=url)
        start(browser)
        reads = [i for i, step in enumerate(steps) if step[0] == "read"]
        play(browser, [step for step in steps[:reads[6] + 1] if step[0] != "colours"], expected,
             args.out, results)
        check(results, not browser.errors(), f"the page reported errors: {browser.errors()}")
        missing_wasm(args, browser, results)
    finally:
        if browser:
            browser.close()
        server.kill()
        server.wait()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--page", "--replay", "--data"):
        parser.add_argument(option, required=True)
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--out", default=os.path.join(tempfile.gettempdir(), "tharvok-browser"))
    parser.add_argument("script")
    parser.add_argument("phone")
    args = parser.parse_args()
    started, results = time.monotonic(), [0, 0]
    try:
        run(args, results)
    except (Failure, OSError, subprocess.SubprocessError) as failure:
        check(results, False, str(failure))
    print(f"browser: {time.monotonic() - started:.1f} s")
    print(f"browser test: {results[0]} passed, {results[1]} failed")
    return 0 if results[1] == 0 and results[0] > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
