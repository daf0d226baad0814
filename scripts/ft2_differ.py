#!/usr/bin/env python3
"""Compares our XM player with a FastTracker 2 reference on random songs, tick by tick.

  scripts/ft2_differ.py --reference PATH/TO/ft2-trace [--seeds A:B] [--channels N]
      [--table linear|amiga] [--orders N] [--rows N] [--seconds S] [--build DIR] [--keep DIR] [-j N]

For each seed, xm-generate writes the song and its listing, the reference (`ft2-trace -t S`) and
`xmplay --ticks --seconds S` trace it, and the traces are compared line by line with ft2cmp.py's
rule: positions are the first four fields (ORDER PATTERN ROW TICK); a channel-tick matches when
the volumes differ by at most 1 and, where both are above 1, both frequencies are above 0 and
within one cent and the pannings within 2. A song stopped at the time limit (an endless loop) is
compared on the ticks both traces have.

Prints a line for each song that differs (seed, channels, table, share of channel-ticks matched,
the first differing tick with the row's cell on that channel), then totals and the differences
grouped by kind (frequency, volume, panning, position, length) and by the cell where a song first
differs. --keep DIR keeps the song, both traces and the listing of every song that differs.
Exit status 0 after comparing (whatever the result), 2 for a bad command line or missing tools.
"""
import argparse
import collections
import concurrent.futures
import math
import os
import re
import shutil
import signal
import subprocess
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOL_TIMEOUT_S = 900  # a hang guard only: songs are cut by song time, not by the clock
EFFECT_LETTERS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def parse_trace(text):
    """Lines as ((order, pattern, row, tick, speed, bpm), [(hz, vol, pan), ...]), and whether the
    trace was stopped by its time limit."""
    lines, stopped = [], False
    for line in text.splitlines():
        if line.startswith("#"):
            stopped = stopped or line.startswith("# stopped:")
            continue
        if not line.strip():
            continue
        parts = line.split("|")
        position = tuple(int(x) for x in parts[0].split())
        channels = []
        for part in parts[1:]:
            hz, vol, pan = part.split()
            channels.append((float(hz), int(vol), int(pan)))
        lines.append((position, channels))
    return lines, stopped


def channel_faults(a, b):
    """The ways two channel states differ under ft2cmp's rule: a list of kinds, empty if alike."""
    if a is None or b is None:
        return ["length"]
    (fa, va, pa), (fb, vb, pb) = a, b
    faults = []
    if abs(va - vb) > 1:
        faults.append("volume")
    if va > 1 and vb > 1:
        if fa <= 0 or fb <= 0 or abs(1200.0 * math.log2(fb / fa)) > 1.0:
            faults.append("frequency")
        if abs(pa - pb) > 2:
            faults.append("panning")
    return faults


def parse_listing(text):
    """The song's channels and table, and its cells by (pattern, row) as lists of strings."""
    head = re.match(r'song ".*": (\d+) channels?, (\w+) table', text)
    cells, pattern = {}, None
    for line in text.splitlines():
        m = re.match(r"pattern (\d+):", line)
        if m:
            pattern = int(m.group(1))
            continue
        m = re.match(r"\s*(\d+) \| (.*)$", line)
        if m and pattern is not None:
            cells[(pattern, int(m.group(1)))] = m.group(2).split(" | ")
    return int(head.group(1)), head.group(2), cells


def cell_kinds(cell):
    """What a cell holds, as groups of likely causes: 'E9x', '4xy', 'vol vs', 'key off', 'note'."""
    note, _, volume, effect = cell.split(" ")
    kinds = []
    if effect != "...":
        letter = effect[0]
        kinds.append(f"{letter}{effect[1]}x" if letter in "EX" else f"{letter}xx")
    if volume != "...":
        kinds.append("vol " + ("set" if volume[0] == "v" else volume[:2]))
    if note == "===":
        kinds.append("key off")
    elif note != "...":
        kinds.append("note")
    return "+".join(kinds) or "empty cell"


def flow_effect(cell):
    """The effect of a cell if it changes the song's flow (Bxx, Dxx, E6x, EEx, Fxx), else None."""
    effect = cell.split(" ")[3]
    if effect[0] in "BDF" or effect[:2] in ("E6", "EE"):
        return effect[:2] + "x" if effect[0] == "E" else effect[0] + "xx"
    return None


