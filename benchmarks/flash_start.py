"""Times how fast Quorvel starts movies, as a person sees it, in the local internet of the
end-to-end tests, and weighs its processes.

    flash_start.py --program PATH --watch PATH [--launches N] [--movies N]

Launches alternate between mpv and the program; each figure is a median. Needs root for the
network and mount namespaces; benchmarks/flash-start.sh builds and starts it."""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
sys.path.insert(0, here)

import local_internet  # noqa: E402
import stress_swf  # noqa: E402
import world  # noqa: E402
from desktop import Desktop  # noqa: E402
from fixture_server import FixtureServer, html_page  # noqa: E402

VERSION_PAGE = "http://version.quorvel.test/quorvel.html"
PROBE = "http://www.baidu.com/"
# A point of the player area below the address bar, off the sample movies' play symbol.
SAMPLE = (200, 300)
STRESS_CODE = "XU3RyZXNzMTIz"
STRESS_PAGE = f"http://{world.YOUKU_PAGE_HOST}/v_show/id_{STRESS_CODE}.html"
EDIT_BOX = (300, 22)


class Watch:
    """screen_watch, answering one command a line."""

    def __init__(self, path, env):
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        env=env, text=True)

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().split()

    def window(self, pid, timeout=60):
        answer = self.ask(f"window {pid} {timeout}")
        return (int(answer[1]), float(answer[2])) if answer[0] == "window" else (None, None)

    def colour(self, rgb, timeout=60):
        answer = self.ask(f"colour {SAMPLE[0]} {SAMPLE[1]} {rgb:06x} {timeout}")
        return float(answer[1]) if answer[0] == "colour" else None

    def frames(self, seconds):
        x, y = stress_swf.INDICATOR_SAMPLE
        return int(self.ask(f"frames {x} {y} {seconds}")[1])

    def close(self):
        self.process.stdin.close()
        self.process.wait()


