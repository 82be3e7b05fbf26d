#!/usr/bin/env python3
"""Check the world map files of Tharvok.

Every world is a pair STEM.wgf (grid) + STEM.wif (links), STEM being 32
lower-case hex digits.  This script verifies that the shipped worlds load
and play correctly:

  * grids are 25 rows of exactly 80 printable ASCII bytes, LF line endings,
    final LF present, no CR;
  * link files are "word1 word2 N" followed by N records
    "caption target x y targetX targetY";
  * captions are one word of letters (at most 20);
  * every "-" cell has exactly one link record and every record sits on a "-";
  * every target exists and links back (A -> B implies B -> A);
  * every arrival cell is inside the grid, walkable, not a link, and one of
    the 8 neighbours of a link in the target world that leads back;
  * the start cell (40, 12) of the start world is walkable;
  * from the start cell and from every arrival cell the player can walk
    (4-neighbour moves) to every link cell of that world;
  * every world can be reached from the start world.

Usage:  python3 tools/worldcheck.py [WORLD_DIR] [--table] [--strict]

  --table   also print a summary of worlds and links
  --strict  also require that walking between links never has to cross
            another link cell
Exit status 0 when everything is fine, 1 otherwise.
"""

import os
import re
import sys
from collections import deque

WIDTH, HEIGHT = 80, 25
START_STEM = 'cbd0c59d7beb6f252926f8b454738e97'
START_CELL = (40, 12)
BLOCKING = set(';0~+ ')
LINK = '-'
STEM_RE = re.compile(r'^[0-9a-f]{32}$')
CAPTION_RE = re.compile(r'^[A-Za-z]{1,20}$')


class World:
    def __init__(self, stem):
        self.stem = stem
        self.rows = []
        self.name = ''
        self.links = []          # (caption, target, x, y, tx, ty)

    def cell(self, x, y):
        return self.rows[y][x]

    def free(self, x, y):
        return 0 <= x < WIDTH and 0 <= y < HEIGHT and \
            self.cell(x, y) not in BLOCKING and self.cell(x, y) != LINK

    def walkable(self, x, y, through_links=True):
        if not (0 <= x < WIDTH and 0 <= y < HEIGHT):
            return False
        c = self.cell(x, y)
        if c == LINK:
            return through_links
        return c not in BLOCKING

    def reach(self, start, through_links=True):
        """Cells reachable from start by 4-neighbour moves.  Link cells are
        entered but, unless through_links, not walked across."""
        seen = {start}
        todo = deque([start])
        while todo:
            x, y = todo.popleft()
            if (x, y) != start and self.cell(x, y) == LINK and not through_links:
                continue
            for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if (nx, ny) in seen or not (0 <= nx < WIDTH and 0 <= ny < HEIGHT):
                    continue
                c = self.cell(nx, ny)
                if c == LINK or c not in BLOCKING:
                    seen.add((nx, ny))
                    todo.append((nx, ny))
        return seen


def load_grid(path, errors):
    with open(path, 'rb') as f:
        data = f.read()
    name = os.path.basename(path)
    if b'\r' in data:
        errors.append('%s: contains CR bytes (line endings must be LF only)' % name)
        data = data.replace(b'\r\n', b'\n')
    if not data.endswith(b'\n'):
        errors.append('%s: final line feed missing' % name)
    lines = data.split(b'\n')
    if lines and lines[-1] == b'':
        lines.pop()
    if len(lines) != HEIGHT:
        errors.append('%s: %d rows, expected %d' % (name, len(lines), HEIGHT))
    rows = []
    bad = 0
    for y, line in enumerate(lines[:HEIGHT]):
        if len(line) != WIDTH:
            errors.append('%s: row %d has %d bytes, expected %d' % (name, y, len(line), WIDTH))
        for x, b in enumerate(line):
            if not (b == 32 or 33 <= b <= 126):
                bad += 1
                if bad > 5:
                    continue
                errors.append('%s: byte 0x%02x at (%d,%d) is not printable ASCII' % (name, b, x, y))
        text = line.decode('ascii', 'replace')
        rows.append(text[:WIDTH].ljust(WIDTH, ' '))
    if bad > 5:
        errors.append('%s: %d more bytes that are not printable ASCII' % (name, bad - 5))
    while len(rows) < HEIGHT:
        rows.append(' ' * WIDTH)
    return rows


