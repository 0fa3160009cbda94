#!/usr/bin/env python3
"""Times the program's start against an empty window of its size, as whole processes.

Usage: python3 bench/bench_startup.py [BUILD_DIR] [--pairs N] [--callgrind] [--steps]

Each round starts the program, the empty window (bench_emptywindow) and the empty window with
one line in each of the design's faces (bench_emptywindow --faces), one after the other, on the
offscreen platform, each in a working directory of its own under a temporary folder. The bench
library bench_firstwindow, loaded with LD_PRELOAD, ends each process once its first window has
been exposed and painted. Per start it records the wall time (to the process's end), the peak
resident memory and the CPU time, user and system (/usr/bin/time: 10 ms steps), and, where perf may count, the user-space instructions; it
prints the medians and the program's ratios to the empty window. With --callgrind it adds one
run of each under valgrind's callgrind and prints the instructions that counted. With --steps
it also runs bench_startup's first start under callgrind and prints the instructions of each of
the main window's steps.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('build', nargs='?', default='build')
    parser.add_argument('--pairs', type=int, default=15)
    parser.add_argument('--callgrind', action='store_true')
    parser.add_argument('--steps', action='store_true')
    args = parser.parse_args()
    # The Debian packages this needs, installed when missing as the other scripts do.
    wanted = ['time'] + (['valgrind'] if args.callgrind or args.steps else [])
    here = os.path.dirname(os.path.abspath(__file__))
    subprocess.run(['bash', os.path.join(here, '..', 'scripts', 'packages.sh')] + wanted, check=True)
    build = os.path.abspath(args.build)
    shim = os.path.join(build, 'bench', 'libbench_firstwindow.so')
    targets = {
        'program': [os.path.join(build, 'app', 'dovrel-mpeg-utility')],
        'empty window': [os.path.join(build, 'bench', 'bench_emptywindow')],
        'two faces': [os.path.join(build, 'bench', 'bench_emptywindow'), '--faces'],
    }
    for path in [shim] + [t[0] for t in targets.values()]:
        if not os.path.exists(path):
            sys.exit(f'{path} is missing: build the bench targets first')

    with tempfile.TemporaryDirectory() as top:
        env = dict(os.environ, QT_QPA_PLATFORM='offscreen', LD_PRELOAD=shim)
        dirs = {}
        for name in targets:
            dirs[name] = os.path.join(top, name.replace(' ', '-'))
            os.mkdir(dirs[name])
        try:  # perf may be missing or, in a virtual machine, have no instruction counter
            probe = subprocess.run(['perf', 'stat', '-x,', '-e', 'instructions:u', 'true'],
                                   capture_output=True, text=True)
            perf = probe.returncode == 0 and probe.stderr.strip().split(',')[0].isdigit()
        except FileNotFoundError:
            perf = False

        def start(name, measure_instructions):
            stats = os.path.join(top, 'stats')
            command = ['/usr/bin/time', '-f', '%M %U %S', '-o', stats] + targets[name]
            if measure_instructions:
                command = ['perf', 'stat', '-x,', '-e', 'instructions:u', '-o', stats + '.perf'] + command
            began = time.perf_counter()
            done = subprocess.run(command, cwd=dirs[name], env=env, capture_output=True)
            wall = time.perf_counter() - began
            if done.returncode != 0:
                sys.exit(f'{name} ended with status {done.returncode}: {done.stderr.decode()}')
            with open(stats) as f:
                peak, user, system = f.read().split()[-3:]
            instructions = None
            if measure_instructions:
                with open(stats + '.perf') as f:
                    for line in f:
                        if 'instructions' in line:
                            instructions = int(line.split(',')[0])
            return wall, int(peak), instructions, float(user) + float(system)

        for name in targets:  # a first start of each fills the caches and writes the log
            start(name, False)
        seen = {name: [] for name in targets}
        for _ in range(args.pairs):
            for name in targets:
                seen[name].append(start(name, perf))

        def median(name, i):
            return statistics.median(s[i] for s in seen[name])

        print(f'{args.pairs} rounds, each target started in turn; medians:')
        for name in targets:
            line = (f'  {name:13} {median(name, 0) * 1000:7.1f} ms  CPU {median(name, 3) * 1000:5.0f} ms  '
                    f'{median(name, 1) / 1024:5.1f} MiB')
            if perf:
                line += f'  {median(name, 2) / 1e6:7.1f} M instructions'
            print(line)
        for name in ('program', 'two faces'):
            ratios = sorted(a[0] / b[0] for a, b in zip(seen[name], seen['empty window']))
            line = (f'  {name} / empty window: time {median(name, 0) / median("empty window", 0):.2f} '
                    f'(per round {ratios[0]:.2f} to {ratios[-1]:.2f}), '
                    f'CPU time {median(name, 3) / median("empty window", 3):.2f}, '
                    f'peak memory {median(name, 1) / median("empty window", 1):.2f}')
            if perf:
                line += f', instructions {median(name, 2) / median("empty window", 2):.2f}'
            print(line)

        if args.callgrind:
            counts = {}
            for name in targets:
                done = subprocess.run(['valgrind', '--tool=callgrind', '--callgrind-out-file=/dev/null']
                                      + targets[name], cwd=dirs[name], env=env, capture_output=True)
                found = re.search(r'Collected : (\d+)', done.stderr.decode())
                if done.returncode != 0 or not found:
                    sys.exit(f'callgrind run of {name} failed: {done.stderr.decode()[-2000:]}')
                counts[name] = int(found.group(1))
            print('callgrind, one start each:')
            for name in targets:
                print(f'  {name:13} {counts[name] / 1e6:7.1f} M instructions, '
                      f'{counts[name] / counts["empty window"]:.2f} of the empty window')

        if args.steps:
            steps = os.path.join(top, 'steps')
            os.mkdir(steps)
            bench = os.path.join(build, 'bench', 'bench_startup')
            done = subprocess.run(['valgrind', '--tool=callgrind', bench, 'firstStart'], cwd=steps,
                                  env=dict(os.environ, QT_QPA_PLATFORM='offscreen'), capture_output=True)
            if done.returncode != 0:
                sys.exit(f'callgrind run of bench_startup failed: {done.stderr.decode()[-2000:]}')
            counts = []
            for name in os.listdir(steps):  # one dump per step, numbered in order after the pid
                found = re.fullmatch(r'callgrind\.out\.\d+\.(\d+)', name)
                if not found:
                    continue
                with open(os.path.join(steps, name)) as f:
                    text = f.read()
                step = re.search(r'^desc: Trigger: Client Request: (.*)$', text, re.M).group(1)
                total = int(re.search(r'^(?:totals|summary): (\d+)', text, re.M).group(1))
                counts.append((int(found.group(1)), step, total))
            print('bench_startup first start under callgrind, instructions per step:')
            window = 0
            for _, step, total in sorted(counts):
                print(f'  {step:20} {total / 1e6:7.2f} M')
                if step not in ('before', 'empty window shown'):
                    window += total
            print(f'  main window in all   {window / 1e6:7.2f} M')


if __name__ == '__main__':
    main()
