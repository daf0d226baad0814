#!/usr/bin/env python3
"""Records what a FastTracker 2 reference plays of generated songs, as test data.

  scripts/record_ft2_traces.py --reference PATH/TO/ft2-trace [--build DIR] SEED[:CHANNELS]...
  scripts/record_ft2_traces.py --reference PATH/TO/ft2-trace [--build DIR] --choose N --from A:B

The first form writes tests/xm/ft2_traces/SEED.txt for each song: the xm-generate command that
makes it (`# xm-generate --channels C --orders 3 --rows 32 SEED`; channels drawn from the seed
when not given), the reference's lines a tick, and its `# end:` line. tests/xm/ft2_reference_test
makes each song again and plays it against its file. A song the reference stops at its time limit
is refused: the test compares whole songs.

The second form chooses seeds for the first and prints them. Candidates are the seeds A..B, each
with 1 + SEED % 4 channels (small traces), in the recorded shape (at most 3 orders of at most 32
rows). Each candidate's features are read from its listing, counting only patterns the order list
plays and instruments they name: every effect and E/X sub-effect (and each with parameter 00, its
memory), every volume column command, key off alone, with an instrument, a volume or tone
portamento, K00 and Kxx, note delay and retrig with and without a note, notes without an
instrument and instruments without a note, missing instruments and patterns, instruments without
samples, keymaps naming missing samples, envelope shapes (one point, sustain, loop, empty loop,
sustain on the loop's end), fadeout 0 and large, each auto-vibrato wave with and without sweep,
8- and 16-bit samples, every loop kind, one-frame loops, loops from the start, very short samples,
finetunes off the multiples of 16, far relative notes, and both frequency tables. Songs the
reference stops at its time limit, that last less than 100 ticks or whose trace passes 40 kB are
left out. Then, greedily, the song with the most features not yet in 3 chosen songs per kilobyte
of trace (counting traces under 8 kB as 8 kB) is taken, until every feature is in 3 songs or N
songs are chosen.

The traces in the repository: `--choose 40 --from 1:3000`, then the first form with its output.
"""
import argparse
import collections
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ft2_differ import REPO, parse_listing  # noqa: E402

SHAPE = ["--orders", "3", "--rows", "32"]
OUT_DIR = os.path.join(REPO, "tests", "xm", "ft2_traces")
SECONDS = 120  # the reference's time limit
MAX_TRACE_BYTES = 40_000
MIN_TICKS = 100  # long enough for effects to run a while
SMALL_TRACE_BYTES = 8_000  # smaller traces are not preferred for their size
TIMES_COVERED = 3


def generate(tools, seed, channels):
    command = ["xm-generate", *(["--channels", str(channels)] if channels else []), *SHAPE,
               str(seed)]
    listing = subprocess.run([tools["generate"], *command[1:-1], "--describe", str(seed),
                              tools["song"]], capture_output=True, text=True, check=True).stdout
    return " ".join(command), listing


def reference_trace(tools, reference):
    """The trace without its comments but for the end line, or None if the time limit stopped it."""
    text = subprocess.run([reference, "-t", str(SECONDS), tools["song"]], capture_output=True,
                          text=True, check=True).stdout
    if "# stopped:" in text:
        return None
    return "".join(line + "\n" for line in text.splitlines()
                   if not line.startswith("#") or line.startswith("# end:"))


def instrument_features(block):
    f = set()
    if "no samples" in block:
        return {"instrument without samples"}
    for what in ("volume", "panning"):
        m = re.search(rf"{what} envelope ([^\n]*)", block)
        if m.group(1) == "off":
            continue
        env = m.group(1)
        f.add(f"{what} envelope")
        f.update(f"{what} envelope {k}" for k in ("sustain", "loop") if k in env)
        if not re.match(r"\d+:\d+ \d+:", env):
            f.add(f"{what} envelope of one point")
        loop, sustain = re.search(r"loop (\d+)-(\d+)", env), re.search(r"sustain (\d+)", env)
        if loop and loop.group(1) == loop.group(2):
            f.add(f"{what} envelope empty loop")
        if loop and sustain and sustain.group(1) == loop.group(2):
            f.add(f"{what} envelope sustain on loop end")
    fadeout = int(re.search(r"fadeout (\d+)", block).group(1))
    f.add("fadeout 0" if fadeout == 0 else "fadeout large" if fadeout > 0xFFF else "fadeout")
    m = re.search(r"auto-vibrato (\D+) sweep (\d+)", block)
    if m:
        f.add(f"auto-vibrato {m.group(1).strip()}" + (" sweep" if m.group(2) != "0" else ""))
    if "(none)" in block:
        f.add("keymap naming a missing sample")
    for m in re.finditer(r"sample \d+: (\d+)-bit, (\d+) frames, ([a-z-]+ loop|no loop)( 0\+| \d+\+1,)?"
                         r".*finetune (-?\d+), relative note ([-+]\d+)", block):
        f.update({f"{m.group(1)}-bit", m.group(3)})
        if int(m.group(2)) <= 16:
            f.add("very short sample")
        if m.group(4):
            f.add("loop from the start" if "0+" in m.group(4) else "one-frame loop")
        if int(m.group(5)) % 16:
            f.add("finetune off the multiples of 16")
        if abs(int(m.group(6))) > 12:
            f.add("far relative note")
    return f


