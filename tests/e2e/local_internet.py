"""A closed little internet inside the current network and mount namespaces: every host the
program uses resolves to a loopback address, a default route makes the system report a
connection, and nothing can leave."""

import os
import subprocess
import sys

# Each host on its own loopback address, so that the logs read like the real thing.
FIRST_ADDRESS = 11


def enter_namespace(argv):
    """Re-runs this program inside fresh network and mount namespaces (root only).
    Returns only inside them; exits 77 (skipped) when they cannot be made."""
    if os.environ.get("QUORVEL_E2E_INSIDE") == "1":
        return
    if os.geteuid() != 0:
        print("skipped: needs root for a network and mount namespace", flush=True)
        sys.exit(77)
    probe = subprocess.run(["unshare", "--net", "--mount", "true"], capture_output=True,
                           text=True)
    if probe.returncode != 0:
        print("skipped: unshare --net --mount fails here: " + probe.stderr.strip(), flush=True)
        sys.exit(77)
    env = dict(os.environ, QUORVEL_E2E_INSIDE="1")
    os.execvpe("unshare", ["unshare", "--net", "--mount", sys.executable] + argv, env)


def run(*command):
    subprocess.run(command, check=True)


def bring_up(hosts, workdir):
    """Loopback up, a default route to nowhere, and `hosts` (names) mapped to 127.0.0.x.
    Returns the name-to-address map."""
    run("ip", "link", "set", "lo", "up")
    # A veth pair whose both ends stay here: the dummy driver is not in every kernel (this
    # sandbox's lacks it), and a route needs a device with a carrier to count as connected.
    run("ip", "link", "add", "quorvel0", "type", "veth", "peer", "name", "quorvel1")
    run("ip", "addr", "add", "10.213.0.1/24", "dev", "quorvel0")
    run("ip", "link", "set", "quorvel0", "up")
    run("ip", "link", "set", "quorvel1", "up")
    run("ip", "route", "add", "default", "via", "10.213.0.2", "dev", "quorvel0")

    addresses = {}
    for index, host in enumerate(sorted(set(hosts))):
        addresses[host] = f"127.0.0.{FIRST_ADDRESS + index}"
    hosts_file = os.path.join(workdir, "hosts")
    with open(hosts_file, "w") as out:
        out.write("127.0.0.1 localhost\n")
        for host, address in addresses.items():
            out.write(f"{address} {host}\n")
    # No name server answers: a name missing from the hosts file fails at once.
    resolv_file = os.path.join(workdir, "resolv.conf")
    with open(resolv_file, "w") as out:
        out.write("nameserver 127.0.0.1\noptions timeout:1 attempts:1\n")
    run("mount", "--bind", hosts_file, "/etc/hosts")
    run("mount", "--bind", resolv_file, "/etc/resolv.conf")
    return addresses
