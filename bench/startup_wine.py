#!/usr/bin/env python3
"""Start-up time of pmkest.exe under Wine against a minimal Qt Widgets window built the same way.

Both run from one copy of the ready folder (the same DLLs and plugins) with the Windows platform,
alternately; each ends itself after its first paint, so the time is process start to first paint
plus Wine's own start and end, which both pay alike.
Usage (inside xvfb-run -a, on a build configured with -DPMKEST_BENCH=ON):
  bench/startup_wine.py BUILD_WINDOWS_DIR [ROUNDS]
"""
import os, shutil, statistics, subprocess, sys, tempfile, time

build = os.path.abspath(sys.argv[1])
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
ready = os.path.join(build, "pmkest")
if not os.path.isfile(os.path.join(ready, "pmkest.exe")):
    raise SystemExit(f"No ready folder in {ready}: cmake --build {build} --target ready_folder")

work = tempfile.mkdtemp(prefix="pmkest-bench-")
folder = os.path.join(work, "pmkest")
shutil.copytree(ready, folder)
shutil.copy2(os.path.join(build, "bench", "bench-minimal-window.exe"), folder)
with open(os.path.join(folder, "PMKEST_121226.ini"), "wb") as f:
    f.write(b"COUNTER=3\r\nPATHKEST=C:\\KEST\\\r\nPATHINIKEST=C:\\KEST\\\r\nFLAGRUS=TRUE\r\n")

wine = os.environ.get("WINE", "wine")
env = dict(os.environ, PMKEST_STARTUP_PROBE="1", WINEDEBUG="-all",
           WINEPREFIX=os.environ.get("WINEPREFIX", os.path.join(build, "wine-prefix")))
env.pop("QT_QPA_PLATFORM", None)
programs = {"pmkest": "pmkest.exe", "minimal": "bench-minimal-window.exe"}


def once(exe):
    start = time.monotonic()
    done = subprocess.run([wine, os.path.join(folder, exe)], env=env, timeout=120,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if done.returncode != 0:
        raise SystemExit(f"{exe} ended with {done.returncode}: is the build configured with "
                         "-DPMKEST_BENCH=ON?")
    return (time.monotonic() - start) * 1e3


subprocess.run([wine, "wineboot", "-i"], env=env, capture_output=True)
# One Wine server for all rounds: its start would otherwise be most of what is measured.
wineserver = os.path.join(os.path.dirname(shutil.which(wine) or "/usr/bin/wine"), "wineserver")
subprocess.run([wineserver if os.path.exists(wineserver) else "wineserver", "-p"], env=env)
times = {name: [] for name in programs}
for exe in programs.values():  # warm the caches and the Wine server once
    once(exe)
for _ in range(rounds):
    for name, exe in programs.items():
        times[name].append(once(exe))
for name, t in times.items():
    print(f"{name:8s} start-up median {statistics.median(t):7.1f} ms  (min {min(t):.1f}, "
          f"max {max(t):.1f})")
ratio = statistics.median(times["pmkest"]) / statistics.median(times["minimal"])
print(f"time ratio {ratio:.2f} (target <= 1.20)")
subprocess.run([wineserver if os.path.exists(wineserver) else "wineserver", "-k"], env=env)
shutil.rmtree(work, ignore_errors=True)
sys.exit(0 if ratio <= 1.2 else 1)
