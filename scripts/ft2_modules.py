#!/usr/bin/env python3
"""Compares our XM player with a FastTracker 2 reference on module files, tick by tick.

  scripts/ft2_modules.py --reference PATH/TO/ft2-trace [--seconds S] [--build DIR] [--keep DIR]
      [-j N] FILE_OR_FOLDER...

Each .xm file named, or found in a folder named, goes to the reference (`ft2-trace -t S`) and to
`xmplay --ticks --seconds S`, and the two traces are compared under ft2_differ.py's rule. Prints a
line for each file: its channels, the share of channel-ticks matched, the lines whose positions
differ, the tick counts and the first difference; then the totals over all files. A file that one
side refuses is named with both exit statuses and counted apart. --keep DIR keeps both traces of
every file that differs. Exit status 0 after comparing (whatever the result), 2 for a bad command
line or missing tools.
"""
import argparse
import concurrent.futures
import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ft2_differ import REPO, compare_runs, run_both  # noqa: E402


def module_files(names):
    files = []
    for name in names:
        if os.path.isdir(name):
            files += sorted(os.path.join(name, f) for f in os.listdir(name)
                            if f.lower().endswith(".xm"))
        else:
            files.append(name)
    return files


def run_file(path, args):
    try:
        runs = run_both(args.reference, args.xmplay, args.seconds, path)
    except (subprocess.SubprocessError, RuntimeError) as error:
        return {"path": path, "error": str(error)}
    result = compare_runs(runs, {})
    result["path"] = path
    if not result["exact"] and args.keep:
        base = os.path.join(args.keep, os.path.basename(path))
        for side in runs:
            with open(f"{base}.{side}.txt", "w") as f:
                f.write(runs[side])
    return result


def file_line(r):
    if "error" in r:
        return f"{r['path']}: {r['error']}"
    share = 100.0 * r["matched"] / max(1, r["compared"])
    text = (f"{r['path']}: {r['channels']} ch, {share:.4f}% of {r['compared']}, positions differ "
            f"on {r['position_lines']} lines, ticks ref/ours {r['ref_ticks']}/{r['our_ticks']}")
    return text + (f"; first at {r['first']}" if r["first"] else "")


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quietly, when piped into head
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--reference", required=True, help="the ft2-trace program")
    parser.add_argument("--seconds", type=float, default=900.0, help="song time limit")
    parser.add_argument("--build", default=os.path.join(REPO, "build", "release"))
    parser.add_argument("--keep", help="directory for the traces of files that differ")
    parser.add_argument("-j", type=int, default=2, dest="jobs")
    parser.add_argument("modules", nargs="+", help="XM files, or folders holding them")
    args = parser.parse_args()
    args.xmplay = os.path.join(args.build, "tools", "xmplay", "xmplay")
    for path in (args.reference, args.xmplay):
        if not os.access(path, os.X_OK):
            parser.error(f"{path} is no program here")
    files = module_files(args.modules)
    if not files:
        parser.error("no .xm files among the names given")
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        results = list(pool.map(lambda path: run_file(path, args), files))
    for r in results:
        print(file_line(r))
    done = [r for r in results if "error" not in r]
    compared = sum(r["compared"] for r in done)
    matched = sum(r["matched"] for r in done)
    print(f"\nfiles {len(results)}, exact {sum(r['exact'] for r in done)}, refused by either "
          f"{len(results) - len(done)}; channel-ticks compared {compared}, matched {matched} "
          f"({100.0 * matched / max(1, compared):.4f}%); files whose positions differ "
          f"{sum(r['position_lines'] > 0 for r in done)}, whose length differs "
          f"{sum(r['length_differs'] for r in done)}")


if __name__ == "__main__":
    main()
