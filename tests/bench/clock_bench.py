#!/usr/bin/env python3
"""What the clock costs: CPU with ticking off and on, memory next to a minimal
Win32 program, time to the first painted face, and the lunar figures.

Run by `./tockly bench` inside the project's Wine set-up (its own display,
prefix and lock), never by the tests. TOCKLY_BENCH_RUNS sets the number of
runs (3 by default), TOCKLY_BENCH_SECONDS the CPU window (60 by default).
"""
import json
import os
import platform
import shutil
import statistics
import struct
import subprocess
import sys
import time

ROOT = os.environ["TOCKLY_ROOT"]
BUILD = os.path.join(ROOT, "build")
DIST = os.path.join(BUILD, "dist", "Tockly")
WORK = os.path.join(BUILD, "bench-work")
PREFIX = os.environ["WINEPREFIX"]
RUNS = int(os.environ.get("TOCKLY_BENCH_RUNS", "3"))
SECONDS = float(os.environ.get("TOCKLY_BENCH_SECONDS", "60"))
TICKS = os.sysconf("SC_CLK_TCK")

# Quiet apart from the ticking: no chimes, no time guard (its hourly fetch
# would land in some windows and not in others), shown on the screen.
SETTINGS = ("[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n"
            "[jianhu]\r\nshijianJH=0\r\n[mts]\r\nmatisheng0={ticking}\r\nfatiaosheng0=fatiao3.wav\r\n")


def say(text):
    print(text, flush=True)


def proc_cmdline(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


def pids():
    return [int(p) for p in os.listdir("/proc") if p.isdigit()]


def find_process(folder, exe, timeout=20):
    """The Linux process of a Windows program started from this folder (Wine
    shows it under its Windows path, Z:\\...)."""
    name = os.path.basename(folder)
    end = time.time() + timeout
    while time.time() < end:
        for pid in pids():
            cmd = proc_cmdline(pid).replace("/", "\\")
            if f"{name}\\{exe}" in cmd and "wineserver" not in cmd:
                return pid
        time.sleep(0.05)
    raise RuntimeError(f"no process for {exe} in {folder}")


def our_wineserver():
    for pid in pids():
        try:
            with open(f"/proc/{pid}/comm") as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + PREFIX).encode() in env:
            return pid
    raise RuntimeError("no wineserver for this prefix")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def memory_mb(pid):
    """Resident and private MB, and the private kB of each mapping by file
    name ("[anon]" for memory of no file: Wine's heaps, the program image)."""
    rss = 0
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    by_mapping, name = {}, None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            fields = line.split(maxsplit=5)
            if not fields[0].endswith(":"):  # a mapping's first line: range, rights, offset, device, inode, path
                name = os.path.basename(fields[5].rstrip()) if len(fields) > 5 else "[anon]"
            elif fields[0] in ("Private_Clean:", "Private_Dirty:"):
                by_mapping[name] = by_mapping.get(name, 0) + int(fields[1])
    return rss / 1024, sum(by_mapping.values()) / 1024, by_mapping


def program_folder(name, ticking):
    folder = os.path.join(WORK, name)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(DIST, folder)
    with open(os.path.join(folder, "Software_information.ini"), "wb") as f:
        f.write(SETTINGS.format(ticking=ticking).encode())
    return folder


