"""The end-to-end scenarios, in groups: each group is one start of the program, walked
through step by step as a user would."""

import world
from desktop import wait_for

BOX_TITLE = "Dravik提示："
OFFLINE_TITLE = "无网络："
OFFLINE_TEXT = "未检测到网络…"
TUTORIAL_TEXT = "教程视频已打开。显示隐藏搜索拦按F11"
WRONG_TEXT = "请输入正确的优酷、土豆、爱奇艺视频网址！"
UPDATE_TEXT = "软件已更新，是否更新最新版本？"
USER_AGENT = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"


def entry_value(path, key):
    """The value of `key` in the [Desktop Entry] group of a desktop file, or None."""
    group = None
    with open(path, encoding="utf-8") as entry:
        for line in entry:
            line = line.strip()
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and line.startswith(key + "="):
                return line[len(key) + 1:]
    return None


def tell_and_return(run, typed, texts):
    """Types `typed`, expects the boxes reading `texts` one after another, and the window
    back on top afterwards with no further box."""
    run.program.enter_address(typed)
    seen = []
    for index, text in enumerate(texts):
        box = run.program.message_box(BOX_TITLE, exclude=seen)
        if index == 0:
            run.not_on_top()
        assert box.texts == [text], f"box {index + 1} says {box.texts}"
        seen.append(box.window)
        box.press("ok")
    run.program.box_closed(BOX_TITLE)
    run.program.no_message_box(BOX_TITLE, within=1.0)
    run.on_top()


def group_main(run):
    run.step("the tutorial player is requested at start", lambda: run.requested(world.TUTORIAL))

    def current_version():
        run.program.main_window()
        if run.args.version_page:
            run.requested(run.args.version_page)
        run.program.no_message_box(BOX_TITLE, within=2.0)
        run.on_top()

    run.step("version 4106 asks nothing and the window is on top", current_version)

    if run.args.desktop_entry:
        def grouped_under_launcher():
            wanted = entry_value(run.args.desktop_entry, "StartupWMClass")
            found = run.desktop.window_class(run.program.main_window())
            assert len(found) == 2 and found[1] == wanted, \
                f"WM_CLASS is {found}, the menu entry says {wanted!r}"

        run.step("the window's class is the one its menu entry names", grouped_under_launcher)

    def tutorial_showing():
        before = run.count_requests(world.TUTORIAL)
        tell_and_return(run, "教程", [TUTORIAL_TEXT])
        assert run.count_requests(world.TUTORIAL) == before, "the tutorial was loaded again"

    run.step("教程 while the tutorial shows: one message, on top again", tutorial_showing)

    for name, press in (("youku", "enter"), ("tudou", "click"), ("iqiyi", "enter"),
                        ("both", "enter")):
        video = world.VIDEOS[name]

        def play(video=video, press=press):
            run.program.enter_address(video.page, press)
            run.requested(video.player)
            assert run.program.running(), "the program ended"

        how = "Enter" if press == "enter" else "the play button"
        what = "a page with both marks plays by the first rule" if name == "both" else \
            f"{video.service}: the page's player is requested ({how})"
        run.step(what, play)

    def default_headers():
        video = world.VIDEOS["youku"]
        requests = run.requested(video.page)
        headers = requests[-1]["headers"]
        for line in ("Accept: */*", f"Referer: {video.page}", "Accept-Language: zh-cn",
                     "Content-Type: application/x-www-form-urlencoded",
                     f"User-Agent: {USER_AGENT}"):
            assert line in headers, f"{line!r} missing from {headers}"
        assert requests[-1]["method"] == "GET"

    run.step("the typed page is requested with the default header block", default_headers)

    def tutorial_after_video():
        before = run.count_requests(world.TUTORIAL)
        tell_and_return(run, "教程", [TUTORIAL_TEXT, TUTORIAL_TEXT])
        # The player fetches its movie in its own time, possibly once the boxes are gone.
        wait_for("the tutorial to be requested again",
                 lambda: run.count_requests(world.TUTORIAL) > before)

    run.step("教程 after another video: two messages and the tutorial again",
             tutorial_after_video)
    run.step("' 教程' is not the keyword",
             lambda: tell_and_return(run, " 教程", [WRONG_TEXT]))
    run.step("a page without player marks asks for a correct address",
             lambda: tell_and_return(run, world.WRONG_PAGE, [WRONG_TEXT]))
    run.step("an address that cannot be fetched asks for a correct address",
             lambda: tell_and_return(run, "http://nowhere.invalid/v.html", [WRONG_TEXT]))

    def endless_page():
        tell_and_return(run, world.ENDLESS_PAGE, [WRONG_TEXT])
        assert run.program.running(), "the program ended"

    run.step("a page whose body never ends asks for a correct address, and the program runs on",
             endless_page)
    run.step("F11 hides and shows the address bar", run.bar_toggles)
    run.step("Esc closes the window and the program ends with 0", run.escape_ends)


def group_offline(run):
    def offline():
        box = run.program.message_box(OFFLINE_TITLE)
        assert box.texts == [OFFLINE_TEXT], f"the box says {box.texts}"
        visible = run.desktop.windows_named("Quorvel")
        assert not visible, "the main window shows while offline"
        box.press("ok")
        code = run.program.exit_code()
        assert code == 0, f"exit code {code}"

    run.step("offline: only the no-network message, then the program ends with 0", offline)


def group_update_declined(run):
    def asked():
        run.requested(run.args.version_page)
        run.expect_box(BOX_TITLE, [UPDATE_TEXT], answer="no")
        run.program.box_closed(BOX_TITLE)

    run.step("version 4107 asks whether to update", asked)

    def runs_on():
        run.program.main_window()
        run.on_top()
        assert run.program.running(), "the program ended"
        assert run.desktop.browser_addresses() == [], "the browser was started"
        assert run.count_requests(run.args.version_page) == 1, "the page was read again"

    run.step("No keeps the program running and on top", runs_on)
    run.step("F11 works after No", run.bar_toggles)
    run.step("Esc still ends the program with 0", run.escape_ends)


def group_update_accepted(run):
    link = world.download_link(run.args.version_page)

    def accepted():
        run.expect_box(BOX_TITLE, [UPDATE_TEXT], answer="yes")
        code = run.program.exit_code()
        assert code == 0, f"exit code {code}"
        wait_for("the browser to get the link", run.desktop.browser_addresses, timeout=10)
        assert run.desktop.browser_addresses() == [link], run.desktop.browser_addresses()

    run.step("Yes hands the download link to the default browser and the program ends with 0",
             accepted)


def group_version_unreachable(run):
    def nothing_asked():
        run.requested(world.TUTORIAL)
        run.program.main_window()
        run.program.no_message_box(BOX_TITLE, within=2.0)
        run.on_top()

    run.step("an unreachable version page asks nothing", nothing_asked)
    run.step("Esc ends the program with 0", run.escape_ends)


# Each group: its steps, and the version the version page publishes (None: no such host).
GROUPS = {
    "main": (group_main, "4106"),
    "offline": (group_offline, "4106"),
    "update_declined": (group_update_declined, "4107"),
    "update_accepted": (group_update_accepted, "4107"),
    "version_unreachable": (group_version_unreachable, None),
}
