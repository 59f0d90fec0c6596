"""The program under test, started on a Desktop and driven as a user would: typing into the
address bar, pressing keys, and answering message boxes by clicking their buttons."""

import os
import subprocess
import time

import accessibility
from desktop import Timeout, wait_for

MAIN_TITLE = "Quorvel"
BAR_LABEL = "视频地址："
# Places inside the main window's client area: the edit box and the play button.
EDIT_BOX = (300, 22)
PLAY_BUTTON = (630, 22)

BUTTON_NAMES = {
    "ok": ("OK", "确定"),
    "yes": ("Yes", "是"),
    "no": ("No", "否"),
}


def plain(name):
    """A button's name without its mnemonic: "_Yes" and "是(_Y)" read "Yes" and "是"."""
    name = name.replace("_", "")
    if name.endswith(")") and "(" in name:
        name = name[:name.rindex("(")]
    return name.strip()


class MessageBox:
    def __init__(self, program, window, texts, buttons):
        self.program = program
        self.window = window
        self.texts = texts
        self.buttons = buttons

    def press(self, which="ok"):
        names = BUTTON_NAMES[which]
        for button in self.buttons:
            if plain(button.get_name()) in names:
                # Relative to the box, which the window manager may still be placing.
                desktop = self.program.desktop
                desktop.activate(self.window)
                extents = button.get_extents(accessibility.Atspi.CoordType.WINDOW)
                desktop.click(self.window, extents.x + extents.width // 2,
                              extents.y + extents.height // 2)
                return
        raise AssertionError(f"no {which} button among "
                             f"{[b.get_name() for b in self.buttons]}")


class Program:
    def __init__(self, desktop, path, workdir):
        self.desktop = desktop
        self.path = path
        self.workdir = workdir
        self.process = None
        self.window = None

    def start(self):
        env = dict(self.desktop.env)
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
        if "detect_leaks" not in env["ASAN_OPTIONS"]:
            env["ASAN_OPTIONS"] += ":detect_leaks=0"
        self.stdout = open(os.path.join(self.workdir, "program.out"), "wb")
        self.stderr = open(os.path.join(self.workdir, "program.err"), "wb")
        self.process = subprocess.Popen([self.path], env=env, stdout=self.stdout,
                                        stderr=self.stderr, cwd=self.workdir)
        return self

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def exit_code(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout("the program did not end") from None

    def running(self):
        return self.process.poll() is None

    # --- the main window -----------------------------------------------------------------

    def main_window(self, timeout=60):
        if self.window is None:
            self.window = wait_for("the main window",
                                   lambda: self.desktop.windows_named(MAIN_TITLE), timeout)[0]
        return self.window

    def is_above(self):
        return self.desktop.is_above(self.main_window())

    def bar_showing(self):
        label = accessibility.find_label(self.process.pid, BAR_LABEL)
        return label is not None and accessibility.is_showing(label)

    def enter_address(self, text, press="enter"):
        """Replaces the edit box's text by `text`, then presses Enter or clicks the button."""
        window = self.main_window()
        self.desktop.activate(window)
        self.desktop.click(window, *EDIT_BOX)
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type_text(text)
        # A paste lands when the program has fetched the clipboard, maybe after a key sent now.
        wait_for("the edit box to read the text",
                 lambda: accessibility.edit_text(self.process.pid) == text)
        if press == "enter":
            self.desktop.key("Return")
        else:
            self.desktop.click(window, *PLAY_BUTTON)

    def press_key(self, key):
        self.desktop.activate(self.main_window())
        self.desktop.key(key)

    # --- message boxes -------------------------------------------------------------------

    def message_box(self, title, timeout=20, exclude=()):
        """Waits for a box titled `title`, other than the windows in `exclude`, and reads
        what it says."""
        windows = wait_for(f"a message box titled {title}",
                           lambda: [w for w in self.desktop.windows_named(title)
                                    if w not in exclude], timeout)
        pid = self.process.pid

        def read():
            for top in accessibility.top_levels(pid):
                texts = accessibility.labels(top)
                buttons = accessibility.buttons(top)
                if top.get_role() != accessibility.Atspi.Role.FRAME and buttons and texts:
                    return top, texts, buttons
            return None

        _, texts, buttons = wait_for(f"the text of the box titled {title}", read, timeout)
        return MessageBox(self, windows[0], texts, buttons)

    def no_message_box(self, title, within=1.5):
        """Fails when a box titled `title` shows up within `within` seconds."""
        deadline = time.monotonic() + within
        while time.monotonic() < deadline:
            if self.desktop.windows_named(title):
                raise AssertionError(f"an unexpected box titled {title}")
            time.sleep(0.1)

    def box_closed(self, title):
        wait_for(f"the box titled {title} to close",
                 lambda: not self.desktop.windows_named(title))
