#!/usr/bin/env python3
"""Start-up time and peak memory of pmkest against a minimal Qt Widgets window.

Runs both alternately under one X server; each reports when its window has first been painted.
Usage (inside xvfb-run -a): bench/startup.py BUILD_DIR [ROUNDS]
"""
import os, shutil, statistics, subprocess, sys, tempfile, time

build = os.path.abspath(sys.argv[1])
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 20

work = tempfile.mkdtemp(prefix="pmkest-bench-")
shutil.copy2(os.path.join(build, "pmkest"), work)
with open(os.path.join(work, "PMKEST_121226.ini"), "wb") as f:
    f.write(b"COUNTER=3\r\nPATHKEST=/opt/kest/\r\nPATHINIKEST=/opt/kest/\r\nFLAGRUS=TRUE\r\n")
runtime = tempfile.mkdtemp(prefix="pmkest-bench-run-")
os.chmod(runtime, 0o700)

programs = {
    "pmkest": [os.path.join(work, "pmkest")],
    "minimal": [os.path.join(build, "bench", "bench-minimal-window")],
}
env = dict(os.environ, PMKEST_STARTUP_PROBE="1", XDG_RUNTIME_DIR=runtime)


def once(cmd):
    start = time.monotonic_ns()
    try:
        out = subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=60).stdout
    except subprocess.TimeoutExpired:
        # Only a build configured with -DPMKEST_BENCH=ON has the probe that ends it.
        raise SystemExit(f"{cmd[0]} did not end after its first paint: "
                         "is BUILD_DIR configured with -DPMKEST_BENCH=ON?")
    for line in out.splitlines():
        if line.startswith("painted "):
            _, ns, kib = line.split()
            return (int(ns) - start) / 1e6, int(kib) / 1024.0
    raise SystemExit(f"{cmd[0]} did not report a paint: {out!r}")


results = {name: ([], []) for name in programs}
for name, cmd in programs.items():  # warm the caches once
    once(cmd)
for _ in range(rounds):
    for name, cmd in programs.items():
        ms, mib = once(cmd)
        results[name][0].append(ms)
        results[name][1].append(mib)

for name, (times, mems) in results.items():
    print(f"{name:8s} start-up median {statistics.median(times):7.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f})   "
          f"peak RSS median {statistics.median(mems):6.1f} MiB")
t_ratio = statistics.median(results["pmkest"][0]) / statistics.median(results["minimal"][0])
m_diff = statistics.median(results["pmkest"][1]) - statistics.median(results["minimal"][1])
print(f"time ratio {t_ratio:.2f} (target <= 1.10)   memory difference {m_diff:+.1f} MiB (target <= 8)")
shutil.rmtree(work, ignore_errors=True)
shutil.rmtree(runtime, ignore_errors=True)
sys.exit(0 if t_ratio <= 1.1 and m_diff <= 8 else 1)