def compare(ref, ours, cells):
    """Counts of ft2cmp's rule over the paired lines, faults by kind, and the first difference."""
    result = {"compared": 0, "matched": 0, "position_lines": 0, "kinds": collections.Counter(),
              "first": None, "first_group": None}
    for i in range(min(len(ref), len(ours))):
        (rp, rc), (op, oc) = ref[i], ours[i]
        line_faults = []
        if rp[:4] != op[:4]:
            result["position_lines"] += 1
            result["kinds"]["position"] += 1
            line_faults.append((None, ["position"]))
        for c in range(max(len(rc), len(oc))):
            a = rc[c] if c < len(rc) else None
            b = oc[c] if c < len(oc) else None
            result["compared"] += 1
            faults = channel_faults(a, b)
            if not faults:
                result["matched"] += 1
                continue
            result["kinds"].update(faults)
            line_faults.append((c, faults))
        if line_faults and result["first"] is None:
            c, faults = line_faults[0]
            row_cells = cells.get((rp[1], rp[2]))
            if c is None:
                where, cell = f"position, ours at {' '.join(map(str, op[:4]))}", None
                group = "+".join(sorted({flow_effect(x) for x in row_cells or []} - {None}))
            else:
                fmt = lambda s: "-" if s is None else f"{s[0]:.2f} {s[1]} {s[2]}"
                where = f"ch{c} {'/'.join(faults)}: ref {fmt(rc[c] if c < len(rc) else None)}, " \
                        f"ours {fmt(oc[c] if c < len(oc) else None)}"
                cell = row_cells[c] if row_cells and c < len(row_cells) else "(no such cell)"
                group = cell_kinds(cell) if row_cells else "missing pattern"
            result["first"] = (f"tick {i + 1} (order {rp[0]} pattern {rp[1]} row {rp[2]} tick "
                               f"{rp[3]}) {where}")
            if cell is not None and cells:  # a module without a listing has no cells to name
                result["first"] += f"; cell {cell}"
            result["first_group"] = f"{faults[0]} @ {group or 'no flow effect'}"
    return result


def run_both(reference, xmplay, seconds, path):
    """The reference's and xmplay's traces of one file by side ("ref", "ours"); RuntimeError names
    a side that fails."""
    runs = {}
    for side, command in (("ref", [reference, "-t", str(seconds), path]),
                          ("ours", [xmplay, "--ticks", "--seconds", str(seconds), path])):
        done = subprocess.run(command, capture_output=True, text=True, timeout=TOOL_TIMEOUT_S)
        if done.returncode != 0:
            raise RuntimeError(f"{side}: exit status {done.returncode}: "
                               f"{done.stderr.strip()[:200]}")
        runs[side] = done.stdout
    return runs


def compare_runs(runs, cells):
    """compare() on the two traces, with their lengths and whether they are alike throughout."""
    (ref, ref_stopped), (ours, ours_stopped) = parse_trace(runs["ref"]), parse_trace(runs["ours"])
    result = compare(ref, ours, cells)
    result.update(channels=len(ref[0][1]) if ref else 0, ref_ticks=len(ref), our_ticks=len(ours),
                  stopped=ref_stopped,
                  # Both stopped by the time limit: the last tick may part by a rounding.
                  length_differs=len(ref) != len(ours) and not (ref_stopped and ours_stopped))
    result["exact"] = (result["matched"] == result["compared"] and
                       result["position_lines"] == 0 and not result["length_differs"])
    return result


def run_seed(seed, args, tools):
    with tempfile.TemporaryDirectory(prefix="ft2-differ-") as work:
        song, listing_path = os.path.join(work, "song.xm"), os.path.join(work, "listing.txt")
        try:
            listing = subprocess.run([tools["generate"], *args.shape, "--describe", str(seed), song],
                                     capture_output=True, text=True, check=True,
                                     timeout=TOOL_TIMEOUT_S).stdout
            runs = run_both(args.reference, tools["xmplay"], args.seconds, song)
        except (subprocess.SubprocessError, RuntimeError) as error:
            return {"seed": seed, "error": str(error)}
        channels, table, cells = parse_listing(listing)
        result = compare_runs(runs, cells)
        result.update(seed=seed, channels=channels, table=table)
        if not result["exact"] and args.keep:
            with open(listing_path, "w") as f:
                f.write(listing)
            for name, text in (("ref.txt", runs["ref"]), ("ours.txt", runs["ours"])):
                with open(os.path.join(work, name), "w") as f:
                    f.write(text)
            for name in ("song.xm", "listing.txt", "ref.txt", "ours.txt"):
                shutil.copy(os.path.join(work, name), os.path.join(args.keep, f"{seed}.{name}"))
        return result