def family(pid):
    """`pid` and every process below it."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(parent, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        current = todo.pop()
        found.append(current)
        todo += children.get(current, [])
    return found


def pss_mib(pid):
    total = 0
    for member in family(pid):
        try:
            with open(f"/proc/{member}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024


def stop(process):
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def sites():
    table = world.sites(PROBE, VERSION_PAGE, "4106")
    table[world.YOUKU_PAGE_HOST].pages[f"/v_show/id_{STRESS_CODE}.html"] = html_page(
        world.VIDEOS["youku"].body.replace("XMTYzNjQ4MDUy", STRESS_CODE))
    table[world.YOUKU_PLAYER_HOST].pages[f"/player.php/sid/{STRESS_CODE}/v.swf"] = (
        "application/x-shockwave-flash", stress_swf.movie())
    return table


def enter(desktop, window, address):
    """Types `address` into the edit box; returns the monotonic time Return was pressed."""
    desktop.activate(window)
    desktop.click(window, *EDIT_BOX)
    desktop.key("ctrl+a", "BackSpace")
    desktop.type_text(address)
    pressed = time.monotonic()
    desktop.key("Return")
    return pressed


def seconds(value):
    return "never" if value is None else f"{value:.3f} s"


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def row(name, value, unit, goal, met):
    shown = "n/a" if value is None else f"{value:.2f} {unit}"
    verdict = "" if met is None else ("met" if met else "NOT met")
    print(f"  {name:<44} {shown:>12}   goal {goal:<28} {verdict}", flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--watch", required=True)
    parser.add_argument("--launches", type=int, default=5)
    parser.add_argument("--movies", type=int, default=30)
    parser.add_argument("--fps-seconds", type=float, default=10)
    args = parser.parse_args()
    local_internet.enter_namespace([os.path.abspath(sys.argv[0])] + sys.argv[1:])
    program = os.path.abspath(args.program)

    workdir = tempfile.mkdtemp(prefix="quorvel-bench-")
    table = sites()
    local_internet.bring_up(table.keys(), workdir)
    server = FixtureServer(table).start()
    desktop = Desktop(workdir).start()
    watch = Watch(os.path.abspath(args.watch), desktop.env)
    env = dict(desktop.env, NO_AT_BRIDGE="1")
    tutorial_colour = world.TUTORIAL_COLOURS[0]

    mpv_windows, windows, first_frames = [], [], []
    program_process = None
    try:
        for launch in range(args.launches):
            started = time.monotonic()
            mpv = subprocess.Popen(["mpv", "--idle", "--force-window", "--ontop",
                                    "--no-terminal"], env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
            _, mapped = watch.window(mpv.pid)
            mpv_windows.append(mapped - started if mapped else None)
            stop(mpv)

            started = time.monotonic()
            program_process = subprocess.Popen([program], env=env, cwd=workdir,
                                               stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)
            window, mapped = watch.window(program_process.pid)
            shown = watch.colour(tutorial_colour) if window else None
            windows.append(mapped - started if mapped else None)
            first_frames.append(shown - started if shown else None)
            print(f"launch {launch + 1}: window {seconds(windows[-1])} (mpv "
                  f"{seconds(mpv_windows[-1])}), first frame {seconds(first_frames[-1])}",
                  flush=True)
            if launch + 1 < args.launches:
                stop(program_process)

        # The last launch goes on: one movie after another, as a user plays them.
        order = ["youku", "tudou", "iqiyi"]
        next_movies, playing_pss = [], None
        for index in range(args.movies):
            video = world.VIDEOS[order[index % 3]]
            host = video.player.split("/")[2]
            pressed = enter(desktop, window, video.page)
            shown = watch.colour(world.PLAYER_COLOURS[host][0], timeout=30)
            next_movies.append(shown - pressed if shown else None)
            print(f"movie {index + 2}: first frame {seconds(next_movies[-1])} after Enter, "
                  f"PSS {pss_mib(program_process.pid):.0f} MiB", flush=True)
            if index == 0:
                time.sleep(2)  # settle, then weigh one movie playing
                playing_pss = pss_mib(program_process.pid)
        time.sleep(2)
        after_pss = pss_mib(program_process.pid)

        enter(desktop, window, STRESS_PAGE)
        x, y = stress_swf.INDICATOR_SAMPLE
        watch.ask(f"colour {x} {y} {stress_swf.FRAME_COLOURS[1]:06x} 30")
        frames = watch.frames(args.fps_seconds)
        fps = frames / args.fps_seconds
    finally:
        if program_process:
            stop(program_process)
        watch.close()
        desktop.stop()
        server.stop()

    mpv_window = median(mpv_windows)
    window_time = median(windows)
    first = median(first_frames)
    following = median(next_movies)
    growth = (after_pss / playing_pss - 1) * 100 if playing_pss else None
    print(f"\nQuorvel start, {args.launches} launches, {args.movies} movies after the tutorial "
          f"({os.cpu_count()} cores):")
    row("launch -> main window mapped", window_time, "s",
        f"<= 1.2 x mpv ({mpv_window:.2f} s)", window_time <= 1.2 * mpv_window)
    row("launch -> tutorial's first frame", first, "s", "<= 1.5 s", first is not None and
        first <= 1.5)
    row("Enter -> next movie's first frame", following, "s", "<= 0.5 s",
        following is not None and following <= 0.5)
    row("  the first movie after the tutorial", next_movies[0], "s", "", None)
    row("  slowest", max((v for v in next_movies if v is not None), default=None), "s", "", None)
    row("PSS while a movie plays", playing_pss, "MiB", "<= 256 MiB",
        playing_pss is not None and playing_pss <= 256)
    row(f"PSS after {args.movies} movies", after_pss, "MiB", "within 5 % of the above",
        growth is not None and abs(growth) <= 5)
    row("steady frame rate, stress movie", fps, "fps", "(reported; 60 is the movie's)", None)
    missing = sum(v is None for v in first_frames + next_movies)
    if missing:
        print(f"  {missing} movies were not shown")
    return 0


if __name__ == "__main__":
    sys.exit(main())
