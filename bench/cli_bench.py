#!/usr/bin/env python3
"""quillora-cli benchmarks, measured side by side in one run and printed as ratios.

    python3 bench/cli_bench.py [path to quillora-cli]   (default build/host/bin/quillora-cli)

- 10 million headlines from the built-in lists into a file, against `cat` copying a file of
  the same size in the same run;
- peak resident memory for 10 million headlines against 10 thousand (without --unique);
- --unique for every distinct headline of the built-in lists against a plain run of the same
  count.
Each timing is the best of three runs.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

cli = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/host/bin/quillora-cli")


def timed(args, stdout=subprocess.DEVNULL):
    """Wall time in seconds and peak resident size in MiB of one run."""
    start = time.perf_counter()
    p = subprocess.Popen(args, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(p.pid, 0)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit("failed: %s" % " ".join(args))
    return elapsed, usage.ru_maxrss / 1024.0


work = tempfile.mkdtemp(prefix="quillora-cli-bench-")
try:
    out = os.path.join(work, "headlines.txt")
    copy = os.path.join(work, "copy.txt")
    n = 10_000_000
    # A file of the size the run writes, for cat to copy; then the two take turns, so that
    # both meet the same state of the page cache and of the disk's write-back.
    timed([cli, "-n", str(n), "--seed", "1", "-o", source := os.path.join(work, "same-size.txt")])
    size = os.path.getsize(source)
    cli_times, cat_times = [], []
    for _ in range(3):
        cli_times.append(timed([cli, "-n", str(n), "--seed", "1", "-o", out])[0])
        os.remove(out)
        with open(copy, "wb") as f:
            cat_times.append(timed(["cat", source], stdout=f)[0])
        os.remove(copy)
    cli_time, cat_time = min(cli_times), min(cat_times)
    os.remove(source)
    print("10 million headlines to a file (%.0f MB)" % (size / 1e6))
    print("  quillora-cli   %.3f s   %.1f million headlines/s" % (cli_time, n / cli_time / 1e6))
    print("  cat same size  %.3f s" % cat_time)
    print("  ratio cli/cat  %.2f   (goal: at most 3)" % (cli_time / cat_time))

    _, rss_small = timed([cli, "-n", "10000", "--seed", "1"])
    _, rss_large = timed([cli, "-n", str(n), "--seed", "1"])
    print("peak resident memory, written to /dev/null")
    print("  10 thousand    %.1f MiB" % rss_small)
    print("  10 million     %.1f MiB   (difference %+.1f MiB)" % (rss_large, rss_large - rss_small))

    every = 542192
    unique_times, plain_times = [], []
    for _ in range(3):
        unique_times.append(timed([cli, "--unique", "-n", str(every), "--seed", "1", "-o", out])[0])
        os.remove(out)
        plain_times.append(timed([cli, "-n", str(every), "--seed", "1", "-o", out])[0])
        os.remove(out)
    unique_time, plain_time = min(unique_times), min(plain_times)
    print("every distinct headline of the built-in lists (%d)" % every)
    print("  --unique       %.3f s   (goal: under 3 s)" % unique_time)
    print("  plain run      %.3f s" % plain_time)
    print("  ratio          %.2f" % (unique_time / plain_time))
finally:
    shutil.rmtree(work, ignore_errors=True)
