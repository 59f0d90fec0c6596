"""The pages of the small internet: the connectivity address, the maker's version page, and
sample video pages and players of the three services."""

from dataclasses import dataclass
from urllib.parse import urlsplit

import tiny_swf
from fixture_server import EndlessBody, Site, html_page

YOUKU_PLAYER_HOST = "player.youku.com"
TUDOU_SITE_HOST = "www.tudou.com"
IQIYI_SITE_HOST = "www.iqiyi.com"
IQIYI_PLAYER_HOST = "player.video.qiyi.com"
YOUKU_PAGE_HOST = "v.youku.com"

TUTORIAL = f"http://{YOUKU_PLAYER_HOST}/player.php/sid/XNzk3NjU5MDc2/v.swf"


@dataclass
class Video:
    service: str
    page: str  # the address the user types
    body: str  # the page as the service sends it, UTF-8
    player: str  # the player address the program must show


def _page(title, inner):
    return (f'<!doctype html><html><head><meta charset="utf-8"><title>{title}</title></head>'
            f"<body>{inner}</body></html>")


YOUKU_EMBED = ('<object><param name="movie" '
               'value="http://player.youku.com/player.php/sid/{code}/v.swf" ></object>')
TUDOU_CONFIG = "<script>var pageConfig = {{iid: 132,icode: '{code}' ,lid: 0}};</script>"
IQIYI_PLAYER = '<div id="flashbox" data-player-videoid="{id}" data-player-tvid="3126">'

VIDEOS = {
    "youku": Video("优酷", f"http://{YOUKU_PAGE_HOST}/v_show/id_XMTYzNjQ4MDUy.html",
                   _page("优酷 样片", YOUKU_EMBED.format(code="XMTYzNjQ4MDUy")),
                   "http://player.youku.com/player.php/sid/XMTYzNjQ4MDUy/v.swf"),
    "tudou": Video("土豆", f"http://{TUDOU_SITE_HOST}/programs/view/kQ7ZuoZ0qN0/",
                   _page("土豆 样片", TUDOU_CONFIG.format(code="kQ7ZuoZ0qN0")),
                   f"http://{TUDOU_SITE_HOST}/v/kQ7ZuoZ0qN0/v.swf"),
    "iqiyi": Video("爱奇艺", f"http://{IQIYI_SITE_HOST}/v_19rrhb3c5k.html",
                   _page("爱奇艺 样片", IQIYI_PLAYER.format(id="7d2e8a5c1f3b4a6e")),
                   f"http://{IQIYI_PLAYER_HOST}/7d2e8a5c1f3b4a6e/0/0/v_19rrhb3c5k.swf"),
    # A page that carries both the first and the second service's marks plays by the first.
    "both": Video("优酷", f"http://{TUDOU_SITE_HOST}/programs/view/bothMarks/",
                  _page("两种", TUDOU_CONFIG.format(code="notThisOne")
                        + YOUKU_EMBED.format(code="XMTAwMDAwMDAw")),
                  "http://player.youku.com/player.php/sid/XMTAwMDAwMDAw/v.swf"),
}

# A page of the second service that has no player marks at all.
WRONG_PAGE = f"http://{TUDOU_SITE_HOST}/programs/view/noSuchVideo/"
# A page of the second service whose body never ends.
ENDLESS_PAGE = f"http://{TUDOU_SITE_HOST}/programs/view/endless/"

# Stage and play-symbol colours of each service's sample movies.
PLAYER_COLOURS = {
    YOUKU_PLAYER_HOST: (0x1E5AA8, 0xFFFFFF),
    TUDOU_SITE_HOST: (0xE8631A, 0xFFFFFF),
    IQIYI_PLAYER_HOST: (0x00A63F, 0xFFFFFF),
}


TUTORIAL_COLOURS = (0x30343A, 0xF5C400)


def _movie(host, path):
    background, symbol = PLAYER_COLOURS[host]
    if path == urlsplit(TUTORIAL).path:
        background, symbol = TUTORIAL_COLOURS
    return "application/x-shockwave-flash", tiny_swf.movie(background, symbol)


def version_page(version, link):
    # Like the maker's real page, the footer holds characters that GBK lacks.
    return _page("Quorvel 下载",
                 f'<h2 class="title content-title">{version}</h2>\n'
                 f'<div class="clearfix"> <p>{link}</p> </div>\n'
                 "<footer>© 2014 Dravik • 版权所有</footer>")


def download_link(version_address):
    return f"http://{urlsplit(version_address).hostname}/download/Quorvel-4107.exe"


def sites(probe=None, version_address=None, version=None):
    """Host name to Site. Without `probe` the connectivity address has no host, and without
    `version` the version page's host is missing: both then fail to resolve."""
    movies = {"/": _movie}
    table = {
        YOUKU_PLAYER_HOST: Site(prefixes={"/player.php/sid/": _movie}),
        YOUKU_PAGE_HOST: Site(),
        TUDOU_SITE_HOST: Site(prefixes={"/v/": _movie}),
        IQIYI_SITE_HOST: Site(),
        IQIYI_PLAYER_HOST: Site(prefixes=movies),
    }
    for video in VIDEOS.values():
        parts = urlsplit(video.page)
        table[parts.hostname].pages[parts.path] = html_page(video.body)
    table[TUDOU_SITE_HOST].pages[urlsplit(ENDLESS_PAGE).path] = EndlessBody()
    if probe:
        parts = urlsplit(probe if "//" in probe else "http://" + probe)
        table.setdefault(parts.hostname, Site()).pages[parts.path or "/"] = html_page(
            _page("百度", "ok"))
    if version_address and version is not None:
        parts = urlsplit(version_address)
        path = parts.path or "/"
        table.setdefault(parts.hostname, Site()).pages[path] = html_page(
            version_page(version, download_link(version_address)))
    return table
