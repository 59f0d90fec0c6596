#include "app/StartupChecks.h"

#include "app/MainWindow.h"
#include "app/ServiceHosts.h"
#include "regex/RegexObject.h"
#include "text/CodePageConversion.h"
#include "text/TextBetween.h"

const char* const versionPageAddress = QUORVEL_VERSION_PAGE;

namespace {

constexpr char offlineMessage[] = "未检测到网络…";
constexpr char offlineTitle[] = "无网络：";
constexpr int stopStyle = 16; // MB_OK with the stop icon
constexpr char updateQuestion[] = "软件已更新，是否更新最新版本？";
constexpr char updateTitle[] = "Dravik提示：";
constexpr int questionStyle = 36; // MB_YESNO with the question icon
constexpr char noDownloadMessage[] = "未找到下载地址。";

constexpr char versionLeftMarker[] = "title content-title\">";
constexpr char versionRightMarker[] = "</h2>";
constexpr char downloadLinkPattern[] = "clearfix\"> <p>(.*?)</p> </div>";

constexpr int f11Key = 122;

// The version the maker's page publishes, as GBK; empty when the page or a marker is missing.
Text publishedVersion(WindowRuntime& runtime) {
    Bytes versionBytes = runtime.httpReadFile(versionPageAddress);
    Text versionText = utf8BytesToGbkText(versionBytes);
    return textBetween(versionText, versionLeftMarker, versionRightMarker);
}

// Hands the download link to the default browser and closes the window once the handler ends.
// Without a link the browser would take, the user is told and the program runs on: closing
// then would end it with nothing to show for the Yes.
void openDownload(WindowRuntime& runtime, RegexObject& linkRegex) {
    Bytes pageBytes = runtime.httpReadFile(versionPageAddress);
    Text pageText = toText(runtime.convertEncoding(pageBytes, "UTF-8", "GBK"));
    linkRegex.create(downloadLinkPattern, pageText);
    Text link = linkRegex.subMatchText(1, 1);
    if (link.empty() || !runtime.openInBrowser(link)) {
        runtime.messageBox(noDownloadMessage, stopStyle, updateTitle);
        return;
    }
    runtime.destroyWindow(Control::MainWindow);
}

} // namespace

void runStartupChecks(WindowRuntime& runtime) {
    RegexObject linkRegex;

    if (!runtime.isOnline()) {
        runtime.messageBox(offlineMessage, stopStyle, offlineTitle);
        runtime.exitProgram(0);
        return;
    }

    // Nothing published (no page, no markers) is no news: asking then would offer an update
    // that does not exist and close the program for it.
    Text published = publishedVersion(runtime);
    if (!published.empty() && compareText(published, versionMarker) != 0) {
        if (runtime.messageBox(updateQuestion, questionStyle, updateTitle) == boxYes)
            openDownload(runtime, linkRegex);
    }

    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 1);
    WindowHandle mainHandle = runtime.windowHandle(Control::MainWindow);
    WindowHandle labelHandle = runtime.windowHandle(Control::AddressLabel);
    hotkeyId = runtime.registerHotkey(mainHandle, labelHandle, 0, f11Key);
}