class Screen:
    """The top-right corner of the X server's framebuffer file, where the face appears."""

    def __init__(self):
        self.path = os.environ.get("TOCKLY_SCREEN_FILE")
        if not self.path:
            return
        with open(self.path, "rb") as f:
            head = f.read(100)
        (self.header, _, _, _, self.width, self.height, _, self.byte_order) = struct.unpack(">8I", head[:32])
        self.bpp, self.line = struct.unpack(">2I", head[44:52])
        ncolours = struct.unpack(">I", head[76:80])[0]
        self.data = self.header + ncolours * 12
        self.left, self.size = max(0, self.width - 260), 260

    def corner(self):
        rows = []
        with open(self.path, "rb") as f:
            for y in range(self.size):
                f.seek(self.data + y * self.line + self.left * self.bpp // 8)
                rows.append(f.read((self.width - self.left) * self.bpp // 8))
        return rows

    def changed_pixels(self, before, after):
        step = self.bpp // 8
        n = 0
        for a, b in zip(before, after):
            if a != b:
                n += sum(1 for i in range(0, len(a), step) if a[i:i + step] != b[i:i + step])
        return n


def start(folder, exe):
    return subprocess.Popen(["wine", os.path.join(folder, exe)], cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop(process, pid):
    # Only what this script started, by its own id.
    try:
        os.kill(pid, 9)
    except ProcessLookupError:
        pass
    process.wait(timeout=10)
    time.sleep(1)  # the server tidies up after it


def clock_run(ticking, screen):
    """Starts the clock; time to the face, then CPU over the window, then memory."""
    folder = program_folder(f"ticking-{ticking}", ticking)
    before = screen.corner() if screen.path else None
    t0 = time.monotonic()
    process = start(folder, "Tockly.exe")
    first_face = None
    if before is not None:
        while time.monotonic() - t0 < 30:
            if screen.changed_pixels(before, screen.corner()) > 5000:
                first_face = time.monotonic() - t0
                break
            time.sleep(0.002)
    pid = find_process(folder, "Tockly.exe")
    server = our_wineserver()
    time.sleep(8)  # past the start-up notice
    c0, s0, w0 = cpu_seconds(pid), cpu_seconds(server), time.monotonic()
    time.sleep(SECONDS)
    c1, s1, w1 = cpu_seconds(pid), cpu_seconds(server), time.monotonic()
    memory = memory_mb(pid)
    stop(process, pid)
    wall = w1 - w0
    return {"clock": 100 * (c1 - c0) / wall, "server": 100 * (s1 - s0) / wall,
            "rss": memory[0], "private": memory[1], "mappings": memory[2], "first_face": first_face}


def minimal_run():
    folder = os.path.join(WORK, "minimal")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(BUILD, "win64", "bin", "minimal_window.exe"), folder)
    process = start(folder, "minimal_window.exe")
    pid = find_process(folder, "minimal_window.exe")
    time.sleep(8)
    memory = memory_mb(pid)
    stop(process, pid)
    return memory


def where_it_goes(clock, minimal, count=8):
    """The mappings that make most of the clock's extra private memory, in kB
    (medians over the runs), largest first."""
    names = set().union(*clock, *minimal)
    extra = {n: median([m.get(n, 0) for m in clock]) - median([m.get(n, 0) for m in minimal]) for n in names}
    return sorted(extra.items(), key=lambda item: -item[1])[:count]


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def lunar_figures():
    bench = os.path.join(BUILD, "host", "bin", "lunar_bench")
    out = subprocess.run([bench, f"--benchmark_repetitions={max(RUNS, 3)}", "--benchmark_format=json",
                          "--benchmark_report_aggregates_only=true"], capture_output=True, text=True, check=True)
    figures = {}
    for b in json.loads(out.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            figures[b["run_name"]] = (b["real_time"], b["time_unit"])
    # Every day of the range through the command-line tool, one process.
    import datetime
    day, last, days = datetime.date(1901, 1, 1), datetime.date(2090, 12, 31), []
    while day <= last:
        days.append(day.isoformat())
        day += datetime.timedelta(days=1)
    text = "\n".join(days) + "\n"
    lunetra = os.path.join(BUILD, "host", "bin", "lunetra")
    times = []
    for _ in range(max(RUNS, 3)):
        t0 = time.monotonic()
        subprocess.run([lunetra, "convert"], input=text, capture_output=True, text=True, check=True)
        times.append(time.monotonic() - t0)
    return figures, len(days), statistics.median(times)


def machine():
    model = "?"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return f"{model}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, {wine}"


def main():
    screen = Screen()
    say(f"machine: {machine()}")
    say(f"runs: {RUNS} of each (ticking off and on in turn), CPU over {SECONDS:.0f} s; medians below")
    off, on, minimal = [], [], []
    for i in range(RUNS):
        off.append(clock_run(0, screen))
        on.append(clock_run(1, screen))
        minimal.append(minimal_run())
        say(f"  run {i + 1}: off {off[-1]['clock']:.2f}+{off[-1]['server']:.2f} %, "
            f"on {on[-1]['clock']:.2f}+{on[-1]['server']:.2f} %")

    def cpu(rows, key):
        return median([r[key] for r in rows])

    off_total = median([r["clock"] + r["server"] for r in off])
    on_total = median([r["clock"] + r["server"] for r in on])
    extra = median([b["clock"] + b["server"] - a["clock"] - a["server"] for a, b in zip(off, on)])
    say("")
    say("CPU, % of one core        Tockly.exe  wineserver  together")
    say(f"  ticking off             {cpu(off, 'clock'):9.2f}  {cpu(off, 'server'):10.2f}  {off_total:8.2f}   (goal <= 0.3)")
    say(f"  ticking on              {cpu(on, 'clock'):9.2f}  {cpu(on, 'server'):10.2f}  {on_total:8.2f}")
    say(f"  ticking costs                                  {extra:8.2f}   (goal <= 0.3, same run)")
    say("memory, MB                resident  private")
    say(f"  Tockly.exe              {median([r['rss'] for r in off]):8.1f}  {median([r['private'] for r in off]):7.1f}")
    say(f"  minimal Win32 program   {median([m[0] for m in minimal]):8.1f}  {median([m[1] for m in minimal]):7.1f}")
    extra = median([r["private"] - m[1] for r, m in zip(off, minimal)])
    say(f"  the clock's extra private memory   {extra:7.1f}   (goal <= 10.0, same run)")
    say("  where it goes, kB: " + ", ".join(f"{name} {kb:.0f}" for name, kb in
                                           where_it_goes([r["mappings"] for r in off], [m[2] for m in minimal])))
    first = median([r["first_face"] for r in off + on])
    say(f"start to first painted face: {first * 1000:.0f} ms" if first == first else
        "start to first painted face: not measured (no framebuffer file)")
    figures, days, convert = lunar_figures()
    say("lunar (Google Benchmark medians)")
    for name, (value, unit) in sorted(figures.items()):
        say(f"  {name:24s} {value:10.1f} {unit}")
    say(f"  lunetra convert, all {days} days 1901-2090: {convert * 1000:.0f} ms")


if __name__ == "__main__":
    sys.exit(main())
