#include "tests/app/RecordingRuntime.h"

#include <string>

#include "text/CodePageConversion.h"

namespace {

Text describe(const PropertyValue& value) {
    if (const int* number = std::get_if<int>(&value))
        return std::to_string(*number);
    return std::get<Text>(value);
}

} // namespace

Text controlName(Control control) {
    switch (control) {
    case Control::MainWindow:
        return "MainWindow";
    case Control::AddressBar:
        return "AddressBar";
    case Control::AddressLabel:
        return "AddressLabel";
    case Control::AddressEdit:
        return "AddressEdit";
    case Control::PlayButton:
        return "PlayButton";
    case Control::BarOverlay:
        return "BarOverlay";
    case Control::PlayerView:
        return "PlayerView";
    }
    return "?";
}

void RecordingRuntime::loadWindow(const WindowForm&) {
    log.push_back("loadWindow");
}

void RecordingRuntime::runMessageLoop() {
    log.push_back("runMessageLoop");
}

PropertyValue RecordingRuntime::readProperty(Control target, int number) {
    auto found = properties.find({target, number});
    return found == properties.end() ? PropertyValue{0} : found->second;
}

void RecordingRuntime::writeProperty(Control target, int number, const PropertyValue& value) {
    log.push_back("write " + controlName(target) + "." + std::to_string(number) + " " +
                  describe(value));
    properties[{target, number}] = value;
}

int RecordingRuntime::clientWidth(Control) {
    return 680;
}

int RecordingRuntime::clientHeight(Control) {
    return 460;
}

// Distinct, recognisable handles: 100 plus the control's place in the enumeration.
WindowHandle RecordingRuntime::windowHandle(Control target) {
    return 100 + static_cast<WindowHandle>(target);
}

void RecordingRuntime::destroyWindow(Control window) {
    log.push_back("destroy " + controlName(window));
}

int RecordingRuntime::messageBox(const Text& text, int style, const Text& title) {
    log.push_back("box " + std::to_string(style) + " " + title + " " + text);
    if (boxAnswers.empty())
        return boxOk;
    int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

void RecordingRuntime::exitProgram(int code) {
    log.push_back("exit " + std::to_string(code));
}

int RecordingRuntime::registerHotkey(WindowHandle window, WindowHandle receiver, int modifiers,
                                     int key) {
    log.push_back("hotkey " + std::to_string(window) + " " + std::to_string(receiver) + " " +
                  std::to_string(modifiers) + " " + std::to_string(key));
    return hotkeyResult;
}

bool RecordingRuntime::isOnline() {
    return online;
}

bool RecordingRuntime::openInBrowser(const Text& address) {
    log.push_back("open " + address);
    return browserTakes;
}

Bytes RecordingRuntime::httpReadFile(const Text& address) {
    log.push_back("read " + address);
    auto found = files.find(address);
    return found == files.end() ? Bytes{} : found->second;
}

Bytes RecordingRuntime::convertEncoding(const Bytes& bytes, const Text& from, const Text& to) {
    log.push_back("convert " + from + " " + to);
    if (from != "UTF-8" || to != "GBK")
        return {};
    return toBytes(utf16ToCodePage(codePageToUtf16(bytes, 65001), 936));
}
