#!/usr/bin/env python3
"""Times `vantlo filter` and `fzy -e` started straight from this process (posix_spawn), without
a shell's fork in each measurement and without fzf running in between.

    bench/compare_filter_spawn.py path/to/vantlo [RUNS]

Uses the corpus and queries of compare_filter.sh; prints the median wall time of each.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

QUERIES = ["a", "ab", "chr", "read", "g re", "dsbd", "budget", "config.yaml"]


def run(command, corpus):
    with open(corpus, "rb") as source, open(os.devnull, "wb") as sink:
        start = time.perf_counter()
        pid = os.posix_spawn(
            command[0],
            command,
            os.environ,
            file_actions=[
                (os.POSIX_SPAWN_DUP2, source.fileno(), 0),
                (os.POSIX_SPAWN_DUP2, sink.fileno(), 1),
            ],
        )
        os.waitpid(pid, 0)
        return (time.perf_counter() - start) * 1000


def main():
    vantlo = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
    fzy = shutil.which("fzy")
    if fzy is None:
        sys.exit("compare_filter_spawn: fzy is not installed")
    here = os.path.dirname(os.path.abspath(__file__))
    with tempfile.TemporaryDirectory() as work:
        corpus = os.path.join(work, "corpus.txt")
        with open(corpus, "wb") as out:
            subprocess.run([sys.executable, os.path.join(here, "make_corpus.py"), "100000"],
                           stdout=out, check=True)
        print(f"{'query':14} {'vantlo':>9} {'fzy':>9} {'fzy/vantlo':>11}")
        for query in QUERIES:
            times = {"vantlo": [], "fzy": []}
            for _ in range(runs):
                times["vantlo"].append(run([vantlo, "filter", query], corpus))
                times["fzy"].append(run([fzy, "-e", query], corpus))
            v = statistics.median(times["vantlo"])
            z = statistics.median(times["fzy"])
            print(f"{chr(34) + query + chr(34):14} {v:7.2f}ms {z:7.2f}ms {z / v:10.1f}x")


if __name__ == "__main__":
    main()
