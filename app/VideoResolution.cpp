#include "app/VideoResolution.h"

#include <variant>

#include "app/ServiceHosts.h"
#include "regex/RegexObject.h"
#include "text/CodePageConversion.h"
#include "web/PageRequest.h"

namespace {

constexpr char boxTitle[] = "Dravik提示：";
constexpr int exclamationStyle = 48; // MB_OK with the exclamation icon
constexpr char tutorialKeyword[] = "教程";
constexpr char tutorialMessage[] = "教程视频已打开。显示隐藏搜索拦按F11";
constexpr char wrongAddressMessage[] = "请输入正确的优酷、土豆、爱奇艺视频网址！";

// The player pattern in the first service's page and the icode in the second's.
constexpr char youkuPagePattern[] = "value=\"http://(.*?)swf\" >";
constexpr char tudouPagePattern[] = ",icode: '(.*?)' ";
constexpr char iqiyiVideoIdPattern[] = "videoid=\"(.*?)\" data";

Text textProperty(WindowRuntime& runtime, Control target, int number) {
    PropertyValue value = runtime.readProperty(target, number);
    if (const Text* text = std::get_if<Text>(&value))
        return *text;
    return {};
}

void showPlayer(WindowRuntime& runtime, const Text& address) {
    runtime.writeProperty(Control::PlayerView, Property::url, address);
}

bool isEmpty(const Text& group) {
    return compareText(group, {}) == 0;
}

// The dots of the host stay unescaped, as in the page name's own ".html": they match any byte.
Text iqiyiAddressPattern() {
    Text pattern = concatText("http://", iqiyiSiteHost);
    return concatText(std::move(pattern), "/(.*?).html");
}

void tellUser(WindowRuntime& runtime, const Text& typed) {
    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 0);
    if (compareText(typed, tutorialKeyword) == 0) {
        Text shown = textProperty(runtime, Control::PlayerView, Property::url);
        // Away from the tutorial the user hears about it both before and after the switch.
        if (findText(shown, tutorialVideoCode, 1) < 1) {
            runtime.messageBox(tutorialMessage, exclamationStyle, boxTitle);
            showPlayer(runtime, tutorialAddress);
        }
        runtime.messageBox(tutorialMessage, exclamationStyle, boxTitle);
    } else {
        runtime.messageBox(wrongAddressMessage, exclamationStyle, boxTitle);
    }
    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 1);
}

// Plays the typed page through the first rule that applies, or tells the user.
void playOrTellUser(WindowRuntime& runtime, RegexObject& youkuRegex, RegexObject& tudouRegex,
                    RegexObject& iqiyiRegex) {
    Text typed = textProperty(runtime, Control::AddressEdit, Property::content);
    Text pageText = utf8ToGbk(fetchPageText(typed));

    // The page decides which rule plays, whatever host was typed.
    youkuRegex.create(youkuPagePattern, pageText);
    Text group = youkuRegex.subMatchText(1, 1);
    if (!isEmpty(group)) {
        Text address = concatText("http://", group);
        showPlayer(runtime, concatText(std::move(address), "swf"));
        return;
    }

    tudouRegex.create(tudouPagePattern, pageText);
    group = tudouRegex.subMatchText(1, 1);
    if (!isEmpty(group)) {
        Text address = concatText("http://", tudouSiteHost);
        address = concatText(std::move(address), "/v/");
        address = concatText(std::move(address), group);
        showPlayer(runtime, concatText(std::move(address), "/v.swf"));
        return;
    }

    tudouRegex.create(iqiyiAddressPattern(), typed);
    iqiyiRegex.create(iqiyiVideoIdPattern, pageText);
    Text pageName = tudouRegex.subMatchText(1, 1);
    // Only the page name is required; a missing video id leaves "//0/0/" in the path.
    if (!isEmpty(pageName)) {
        Text address = concatText("http://", iqiyiPlayerHost);
        address = concatText(std::move(address), "/");
        address = concatText(std::move(address), iqiyiRegex.subMatchText(1, 1));
        address = concatText(std::move(address), "/0/0/");
        address = concatText(std::move(address), pageName);
        showPlayer(runtime, concatText(std::move(address), ".swf"));
        return;
    }

    tellUser(runtime, typed);
}

} // namespace

void resolveVideoAddress(WindowRuntime& runtime) {
    RegexObject youkuRegex;
    RegexObject tudouRegex; // also reads the page name out of a third-service address
    RegexObject iqiyiRegex;
    playOrTellUser(runtime, youkuRegex, tudouRegex, iqiyiRegex);
    // In the order they were made, on every path; their destructors then have nothing to do.
    youkuRegex.destroy();
    tudouRegex.destroy();
    iqiyiRegex.destroy();
}
