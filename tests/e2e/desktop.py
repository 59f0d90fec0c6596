"""An X desktop for one test run: Xvfb, openbox, a session bus with the accessibility bus,
a home with a fake default browser, and the means to drive and read the program's windows."""

import os
import re
import shutil
import signal
import subprocess
import time

FAKE_BROWSER = """#!/bin/sh
printf '%s\\n' "$@" >> "{record}"
"""

DESKTOP_ENTRY = """[Desktop Entry]
Type=Application
Name=Recording browser
Exec={script} %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;text/html;
NoDisplay=true
"""

MIME_APPS = """[Default Applications]
x-scheme-handler/http=recording-browser.desktop
x-scheme-handler/https=recording-browser.desktop
text/html=recording-browser.desktop
"""


class Timeout(AssertionError):
    pass


def wait_for(what, probe, timeout=30.0, interval=0.1):
    """Polls `probe` until it gives something true; returns that, or fails naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out waiting for {what}")
        time.sleep(interval)


class Desktop:
    def __init__(self, workdir):
        self.workdir = workdir
        self.processes = []
        self.home = os.path.join(workdir, "home")
        self.browser_record = os.path.join(workdir, "browser-addresses.txt")
        self.env = {}
        self.bus_pid = None

    # --- start and stop ------------------------------------------------------------------

    def start(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def _start(self):
        self._make_home()
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                     "-nolisten", "tcp"], "xvfb.log", pass_fds=[write_end])
        os.close(write_end)
        display = b""
        while not display.endswith(b"\n"):
            chunk = os.read(read_end, 64)
            if not chunk:
                break
            display += chunk
        os.close(read_end)
        display = display.decode().strip()
        if not display:
            raise RuntimeError("Xvfb did not start")
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--nosyslog",
                              "--print-address=1", "--print-pid=1"], capture_output=True,
                             text=True, check=True, env=self._base_env(), timeout=30)
        address, pid = bus.stdout.split()[:2]
        self.bus_pid = int(pid)
        self.env = dict(self._base_env(), DISPLAY=":" + display,
                        DBUS_SESSION_BUS_ADDRESS=address)
        os.environ.update(DISPLAY=self.env["DISPLAY"], DBUS_SESSION_BUS_ADDRESS=address)
        self._spawn(["openbox", "--sm-disable"], "openbox.log", env=self.env)
        wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK" in self._root_props(),
                 timeout=60)

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        if self.bus_pid:
            try:
                os.kill(self.bus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            self.bus_pid = None

    def _spawn(self, command, log_name, **options):
        """Starts a helper whose output goes to `log_name` in the work folder, so that it
        holds no pipe of the test runner open."""
        with open(os.path.join(self.workdir, log_name), "wb") as log:
            process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log,
                                       stderr=subprocess.STDOUT, **options)
        self.processes.append(process)
        return process

    def _base_env(self):
        keep = ("PATH", "LANG", "LC_ALL", "TERM", "ASAN_OPTIONS", "UBSAN_OPTIONS")
        env = {k: v for k, v in os.environ.items() if k in keep}
        env.update(HOME=self.home,
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_RUNTIME_DIR=os.path.join(self.workdir, "runtime"),
                   XDG_DATA_DIRS="/usr/local/share:/usr/share",
                   LANG=os.environ.get("LANG", "C.UTF-8"))
        return env

    def _make_home(self):
        applications = os.path.join(self.home, ".local", "share", "applications")
        config = os.path.join(self.home, ".config")
        for folder in (applications, config, os.path.join(self.home, ".cache"),
                       os.path.join(self.workdir, "runtime")):
            os.makedirs(folder, exist_ok=True)
        os.chmod(os.path.join(self.workdir, "runtime"), 0o700)
        script = os.path.join(self.workdir, "recording-browser")
        with open(script, "w") as out:
            out.write(FAKE_BROWSER.format(record=self.browser_record))
        os.chmod(script, 0o755)
        with open(os.path.join(applications, "recording-browser.desktop"), "w") as out:
            out.write(DESKTOP_ENTRY.format(script=script))
        for folder in (config, applications):
            with open(os.path.join(folder, "mimeapps.list"), "w") as out:
                out.write(MIME_APPS)

    # --- reading the screen --------------------------------------------------------------

    def _root_props(self):
        result = subprocess.run(["xprop", "-root"], capture_output=True, text=True,
                                env=self.env, timeout=10)
        return result.stdout

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], capture_output=True, text=True,
                                env=self.env, timeout=20)
        if check and result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def windows_named(self, title):
        """Visible top-level windows whose title is exactly `title`."""
        pattern = "^" + "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in title) + "$"
        found = self.xdotool("search", "--onlyvisible", "--name", pattern, check=False)
        return [int(w) for w in found.split()]

    def window_state(self, window):
        result = subprocess.run(["xprop", "-id", str(window), "_NET_WM_STATE"],
                                capture_output=True, text=True, env=self.env, timeout=10)
        return result.stdout

    def window_class(self, window):
        """The two strings of the window's WM_CLASS: instance and class."""
        result = subprocess.run(["xprop", "-id", str(window), "WM_CLASS"], capture_output=True,
                                text=True, env=self.env, timeout=10)
        return tuple(re.findall(r'"([^"]*)"', result.stdout))

    def is_above(self, window):
        return "_NET_WM_STATE_ABOVE" in self.window_state(window)

    def browser_addresses(self):
        if not os.path.exists(self.browser_record):
            return []
        with open(self.browser_record, encoding="utf-8", errors="replace") as record:
            return record.read().splitlines()

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env,
                       capture_output=True, timeout=30)

    # --- typing --------------------------------------------------------------------------

    def key(self, *keys, window=None):
        args = ["key", "--clearmodifiers"]
        if window is not None:
            args += ["--window", str(window)]
        self.xdotool(*args, *keys)

    def type_text(self, text):
        """Types ASCII; pastes anything else, as xdotool's borrowed keycodes for characters
        outside the keymap can arrive before the program has seen the new keymap."""
        if not text:
            return
        if text.isascii():
            self.xdotool("type", "--delay", "10", text)
            return
        # xclip stays to serve the one paste, then ends.
        subprocess.run(["xclip", "-selection", "clipboard", "-loops", "1"],
                       input=text.encode("utf-8"), env=self.env, check=True, timeout=10,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.key("ctrl+v")

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", str(window), str(x), str(y), "click", "1")

    def activate(self, window):
        # Without --sync: a window that never becomes active would hold xdotool forever.
        self.xdotool("windowactivate", str(window), check=False)
        wait_for("the window to become active",
                 lambda: self.xdotool("getactivewindow", check=False).strip() == str(window),
                 timeout=10)


def tool_missing():
    """The first tool this harness needs that is not installed, or None."""
    for tool in ("Xvfb", "openbox", "xdotool", "xclip", "xprop", "import", "dbus-daemon", "ip",
                 "unshare", "mount"):
        if shutil.which(tool) is None:
            return tool
    return None