def song_line(r):
    share = 100.0 * r["matched"] / r["compared"] if r["compared"] else 0.0
    text = f"seed {r['seed']}: {r['channels']} ch {r['table']}, {share:.2f}% of {r['compared']}"
    if r["length_differs"]:
        text += f", ticks ref/ours {r['ref_ticks']}/{r['our_ticks']}"
    return text + (f"; first at {r['first']}" if r["first"] else "")


def print_totals(results):
    done = [r for r in results if "error" not in r]
    compared = sum(r["compared"] for r in done)
    matched = sum(r["matched"] for r in done)
    exact = sum(r["exact"] for r in done)
    print(f"\nsongs {len(results)}, exact {exact} ({100.0 * exact / max(1, len(done)):.1f}%), "
          f"tool errors {len(results) - len(done)}, stopped by the time limit "
          f"{sum(r['stopped'] for r in done)}")
    print(f"channel-ticks compared {compared}, matched {matched} "
          f"({100.0 * matched / max(1, compared):.2f}%)")
    print(f"position mismatches: {sum(r['position_lines'] for r in done)} lines in "
          f"{sum(r['position_lines'] > 0 for r in done)} songs; tick-count mismatches: "
          f"{sum(r['length_differs'] for r in done)} songs")
    kinds = collections.Counter()
    for r in done:
        kinds.update(r["kinds"])
    songs_by_kind = collections.Counter(k for r in done for k in r["kinds"])
    print("differences by kind (channel-ticks or lines; songs): " + ", ".join(
        f"{k} {n}; {songs_by_kind[k]}" for k, n in kinds.most_common()) or "none")
    groups = collections.defaultdict(list)
    for r in done:
        if r["first_group"]:
            groups[r["first_group"]].append(r["seed"])
        elif r["length_differs"]:
            groups["length @ end"].append(r["seed"])
    print("songs by their first difference (kind @ the cell there), with example seeds:")
    for group, seeds in sorted(groups.items(), key=lambda g: -len(g[1]))[:30]:
        print(f"  {len(seeds):5d}  {group}: {' '.join(map(str, seeds[:5]))}")


def seed_range(text):
    m = re.fullmatch(r"(\d+)(?::(\d+))?", text)
    if not m or (m.group(2) and int(m.group(2)) < int(m.group(1))):
        raise argparse.ArgumentTypeError(f"seeds are N or A:B with A <= B, not '{text}'")
    return range(int(m.group(1)), int(m.group(2) or m.group(1)) + 1)


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quietly, when piped into head
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--reference", required=True, help="the ft2-trace program")
    parser.add_argument("--seeds", type=seed_range, default=seed_range("1:100"))
    parser.add_argument("--channels")
    parser.add_argument("--table", choices=["linear", "amiga"])
    parser.add_argument("--orders")
    parser.add_argument("--rows")
    parser.add_argument("--seconds", type=float, default=300.0, help="song time limit")
    parser.add_argument("--build", default=os.path.join(REPO, "build", "gen"))
    parser.add_argument("--keep", help="directory for the files of songs that differ")
    parser.add_argument("-j", type=int, default=2, dest="jobs")
    args = parser.parse_args()
    tools = {"generate": os.path.join(args.build, "tools", "song_generator", "xm-generate"),
             "xmplay": os.path.join(args.build, "tools", "xmplay", "xmplay")}
    for path in [args.reference, *tools.values()]:
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is no program here (build xm-generate and xmplay in "
                         f"{args.build})")
    args.shape = [x for name in ("channels", "table", "orders", "rows")
                  if getattr(args, name) for x in (f"--{name}", getattr(args, name))]
    with tempfile.TemporaryDirectory() as work:  # the shape options, checked once
        check = subprocess.run([tools["generate"], *args.shape, "0", os.path.join(work, "0.xm")],
                               capture_output=True, text=True)
        if check.returncode != 0:
            parser.error(check.stderr.strip())
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    results = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for r in pool.map(lambda seed: run_seed(seed, args, tools), args.seeds):
            results.append(r)
            if "error" in r:
                print(f"seed {r['seed']}: ERROR {r['error']}", flush=True)
            elif not r["exact"]:
                print(song_line(r), flush=True)
    print_totals(results)


if __name__ == "__main__":
    main()
