#!/usr/bin/env python3
"""Cuts generated songs short at random points and compares what loads and plays of them.

  scripts/ft2_cuts.py --reference PATH/TO/ft2-trace [--seeds A:B] [--cuts N] [--orders N]
      [--rows N] [--seconds S] [--build DIR] [--keep DIR] [--record DIR] [-j N]

For each seed, xm-generate writes the song (in ft2_differ.py's shape options) and N cut files are
made of it, each its first K bytes, K drawn uniformly from 0 to its size less one with the seed as
the random source. Each cut file goes to `xmplay --ticks --seconds S`, to the reference (`ft2-trace
-t S`) and to `openmpt123 --info` (which loads a file when it prints no "error loading").

Prints the share of cut files each of the three loads, overall and by where the cut falls (the
song header, the order list, a pattern's header or data, an instrument's header, a sample's header
or data); then, for every cut the reference loads, whether xmplay loads it and the tick by tick
agreement under ft2cmp.py's rule (ft2_differ.py), as on whole songs, also counted apart for the
songs whose whole file plays alike (the rest part from the reference before any cut). A line for
each cut the reference loads that xmplay refuses or plays otherwise. --keep DIR keeps those cut files and both
traces; --record DIR writes, for each cut that both load, the trace file the loader's tests read:
`# xm-generate [shape] SEED --cut K`, then the reference's lines.
Exit status 0 after comparing (whatever the result), 2 for a bad command line or missing tools.
"""
import argparse
import collections
import concurrent.futures
import os
import random
import signal
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ft2_differ import REPO, compare, parse_listing, parse_trace, seed_range  # noqa: E402

TOOL_TIMEOUT_S = 900


def regions(b):
    """(start, end, kind) for each part of an 0x0104 file as the generator writes it."""
    u16 = lambda at: struct.unpack_from("<H", b, at)[0]
    u32 = lambda at: struct.unpack_from("<I", b, at)[0]
    out = [(0, 60, "id and names"), (60, 80, "song header"), (80, 60 + u32(60), "order list")]
    at = 60 + u32(60)
    for _ in range(u16(70)):
        length, packed = u32(at), u16(at + 7)
        out += [(at, at + length, "pattern header"), (at + length, at + length + packed,
                                                      "pattern data")]
        at += length + packed
    for _ in range(u16(72)):
        size, samples = u32(at), u16(at + 27)
        header_size = u32(at + 29) if samples else 0
        out.append((at, at + size, "instrument header"))
        at += size
        lengths = []
        for _ in range(samples):
            out.append((at, at + header_size, "sample header"))
            lengths.append(u32(at))
            at += header_size
        for length in lengths:
            out.append((at, at + length, "sample data"))
            at += length
    return out


def kind_at(parts, cut):
    """Where a file cut to `cut` bytes ends: the part its first missing byte belongs to."""
    return next((kind for start, end, kind in parts if start <= cut < end), "file end")


def run(command):
    return subprocess.run(command, capture_output=True, text=True, timeout=TOOL_TIMEOUT_S)


def run_cut(path, seconds, tools):
    ours = run([tools["xmplay"], "--ticks", "--seconds", str(seconds), path])
    ref = run([tools["reference"], "-t", str(seconds), path])
    mpt = run(["openmpt123", "--info", path])
    return {"ours": ours.stdout if ours.returncode == 0 else None,
            "ours_error": ours.stderr.strip(),
            "ref": ref.stdout if ref.returncode == 0 else None,
            "mpt": "error loading" not in mpt.stdout + mpt.stderr and mpt.returncode == 0}


def run_seed(seed, args, tools):
    results = []
    with tempfile.TemporaryDirectory(prefix="ft2-cuts-") as work:
        song = os.path.join(work, "song.xm")
        listing = run([tools["generate"], *args.shape, "--describe", str(seed), song]).stdout
        whole = open(song, "rb").read()
        parts = regions(whole)
        cells = parse_listing(listing)[2]
        # How the whole song compares, so that a cut's differences can be told from the song's.
        w = run_cut(song, args.seconds, tools)
        whole_alike = w["ours"] is not None and w["ref"] is not None and exact(w, cells)
        rng = random.Random(seed)
        for cut in sorted(rng.randrange(len(whole)) for _ in range(args.cuts)):
            path = os.path.join(work, f"{cut}.xm")
            with open(path, "wb") as f:
                f.write(whole[:cut])
            r = run_cut(path, args.seconds, tools)
            r.update(seed=seed, cut=cut, kind=kind_at(parts, cut), whole_alike=whole_alike)
            if r["ref"] is not None and r["ours"] is not None:
                exact(r, cells)
                if args.record and r["exact"]:
                    record(args, seed, cut, r["ref"])
            if args.keep and r["ref"] is not None and not r.get("exact"):
                keep(args.keep, seed, cut, whole[:cut], r)
            os.remove(path)
            results.append(r)
    return results


