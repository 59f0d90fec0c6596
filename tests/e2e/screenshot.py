"""Takes the picture that the software centre shows: the program's window playing the first
service's sample movie, on a private X desktop inside the small local internet.

    screenshot.py --program build/quorvel --output data/screenshots/playing.png

Needs root for the network and mount namespaces; scripts/screenshot.sh builds and runs it."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing of the tests lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import local_internet  # noqa: E402
import world  # noqa: E402
from desktop import Desktop, wait_for  # noqa: E402
from fixture_server import FixtureServer  # noqa: E402
from program import Program  # noqa: E402


def pixel(path, x, y):
    """The colour at x, y of the picture, as 0xRRGGBB."""
    text = subprocess.run(["convert", path, "-format", f"%[hex:p{{{x},{y}}}]", "info:"],
                          capture_output=True, text=True, check=True, timeout=30).stdout
    return int(text.strip()[:6], 16)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    program_path = os.path.abspath(args.program)
    output = os.path.abspath(args.output)
    local_internet.enter_namespace([os.path.abspath(sys.argv[0])] + sys.argv[1:])

    workdir = tempfile.mkdtemp(prefix="quorvel-screenshot-")
    video = world.VIDEOS["youku"]
    stage, _ = world.PLAYER_COLOURS[world.YOUKU_PLAYER_HOST]
    server = desktop = program = None
    try:
        sites = world.sites("http://www.baidu.com/")
        local_internet.bring_up(sites.keys(), workdir)
        server = FixtureServer(sites).start()
        desktop = Desktop(workdir).start()
        program = Program(desktop, program_path, workdir).start()
        window = program.main_window()
        program.enter_address(video.page)
        # Away from the edit box, so that no caret or hover shows in the picture.
        desktop.xdotool("mousemove", "0", "0")
        shot = os.path.join(workdir, "window.png")

        def movie_showing():
            subprocess.run(["import", "-window", str(window), shot], env=desktop.env,
                           check=True, capture_output=True, timeout=30)
            # Left of the play symbol, below the address bar: the movie's stage.
            return pixel(shot, 150, 200) == stage

        wait_for("the movie on the screen", movie_showing, timeout=60)
        os.makedirs(os.path.dirname(output), exist_ok=True)
        # Without the capture time, so that an unchanged picture leaves no change behind.
        subprocess.run(["convert", shot, "-strip", output], check=True, timeout=30)
        print(f"wrote {output}")
        return 0
    finally:
        for part in (program, desktop, server):
            if part:
                part.stop()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