def load_info(path, world, errors):
    name = os.path.basename(path)
    with open(path, 'rb') as f:
        data = f.read()
    try:
        text = data.decode('ascii')
    except UnicodeDecodeError:
        errors.append('%s: not plain ASCII' % name)
        text = data.decode('ascii', 'replace')
    tok = text.split()
    if len(tok) < 3:
        errors.append('%s: header "word1 word2 N" missing' % name)
        return
    world.name = tok[0] + ' ' + tok[1]
    try:
        n = int(tok[2])
    except ValueError:
        errors.append('%s: link count %r is not a number' % (name, tok[2]))
        return
    if n < 0 or len(tok) != 3 + 6 * n:
        errors.append('%s: %d tokens, expected %d for %d links' % (name, len(tok), 3 + 6 * n, n))
    for i in range(n):
        rec = tok[3 + 6 * i: 9 + 6 * i]
        if len(rec) != 6:
            break
        cap, tgt = rec[0], rec[1]
        try:
            x, y, tx, ty = (int(v) for v in rec[2:])
        except ValueError:
            errors.append('%s: link %d has a non-numeric coordinate' % (name, i + 1))
            continue
        world.links.append((cap, tgt, x, y, tx, ty))


def check(directory, strict=False):
    errors, warnings = [], []
    names = sorted(os.listdir(directory))
    stems = {}
    for fn in names:
        stem, dot, ext = fn.partition('.')
        if ext not in ('wgf', 'wif') or not STEM_RE.match(stem):
            errors.append('%s: not a STEM.wgf / STEM.wif world file' % fn)
            continue
        stems.setdefault(stem, set()).add(ext)
    worlds = {}
    for stem, exts in sorted(stems.items()):
        if exts != {'wgf', 'wif'}:
            errors.append('%s: .wgf and .wif must come in pairs (found only .%s)'
                          % (stem, ''.join(exts)))
            continue
        w = World(stem)
        w.rows = load_grid(os.path.join(directory, stem + '.wgf'), errors)
        load_info(os.path.join(directory, stem + '.wif'), w, errors)
        worlds[stem] = w

    if START_STEM not in worlds:
        errors.append('start world %s missing' % START_STEM)

    # link records against the grid
    for w in worlds.values():
        tag = '%s (%s)' % (w.stem, w.name)
        dashes = {(x, y) for y in range(HEIGHT) for x in range(WIDTH) if w.cell(x, y) == LINK}
        used = {}
        for cap, tgt, x, y, tx, ty in w.links:
            where = '%s: link %s at (%d,%d)' % (tag, cap, x, y)
            if not CAPTION_RE.match(cap):
                errors.append('%s: caption must be one word of at most 20 letters' % where)
            if tgt not in worlds:
                errors.append('%s: target %s does not exist' % (where, tgt))
            if not (0 <= x < WIDTH and 0 <= y < HEIGHT):
                errors.append('%s: link cell outside the grid' % where)
                continue
            if w.cell(x, y) != LINK:
                errors.append('%s: link cell is %r, not "-"' % (where, w.cell(x, y)))
            if (x, y) in used:
                errors.append('%s: second record for the same cell' % where)
            used[(x, y)] = tgt
        for (x, y) in sorted(dashes - set(used)):
            errors.append('%s: "-" at (%d,%d) has no link record' % (tag, x, y))

    # ways back and arrival cells
    for w in worlds.values():
        for cap, tgt, x, y, tx, ty in w.links:
            if tgt not in worlds:
                continue
            t = worlds[tgt]
            where = '%s: link %s -> %s' % (w.name, cap, t.name)
            back = [(bx, by) for (_, bt, bx, by, _, _) in t.links if bt == w.stem]
            if not back:
                errors.append('%s: %s has no way back' % (where, t.name))
            if not (0 <= tx < WIDTH and 0 <= ty < HEIGHT):
                errors.append('%s: arrival (%d,%d) outside the grid' % (where, tx, ty))
                continue
            if not t.free(tx, ty):
                errors.append('%s: arrival (%d,%d) is %r, not a free cell'
                              % (where, tx, ty, t.cell(tx, ty)))
            if back and not any(max(abs(tx - bx), abs(ty - by)) == 1 for bx, by in back):
                errors.append('%s: arrival (%d,%d) is not next to the way back %s'
                              % (where, tx, ty, back))

    # walking: from the start cell and from every arrival to every link
    starts = {s: [] for s in worlds}
    if START_STEM in worlds:
        sw = worlds[START_STEM]
        if not sw.free(*START_CELL):
            errors.append('start cell %s is %r, not a free cell'
                          % (START_CELL, sw.cell(*START_CELL)))
        starts[START_STEM].append(('start cell', START_CELL))
    for w in worlds.values():
        for cap, tgt, x, y, tx, ty in w.links:
            if tgt in worlds and 0 <= tx < WIDTH and 0 <= ty < HEIGHT:
                starts[tgt].append(('arrival from %s' % w.name, (tx, ty)))
    for stem, lst in starts.items():
        w = worlds[stem]
        for label, cell in lst:
            for through, bucket in ((True, errors), (False, warnings)):
                if not through and not strict:
                    continue
                seen = w.reach(cell, through_links=through)
                for cap, tgt, x, y, _, _ in w.links:
                    if (x, y) not in seen:
                        bucket.append('%s: link %s at (%d,%d) not reachable from %s %s%s'
                                      % (w.name, cap, x, y, label, cell,
                                         '' if through else ' without crossing other links'))

    # every world reachable from the start world
    if START_STEM in worlds:
        seen = {START_STEM}
        todo = [START_STEM]
        while todo:
            s = todo.pop()
            for _, tgt, *_ in worlds[s].links:
                if tgt in worlds and tgt not in seen:
                    seen.add(tgt)
                    todo.append(tgt)
        for s in worlds:
            if s not in seen:
                errors.append('%s (%s) cannot be reached from the start world'
                              % (s, worlds[s].name))

    if strict:
        errors.extend(warnings)
    return worlds, errors


def table(worlds):
    out = []
    order = sorted(worlds.values(), key=lambda w: (w.stem != START_STEM, w.name))
    for w in order:
        out.append('%s  %s%s' % (w.stem, w.name, '  (start)' if w.stem == START_STEM else ''))
        for cap, tgt, x, y, tx, ty in w.links:
            tname = worlds[tgt].name if tgt in worlds else '?'
            out.append('    %-10s -> %-22s link (%2d,%2d)  arrive (%2d,%2d)'
                       % (cap, tname, x, y, tx, ty))
    return '\n'.join(out)


def main(argv):
    args = [a for a in argv if not a.startswith('--')]
    here = os.path.dirname(os.path.abspath(__file__))
    directory = args[0] if args else os.path.join(here, '..', 'data', 'bin', 'world')
    if not os.path.isdir(directory):
        print('worldcheck: no such directory: %s' % directory)
        return 1
    worlds, errors = check(directory, strict='--strict' in argv)
    if '--table' in argv:
        print(table(worlds))
    for e in errors:
        print('error: ' + e)
    print('worldcheck: %d worlds, %d links, %d errors'
          % (len(worlds), sum(len(w.links) for w in worlds.values()), len(errors)))
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