def exact(r, cells):
    """Compares the two traces of `r` into it; whether every tick and the length are alike."""
    ref, ref_stopped = parse_trace(r["ref"])
    ours, ours_stopped = parse_trace(r["ours"])
    r["compare"] = c = compare(ref, ours, cells)
    r["length_differs"] = len(ref) != len(ours) and not (ref_stopped and ours_stopped)
    r["exact"] = c["matched"] == c["compared"] and not c["position_lines"] and not r["length_differs"]
    return r["exact"]


def record(args, seed, cut, trace):
    shape = " ".join(args.shape)
    with open(os.path.join(args.record, f"{seed}-{cut}.txt"), "w") as f:
        f.write(f"# xm-generate {shape + ' ' if shape else ''}{seed} --cut {cut}\n")
        f.write("".join(line + "\n" for line in trace.splitlines()
                        if not line.startswith("#") or line.startswith("# end:")))


def keep(folder, seed, cut, data, r):
    name = os.path.join(folder, f"{seed}-{cut}")
    with open(name + ".xm", "wb") as f:
        f.write(data)
    for side in ("ref", "ours"):
        with open(f"{name}.{side}.txt", "w") as f:
            f.write(r[side] if r[side] is not None else r.get("ours_error", ""))


def share(n, total):
    return f"{n}/{total} ({100.0 * n / max(1, total):.1f}%)"


def report(results):
    total = len(results)
    loads = {side: sum(1 for r in results if (r[side] is not None if side != "mpt" else r[side]))
             for side in ("ours", "ref", "mpt")}
    print(f"cut files {total}: loaded by xmplay {share(loads['ours'], total)}, by the reference "
          f"{share(loads['ref'], total)}, by openmpt123 --info {share(loads['mpt'], total)}")
    print("by where the cut falls (xmplay / reference / openmpt123):")
    by_kind = collections.defaultdict(list)
    for r in results:
        by_kind[r["kind"]].append(r)
    for kind, rs in sorted(by_kind.items(), key=lambda k: -len(k[1])):
        print(f"  {kind:18s} {len(rs):6d}: {sum(r['ours'] is not None for r in rs):6d} / "
              f"{sum(r['ref'] is not None for r in rs):6d} / {sum(r['mpt'] for r in rs):6d}")
    ref_loaded = [r for r in results if r["ref"] is not None]
    both = [r for r in ref_loaded if r["ours"] is not None]
    compared = sum(r["compare"]["compared"] for r in both)
    matched = sum(r["compare"]["matched"] for r in both)
    exact = sum(r["exact"] for r in both)
    print(f"of the {len(ref_loaded)} the reference loads: xmplay loads "
          f"{share(len(both), len(ref_loaded))}, every tick alike in {share(exact, len(both))}; "
          f"channel-ticks matched {matched}/{compared} ({100.0 * matched / max(1, compared):.3f}%)")
    alike = [r for r in both if r["whole_alike"]]
    print(f"of those, cuts of songs that play alike whole: every tick alike in "
          f"{share(sum(r['exact'] for r in alike), len(alike))}")


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--reference", required=True, help="the ft2-trace program")
    parser.add_argument("--seeds", type=seed_range, default=seed_range("1:100"))
    parser.add_argument("--cuts", type=int, default=10, help="cut files a song")
    parser.add_argument("--orders")
    parser.add_argument("--rows")
    parser.add_argument("--seconds", type=float, default=60.0, help="song time limit")
    parser.add_argument("--build", default=os.path.join(REPO, "build", "gen"))
    parser.add_argument("--keep", help="directory for cut files the two play otherwise")
    parser.add_argument("--record", help="directory for the traces of cuts both play alike")
    parser.add_argument("-j", type=int, default=2, dest="jobs")
    args = parser.parse_args()
    tools = {"generate": os.path.join(args.build, "tools", "song_generator", "xm-generate"),
             "xmplay": os.path.join(args.build, "tools", "xmplay", "xmplay"),
             "reference": args.reference}
    for path in tools.values():
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is no program here (build xm-generate and xmplay in "
                         f"{args.build})")
    args.shape = [x for name in ("orders", "rows") if getattr(args, name)
                  for x in (f"--{name}", getattr(args, name))]
    for folder in (args.keep, args.record):
        if folder:
            os.makedirs(folder, exist_ok=True)
    results = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for seed_results in pool.map(lambda seed: run_seed(seed, args, tools), args.seeds):
            for r in seed_results:
                results.append(r)
                if r["ref"] is None:
                    continue
                if r["ours"] is None:
                    print(f"seed {r['seed']} cut {r['cut']} ({r['kind']}): xmplay refuses: "
                          f"{r['ours_error'][:160]}", flush=True)
                elif not r["exact"]:
                    c = r["compare"]
                    print(f"seed {r['seed']} cut {r['cut']} ({r['kind']}): {c['matched']} of "
                          f"{c['compared']} channel-ticks alike"
                          f"{', lengths differ' if r['length_differs'] else ''}; first at "
                          f"{c['first']}", flush=True)
    report(results)


if __name__ == "__main__":
    main()
