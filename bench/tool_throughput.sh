#!/usr/bin/env bash
# End-to-end figures of a built norvathel-names: names per second written to /dev/null (with
# --seed and --clock, full names, unique names), keys per second with --keys, names per second with a 5,000-piece
# --exclude-file, the largest resident set while writing, and the start-up time. Builds nothing.
#
#   bench/tool_throughput.sh build/release/cli/norvathel-names [NAMES]
#
# NAMES defaults to 20000000 (2 x 10^7). RUNS (default 3) throughput runs give the median;
# text and --keys on every processor and with --threads 1; one more run of each, watched,
# gives the peak RSS (VmHWM); STARTUPS (default 200) runs of --count 0
# give the median start-up, process creation and wait included. Uses python3; without it,
# bash's `time` and, if installed, GNU time for the RSS.
set -euo pipefail

tool=${1:?usage: $0 path/to/norvathel-names [names]}
names=${2:-20000000}
runs=${RUNS:-3}
startups=${STARTUPS:-200}
if [ ! -x "$tool" ]; then
    echo "error: $tool is not an executable" >&2
    exit 2
fi

if command -v python3 >/dev/null 2>&1; then
    exec python3 - "$tool" "$names" "$runs" "$startups" <<'PYTHON'
import os, statistics, sys, time

tool, names, runs, startups = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])

def peak_rss_kib(pid):
    """VmHWM of the process: the peak resident set of its own image since exec."""
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None

def run(args, watch=False):
    """Runs the tool with stdout on /dev/null: (seconds, peak RSS in KiB or None)."""
    actions = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)]
    start = time.perf_counter()
    pid = os.posix_spawn(tool, [tool] + args, os.environ, file_actions=actions)
    peak = None
    status = 0
    # wait4's ru_maxrss would count this Python process too: a child's peak starts from its
    # parent's size at fork. The high-water mark in /proc counts the tool alone, and being a
    # high-water mark, the last reading before exit holds the run's peak.
    if watch:
        while True:
            done, status, _ = os.wait4(pid, os.WNOHANG)
            if done:
                break
            reading = peak_rss_kib(pid)
            if reading is not None:
                peak = reading
            time.sleep(0.005)
    else:
        _, status, _ = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"error: {tool} {' '.join(args)} exited with {code}")
    return elapsed, peak

print(f"tool: {tool}")
for form in ("text", "json"):
    count = runs if form == "text" else 1
    results = [run(["--seed", "1", "--count", str(names), "--format", form]) for _ in range(count)]
    seconds = statistics.median(r[0] for r in results)
    print(f"{form:>4}: {names} names in {seconds:.2f} s = {names / seconds / 1e6:.1f} million names/s"
          f" (median of {count})")
# Text is composed on every processor; --threads 1 on one.
seconds = statistics.median(run(["--seed", "1", "--count", str(names), "--threads", "1"])[0] for _ in range(runs))
print(f"text, --threads 1: {names / seconds / 1e6:.1f} million names/s (median of {runs})")
for threads in ([], ["--threads", "1"]):
    peak = run(["--seed", "1", "--count", str(names)] + threads, watch=True)[1]
    print(f"max RSS{' ' + ' '.join(threads) if threads else ''}: {peak / 1024:.2f} MiB ({peak} KiB, VmHWM while"
          f" writing {names} names)" if peak is not None else "max RSS: unknown (no /proc)")
# Full names (their surnames on a second thread) and unique names (one stream and its set), on
# every processor and on one thread; each of half the names.
for option in ("--full", "--unique"):
    half = str(max(names // 2, 1))
    every = statistics.median(run(["--seed", "1", "--count", half, option])[0] for _ in range(runs))
    one = statistics.median(run(["--seed", "1", "--count", half, option, "--threads", "1"])[0] for _ in range(runs))
    print(f"{option:>8}: {half} names in {every:.2f} s on every processor, {one:.2f} s on one thread"
          f" (median of {runs})")
# Full seeding (--seed) against the window's (--clock): the same code draws after either.
for option in ("--seed", "--clock"):
    seconds = statistics.median(run([option, "1", "--count", str(names)])[0] for _ in range(runs))
    print(f"{option:>7} 1: {names / seconds / 1e6:.1f} million names/s (median of {runs})")

import random, tempfile
with tempfile.TemporaryDirectory() as scratch:
    # --keys: one name per key, each from its own full seeding.
    keys = os.path.join(scratch, "keys.txt")
    key_count = max(names // 10, 1)
    with open(keys, "w") as out:
        out.writelines(f"npc-{number}\n" for number in range(key_count))
    # On every processor (the default), then on one thread, in turn.
    every, one = [], []
    for _ in range(runs):
        every.append(run(["--keys", keys])[0])
        one.append(run(["--keys", keys, "--threads", "1"])[0])
    for label, times in (("--keys", every), ("--threads 1", one)):
        seconds = statistics.median(times)
        print(f"{label:>12}: {key_count} keys in {seconds:.2f} s = {key_count / seconds / 1e6:.2f} million keys/s"
              f" (median of {runs}, {os.cpu_count()} processors)")
    # --exclude-file: 5,000 random pieces of five letters, which few names contain. Names
    # written per second; the composer makes at least as many.
    pieces = os.path.join(scratch, "pieces.txt")
    letters = random.Random(5000)
    with open(pieces, "w") as out:
        out.writelines("".join(letters.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(5)) + "\n"
                       for _ in range(5000))
    # Constrained names are composed on one thread: against the plain text on one and on all.
    base = [run(["--seed", "1", "--count", str(names // 4), "--threads", "1"])[0] for _ in range(runs)]
    every = [run(["--seed", "1", "--count", str(names // 4)])[0] for _ in range(runs)]
    excluded = [run(["--seed", "1", "--count", str(names // 4), "--exclude-file", pieces])[0]
                for _ in range(runs)]
    rate, every_rate = names / 4 / statistics.median(base), names / 4 / statistics.median(every)
    excluded_rate = names / 4 / statistics.median(excluded)
    print(f"  --exclude-file (5,000 pieces): {excluded_rate / 1e6:.1f} million names/s against"
          f" {rate / 1e6:.1f} without on one thread ({excluded_rate / rate:.0%}),"
          f" {every_rate / 1e6:.1f} on every processor ({excluded_rate / every_rate:.0%})")

times = sorted(run(["--count", "0"])[0] for _ in range(startups))
print(f"start-up: {statistics.median(times) * 1000:.2f} ms median, {times[len(times) // 10] * 1000:.2f} ms"
      f" 10th percentile, over {startups} runs of --count 0 (spawn and wait included)")
PYTHON
fi

# Without python3: wall time from bash, peak RSS only where GNU time is installed.
echo "tool: $tool (python3 not found: fewer figures)"
TIMEFORMAT=%R
seconds=$( { time "$tool" --seed 1 --count "$names" >/dev/null; } 2>&1 )
echo "text: $names names in $seconds s = $(awk -v n="$names" -v s="$seconds" 'BEGIN { printf "%.1f", n / s / 1e6 }') million names/s"
if [ -x /usr/bin/time ]; then
    rss=$( { /usr/bin/time -f %M "$tool" --seed 1 --count "$names" >/dev/null; } 2>&1 )
    echo "max RSS: $rss KiB"
else
    echo "max RSS: unknown (neither python3 nor GNU time)"
fi
total=$( { time for ((k = 0; k < startups; ++k)); do "$tool" --count 0; done; } 2>&1 )
echo "start-up: $(awk -v t="$total" -v n="$startups" 'BEGIN { printf "%.2f", t / n * 1000 }') ms mean over $startups runs of --count 0"