def features(listing):
    _, table, cells = parse_listing(listing)
    orders = re.search(r"orders:([^\n]*)", listing).group(1)
    played = {int(x) for x in re.findall(r"\d+", re.sub(r"\(.*?\)", "", orders))}
    blocks = {int(m.group(1), 16): m.group(0) for m in
              re.finditer(r"instrument (\w\w):.*?(?=\ninstrument|\ncells:)", listing, re.S)}
    f = {"table " + table}
    if "missing" in orders:
        f.add("missing pattern")
    named = set()
    for (pattern, _), row in cells.items():
        if pattern not in played:
            continue
        for cell in row:
            note, instrument, volume, effect = cell.split(" ")
            if effect != "...":
                name = effect[:2] if effect[0] in "EX" else effect[0]
                f.add("effect " + name)
                if (effect[2] == "0") if effect[0] in "EX" else effect[1:] == "00":
                    f.add(f"effect {name} memory")
                if name in ("ED", "E9"):
                    f.add(f"effect {name} " + ("with" if note not in ("...", "===") else "without")
                          + " a note")
                if name == "K":
                    f.add("K00" if effect == "K00" else "Kxx")
            if volume != "...":
                f.add("volume column " + ("set" if volume[0] == "v" else volume[:2]))
            if note == "===":
                f.add("key off")
                if instrument != "..":
                    f.add("key off with an instrument")
                if volume != "...":
                    f.add("key off with a volume column")
                if effect[0] == "3" or volume.startswith("tp"):
                    f.add("key off with tone portamento")
            elif note != "..." and instrument == "..":
                f.add("note without instrument")
            elif note == "..." and instrument != "..":
                f.add("instrument without note")
            if instrument != "..":
                named.add(int(instrument, 16))
    for number in named:
        f |= instrument_features(blocks[number]) if number in blocks else {"missing instrument"}
    return f


def choose(args, tools):
    candidates = []
    for seed in range(args.first, args.last + 1):
        channels = 1 + seed % 4
        _, listing = generate(tools, seed, channels)
        trace = reference_trace(tools, args.reference)
        if trace is not None and MIN_TICKS <= trace.count("\n") and len(trace) <= MAX_TRACE_BYTES:
            candidates.append((f"{seed}:{channels}", features(listing), len(trace)))
    counts, chosen, total = collections.Counter(), [], 0
    gain = lambda c: sum(counts[f] < TIMES_COVERED for f in c[1]) / max(c[2], SMALL_TRACE_BYTES)
    while len(chosen) < args.choose and candidates:
        best = max(candidates, key=gain)
        if gain(best) == 0:
            break
        counts.update(best[1])
        chosen.append(best[0])
        total += best[2]
        candidates.remove(best)
    everything = set(counts).union(*(c[1] for c in candidates))
    print(f"# {len(chosen)} songs, {total} bytes of traces; features {len(everything)}, covered "
          f"{len(counts)}, {TIMES_COVERED} times or more {sum(n >= TIMES_COVERED for n in counts.values())}"
          f"; not covered: {', '.join(sorted(everything - set(counts))) or 'none'}", file=sys.stderr)
    print(" ".join(chosen))


def record(args, tools):
    os.makedirs(OUT_DIR, exist_ok=True)
    for song in args.seeds:
        m = re.fullmatch(r"(\d+)(?::(\d+))?", song)
        if not m:
            sys.exit(f"record_ft2_traces: a song is SEED or SEED:CHANNELS, not '{song}'")
        command, _ = generate(tools, int(m.group(1)), m.group(2))
        trace = reference_trace(tools, args.reference)
        if trace is None:
            sys.exit(f"record_ft2_traces: {song}: the reference stops it at {SECONDS} s: pick "
                     "another")
        with open(os.path.join(OUT_DIR, f"{m.group(1)}.txt"), "w") as f:
            f.write(f"# {command}\n{trace}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--reference", required=True, help="the ft2-trace program")
    parser.add_argument("--build", default=os.path.join(REPO, "build", "gen"))
    parser.add_argument("--choose", type=int, help="choose this many songs and print them")
    parser.add_argument("--from", dest="candidates", default="1:3000", help="seeds A:B to choose from")
    parser.add_argument("seeds", nargs="*", help="SEED or SEED:CHANNELS")
    args = parser.parse_args()
    tools = {"generate": os.path.join(args.build, "tools", "song_generator", "xm-generate"),
             "song": os.path.join(args.build, "ft2-record-song.xm")}
    for path in (args.reference, tools["generate"]):
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is no program here")
    if args.choose:
        args.first, args.last = map(int, args.candidates.split(":"))
        choose(args, tools)
    elif args.seeds:
        record(args, tools)
    else:
        parser.error("give songs to record, or --choose N")


if __name__ == "__main__":
    main()
