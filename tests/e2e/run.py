"""Runs one group of end-to-end scenarios against the real program in a small local internet.

    run.py GROUP --program PATH --version-page URL --probe URL --artifacts DIR
           [--desktop-entry FILE]

Each group starts the program once and walks through its steps in order, as a user would.
Screenshots of failed steps, the server's request log and the program's output are kept in
the artifacts folder."""

import argparse
import os
import shutil
import sys
import tempfile
import time
import traceback
from urllib.parse import urlsplit

sys.dont_write_bytecode = True  # nothing of the tests lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import local_internet  # noqa: E402
import world  # noqa: E402
from desktop import Desktop, tool_missing, wait_for  # noqa: E402
from fixture_server import FixtureServer  # noqa: E402
from program import Program  # noqa: E402
from scenarios import GROUPS  # noqa: E402


def parse():
    parser = argparse.ArgumentParser()
    parser.add_argument("group", choices=sorted(GROUPS))
    parser.add_argument("--program", required=True)
    parser.add_argument("--version-page", default="")
    parser.add_argument("--probe", default="http://www.baidu.com/")
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--desktop-entry", default="",
                        help="the installed menu entry whose window class the program must have")
    return parser.parse_args()


class Run:
    """One program start in its own internet and desktop, with the checks that the steps
    share; `step` runs one step and reports it."""

    def __init__(self, args, workdir, version):
        self.args = args
        self.workdir = workdir
        self.passed = self.failed = 0
        self.server = self.desktop = self.program = None
        probe = None if args.group == "offline" else args.probe
        page = args.version_page if args.version_page else None
        sites = world.sites(probe, page, version)
        try:
            self.hosts = local_internet.bring_up(sites.keys(), workdir)
            self.server = FixtureServer(sites, log_path=os.path.join(args.artifacts,
                                                                     "requests.jsonl")).start()
            self.desktop = Desktop(workdir).start()
            self.program = Program(self.desktop, args.program, workdir).start()
        except BaseException:
            self.close()
            raise

    def close(self):
        for part in (self.program, self.desktop, self.server):
            if part:
                part.stop()
        for name in ("program.out", "program.err", "xvfb.log", "openbox.log"):
            source = os.path.join(self.workdir, name)
            if os.path.exists(source):
                shutil.copy(source, self.args.artifacts)

    def step(self, description, action):
        started = time.monotonic()
        try:
            action()
        except Exception as failure:  # noqa: BLE001 - every failure is reported the same way
            self.failed += 1
            shot = os.path.join(self.args.artifacts, f"failed-{self.passed + self.failed}.png")
            self.desktop.screenshot(shot)
            print(f"FAIL - {description}: {failure}", flush=True)
            if not isinstance(failure, AssertionError):
                traceback.print_exc()
            print(f"       screenshot: {shot}", flush=True)
            return False
        self.passed += 1
        print(f"ok   - {description} ({time.monotonic() - started:.1f}s)", flush=True)
        return True

    # --- shared checks -------------------------------------------------------------------

    def requested(self, address, timeout=30):
        parts = urlsplit(address)
        return wait_for(f"a request for {address}",
                        lambda: self.server.seen(parts.hostname, parts.path), timeout)

    def count_requests(self, address):
        parts = urlsplit(address)
        return len(self.server.seen(parts.hostname, parts.path))

    def expect_box(self, title, texts, answer="ok", exclude=()):
        box = self.program.message_box(title, exclude=exclude)
        assert box.texts == texts, f"the box says {box.texts}, not {texts}"
        box.press(answer)
        return box

    def on_top(self):
        wait_for("the window to be on top", self.program.is_above)

    def not_on_top(self):
        wait_for("the window to leave the top", lambda: not self.program.is_above())

    def bar_toggles(self):
        wait_for("the address bar", self.program.bar_showing)
        self.desktop.key("F11")
        wait_for("F11 to hide the address bar", lambda: not self.program.bar_showing())
        self.desktop.key("F11")
        wait_for("F11 to show the address bar again", self.program.bar_showing)

    def escape_ends(self):
        self.program.press_key("Escape")
        code = self.program.exit_code()
        assert code == 0, f"exit code {code}"


def main():
    args = parse()
    local_internet.enter_namespace([os.path.abspath(sys.argv[0])] + sys.argv[1:])
    missing = tool_missing()
    if missing:
        print(f"skipped: {missing} is not installed", flush=True)
        return 77
    steps, version = GROUPS[args.group]
    needs_page = args.group.startswith("update")
    if needs_page and not args.version_page:
        print("skipped: the build has no version page (configure -DQUORVEL_VERSION_PAGE)")
        return 77
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    workdir = tempfile.mkdtemp(prefix=f"quorvel-e2e-{args.group}-")
    started = time.monotonic()
    try:
        run = Run(args, workdir, version)
        try:
            steps(run)
        finally:
            run.close()
    finally:
        shutil.rmtree(workdir, ignore_errors=True)
    if run.failed:
        with open(os.path.join(args.artifacts, "program.err"), errors="replace") as err:
            print("program output (end):\n" + err.read()[-4000:], flush=True)
    print(f"{args.group}: {time.monotonic() - started:.1f}s")
    print(f"{run.passed} passed, {run.failed} failed", flush=True)
    return 1 if run.failed else 0


if __name__ == "__main__":
    sys.exit(main())
