"""Reads the program's windows through the accessibility bus: what a message box says, which
buttons it has, and whether a control is showing. Import after the session bus is set."""

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# A busy program answers late; a hung one should fail the step, not stall the run.
Atspi.set_timeout(5000, 15000)

TOP_LEVEL_ROLES = {Atspi.Role.DIALOG, Atspi.Role.ALERT, Atspi.Role.FRAME, Atspi.Role.WINDOW}


def application(pid):
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(index)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except gi.repository.GLib.Error:
            continue
    return None


def descendants(accessible, depth=0):
    if accessible is None or depth > 40:
        return
    yield accessible
    try:
        count = accessible.get_child_count()
    except gi.repository.GLib.Error:
        return
    for index in range(count):
        yield from descendants(accessible.get_child_at_index(index), depth + 1)


def is_showing(accessible):
    try:
        return accessible.get_state_set().contains(Atspi.StateType.SHOWING)
    except gi.repository.GLib.Error:
        return False


def top_levels(pid):
    """The program's showing top-level windows as (role, name, accessible)."""
    app = application(pid)
    if app is None:
        return []
    found = []
    for index in range(app.get_child_count()):
        window = app.get_child_at_index(index)
        if window is not None and window.get_role() in TOP_LEVEL_ROLES and is_showing(window):
            found.append(window)
    return found


def labels(window):
    """The non-empty texts of the labels inside `window`, in tree order."""
    return [a.get_name() for a in descendants(window)
            if a.get_role() == Atspi.Role.LABEL and a.get_name()]


def buttons(window):
    return [a for a in descendants(window) if a.get_role() == Atspi.Role.PUSH_BUTTON]


def press(button):
    button.get_action_iface().do_action(0)


def edit_text(pid):
    """What the program's first edit box holds, or None when it has none."""
    for accessible in descendants(application(pid)):
        if accessible.get_role() in (Atspi.Role.ENTRY, Atspi.Role.TEXT) and \
                accessible.get_state_set().contains(Atspi.StateType.EDITABLE):
            return Atspi.Text.get_text(accessible, 0, -1)
    return None


def find_label(pid, text):
    """The first label reading `text` anywhere in the program, or None."""
    app = application(pid)
    for accessible in descendants(app):
        if accessible.get_role() == Atspi.Role.LABEL and accessible.get_name() == text:
            return accessible
    return None
