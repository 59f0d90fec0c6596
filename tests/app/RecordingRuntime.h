#pragma once

#include <deque>
#include <map>
#include <utility>

#include "app/WindowRuntime.h"

// A window runtime without a window: it keeps the properties in a table, answers message
// boxes from a script, serves canned files, and writes one line per effect into `log`.
class RecordingRuntime : public WindowRuntime {
  public:
    // Effects in order, e.g. "write PlayerView.11 http://a" or "box 48 <title> <text>".
    TextArray log;
    // Property values; a write replaces the value, a missing one reads as 0.
    std::map<std::pair<Control, int>, PropertyValue> properties;
    // Answers for the next message boxes, first in first out; boxOk when none is left.
    std::deque<int> boxAnswers;
    bool online = true;
    // Bodies that httpReadFile gives by address; any other address gives empty Bytes.
    std::map<Text, Bytes> files;
    // What registerHotkey returns.
    int hotkeyResult = 33001;
    // What openInBrowser answers, whatever the address.
    bool browserTakes = true;

    void loadWindow(const WindowForm& form) override;
    void runMessageLoop() override;
    PropertyValue readProperty(Control target, int number) override;
    void writeProperty(Control target, int number, const PropertyValue& value) override;
    int clientWidth(Control window) override;
    int clientHeight(Control window) override;
    WindowHandle windowHandle(Control target) override;
    void destroyWindow(Control window) override;
    int messageBox(const Text& text, int style, const Text& title = {}) override;
    void exitProgram(int code) override;
    int registerHotkey(WindowHandle window, WindowHandle receiver, int modifiers, int key) override;
    bool isOnline() override;
    bool openInBrowser(const Text& address) override;
    Bytes httpReadFile(const Text& address) override;
    // Converts for real from "UTF-8" to "GBK", the one pair the program uses; others give empty.
    Bytes convertEncoding(const Bytes& bytes, const Text& from, const Text& to) override;
};

// The name the log uses for a control.
Text controlName(Control control);
