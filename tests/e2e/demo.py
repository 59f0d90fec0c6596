"""Shows Quorvel at work without the video services or any network: the program runs on the
current display inside a small local internet that serves sample pages of the three
services, their players, the connectivity address and a current version page.

    demo.py --program build/quorvel [--version-page URL] [--probe URL]

Needs root for the network and mount namespaces; scripts/demo.sh builds and starts it."""

import argparse
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing of the tests lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import local_internet  # noqa: E402
import world  # noqa: E402
from fixture_server import FixtureServer  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--version-page", default="")
    parser.add_argument("--probe", default="http://www.baidu.com/")
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    if not os.environ.get("DISPLAY"):
        print("The demo shows the program on your desktop: DISPLAY is not set.")
        return 2
    local_internet.enter_namespace([os.path.abspath(sys.argv[0])] + sys.argv[1:])

    workdir = tempfile.mkdtemp(prefix="quorvel-demo-")
    sites = world.sites(args.probe, args.version_page or None, "4106")
    local_internet.bring_up(sites.keys(), workdir)
    server = FixtureServer(sites).start()

    print("Quorvel is running in a local internet with sample pages. Paste one of these")
    print("addresses into its address bar and press Enter:\n")
    colours = {"youku": "blue", "tudou": "orange", "iqiyi": "green", "both": "blue"}
    for name in ("youku", "tudou", "iqiyi"):
        video = world.VIDEOS[name]
        print(f"  {video.service:<4} {video.page}")
        print(f"       plays {video.player} ({colours[name]} player)")
    print(f"\n  教程 brings back the tutorial (grey player); {world.WRONG_PAGE} holds no video.")
    print("F11 hides and shows the address bar; Esc or the close button ends the demo.\n")

    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    code = subprocess.run([program], env=env).returncode
    server.stop()
    requests = server.seen()
    print(f"The program ended with {code}; the local internet answered {len(requests)} "
          "requests:")
    for request in requests:
        print(f"  {request['method']} http://{request['host']}{request['path']}")
    return code


if __name__ == "__main__":
    sys.exit(main())
