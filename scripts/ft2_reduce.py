#!/usr/bin/env python3
"""Shrinks a module that our XM player plays otherwise than a FastTracker 2 reference to the few
cells that still make the two part.

  scripts/ft2_reduce.py --reference PATH/TO/ft2-trace [--seconds S] [--build DIR] SONG.xm OUT.xm

The song's patterns are emptied step by step, keeping each step only while the two traces still
differ under ft2_differ.py's rule (a channel-tick, a position or the length): first every channel
but the one of the first difference, then whole patterns, whole rows, single cells and last the
fields of a cell (effect, volume column, instrument, note). Instruments, samples and the order
list stay as they are. OUT.xm is written for each try and holds the smallest song that still
differs when the run ends; the cells left and the first difference are printed. Exit status 0 when OUT.xm still differs,
1 when SONG.xm plays alike in both to begin with, 2 for a bad command line, tools or file.
"""
import argparse
import os
import re
import signal
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ft2_differ import REPO, compare_runs, run_both  # noqa: E402

EMPTY = (0, 0, 0, 0, 0)
NOTES = ["C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"]


class Song:
    """An XM file as its header, its patterns as cells and everything after the patterns."""

    def __init__(self, data):
        if len(data) < 80 or data[:17] != b"Extended Module: ":
            raise ValueError("not an XM module")
        header_size, _, _, self.channels, patterns = struct.unpack_from("<IHHHH", data, 60)
        at = 60 + header_size
        self.head, self.patterns = data[:at], []
        for number in range(patterns):
            if at + 9 > len(data):
                raise ValueError(f"pattern {number}'s header is cut short")
            length, _, rows, size = struct.unpack_from("<IBHH", data, at)
            if length < 9 or at + length + size > len(data):
                raise ValueError(f"pattern {number} is cut short")
            header, body = data[at:at + length], data[at + length:at + length + size]
            self.patterns.append((header, self.unpack(body, rows if size else 0, number)))
            at += length + size
        self.tail = data[at:]

    def unpack(self, body, rows, number):
        cells, at = [], 0
        for _ in range(rows * self.channels):
            if at >= len(body):
                raise ValueError(f"pattern {number}'s data ends early")
            flags, cell = body[at], []
            if flags & 0x80:
                at += 1
                for bit in range(5):
                    present = flags & (1 << bit) and at < len(body)
                    cell.append(body[at] if present else 0)
                    at += 1 if present else 0
            else:
                cell, at = list(body[at:at + 5]), at + 5
            cells.append(tuple(cell + [0] * (5 - len(cell))))  # a last cell cut short
        return cells

    def write(self, path, patterns):
        out = bytearray(self.head)
        for (header, _), cells in zip(self.patterns, patterns):
            body = b"".join(bytes(cell) for cell in cells)
            out += header[:7] + struct.pack("<H", len(body)) + header[9:] + body
        out += self.tail
        with open(path, "wb") as f:
            f.write(out)


def cell_text(cell):
    note, instrument, volume, effect, parameter = cell
    name = "..." if note == 0 else "===" if note == 97 else \
        f"{NOTES[(note - 1) % 12]}{(note - 1) // 12}" if note < 97 else f"?{note:02X}"
    return (f"{name} {instrument:02X} {volume:02X} {effect:02X} {parameter:02X}")


class Referee:
    def __init__(self, args):
        self.args, self.runs = args, 0

    def difference(self, path):
        """The first difference of the two traces as text, or None when they agree."""
        try:
            runs = run_both(self.args.reference, self.args.xmplay, self.args.seconds, path)
        except RuntimeError as error:
            return str(error)
        self.runs += 1
        result = compare_runs(runs, {})
        if result["first"]:
            return result["first"]
        if result["length_differs"]:
            return f"ticks ref/ours {result['ref_ticks']}/{result['our_ticks']}"
        return None


def reduce(song, referee, out):
    patterns = [list(cells) for _, cells in song.patterns]
    first = referee.difference(out)

    def keep_if_differs(candidate):
        nonlocal patterns, first
        if candidate == patterns:
            return
        song.write(out, candidate)
        found = referee.difference(out)
        if found is None:
            song.write(out, patterns)
        else:
            patterns, first = candidate, found

    channel = re.search(r"\) ch(\d+) ", first)
    if channel:
        solo = int(channel.group(1))
        keep_if_differs([[EMPTY if i % song.channels != solo else c for i, c in enumerate(cells)]
                         for cells in patterns])
    for p in range(len(patterns)):
        keep_if_differs(patterns[:p] + [[EMPTY] * len(patterns[p])] + patterns[p + 1:])
    for p in range(len(patterns)):
        for start in range(0, len(patterns[p]), song.channels):
            candidate = [list(cells) for cells in patterns]
            candidate[p][start:start + song.channels] = [EMPTY] * song.channels
            keep_if_differs(candidate)
    for fields in (range(5), (3, 4), (2,), (1,), (0,)):
        for p in range(len(patterns)):
            for i, cell in enumerate(patterns[p]):
                candidate = [list(cells) for cells in patterns]
                candidate[p][i] = tuple(0 if k in fields else v for k, v in enumerate(cell))
                keep_if_differs(candidate)
    return patterns, first


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quietly, when piped into head
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--reference", required=True, help="the ft2-trace program")
    parser.add_argument("--seconds", type=float, default=120.0, help="song time limit")
    parser.add_argument("--build", default=os.path.join(REPO, "build", "release"))
    parser.add_argument("song")
    parser.add_argument("out")
    args = parser.parse_args()
    args.xmplay = os.path.join(args.build, "tools", "xmplay", "xmplay")
    for path in (args.reference, args.xmplay):
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is no program here")
    try:
        with open(args.song, "rb") as f:
            song = Song(f.read())
    except (OSError, ValueError) as error:
        parser.error(f"{args.song}: {error}")
    song.write(args.out, [cells for _, cells in song.patterns])
    referee = Referee(args)
    if referee.difference(args.out) is None:
        print(f"{args.song} plays alike in both; nothing to reduce")
        return 1
    patterns, first = reduce(song, referee, args.out)
    for p, cells in enumerate(patterns):
        for i, cell in enumerate(cells):
            if cell != EMPTY:
                print(f"pattern {p} row {i // song.channels} channel {i % song.channels}: "
                      f"{cell_text(cell)}")
    print(f"first difference: {first} ({referee.runs} comparisons); written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
