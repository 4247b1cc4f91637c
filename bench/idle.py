#!/usr/bin/env python3
"""What pmkest costs while nobody uses it: CPU time and wake-ups per second of the process,
main window shown, every secondary window hidden. Linux only (reads /proc).

Usage: idle.py BUILD_DIR [SECONDS]   (inside `xvfb-run -a`, or with QT_QPA_PLATFORM=offscreen)
Targets: at most 0.2 ms of CPU and 2 wake-ups per second.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

def tasks(pid):
    return [f"/proc/{pid}/task/{task}" for task in os.listdir(f"/proc/{pid}/task")]


def cpu_ms(pid):
    # Time on the CPU in nanoseconds, per thread (schedstat is finer than the clock ticks).
    total = 0
    for task in tasks(pid):
        try:
            with open(f"{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total / 1e6


def wakeups(pid):
    # Every thread's switches away from the CPU: each time it slept, something woke it.
    total = 0
    for task in tasks(pid):
        try:
            with open(f"{task}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    with tempfile.TemporaryDirectory() as root:
        program = os.path.join(root, "program")
        runtime = os.path.join(root, "run")
        os.makedirs(program)
        os.makedirs(runtime, mode=0o700)
        shutil.copy(os.path.join(build, "pmkest"), program)
        env = dict(os.environ, HOME=root, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(root, "config"))
        process = subprocess.Popen([os.path.join(program, "pmkest")], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(3.0)  # painted, and the hidden windows made after the first paint
            if process.poll() is not None:
                sys.exit("pmkest ended before it could be measured")
            cpu0, wake0, t0 = cpu_ms(process.pid), wakeups(process.pid), time.monotonic()
            time.sleep(seconds)
            cpu1, wake1, t1 = cpu_ms(process.pid), wakeups(process.pid), time.monotonic()
        finally:
            process.terminate()
            process.wait()
    elapsed = t1 - t0
    cpu = (cpu1 - cpu0) / elapsed
    wake = (wake1 - wake0) / elapsed
    print(f"idle over {elapsed:.1f} s: {cpu:.3f} ms of CPU per second (target <= 0.2), "
          f"{wake:.2f} wake-ups per second (target <= 2)")
    return 0 if cpu <= 0.2 and wake <= 2 else 1


if __name__ == "__main__":
    sys.exit(main())
