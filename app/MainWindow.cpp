#include "app/MainWindow.h"

#include "app/ServiceHosts.h"
#include "app/StartupChecks.h"
#include "app/VideoResolution.h"

std::int32_t hotkeyId = 0;

namespace {

int intProperty(WindowRuntime& runtime, Control target, int number) {
    PropertyValue value = runtime.readProperty(target, number);
    const int* integer = std::get_if<int>(&value);
    return integer ? *integer : 0;
}

struct Place {
    int left, top, width, height;
};

ControlForm control(Control id, ControlKind kind, Control parent, Place place,
                    const Text& text = {}, bool tabStop = false) {
    ControlForm form;
    form.id = id;
    form.kind = kind;
    form.parent = parent;
    form.left = place.left;
    form.top = place.top;
    form.width = place.width;
    form.height = place.height;
    form.text = text;
    form.tabStop = tabStop;
    return form;
}

} // namespace

WindowForm mainWindowForm(WindowRuntime& runtime) {
    WindowRuntime* on = &runtime;
    WindowForm form;
    form.caption = "Quorvel";
    form.width = 685;
    form.height = 485;
    form.created = [on] { runStartupChecks(*on); };
    form.sizeChanged = [on] { layoutControls(*on); };
    ControlForm label = control(Control::AddressLabel, ControlKind::Label, Control::AddressBar,
                                {5, 20, 60, 15}, "视频地址：");
    label.feedback = [on](int eventId, int eventData) {
        toggleAddressBar(*on, eventId, eventData);
    };
    ControlForm edit = control(Control::AddressEdit, ControlKind::EditBox, Control::AddressBar,
                               {70, 15, 520, 25}, "", true);
    edit.keyPressed = [on](int keyCode, int shiftState) { onAddressKey(*on, keyCode, shiftState); };
    ControlForm button = control(Control::PlayButton, ControlKind::Button, Control::AddressBar,
                                 {595, 12, 80, 30}, "迷你播放", true);
    button.clicked = [on] { resolveVideoAddress(*on); };
    // The player, the first tab stop from the top left, lies hidden behind the bar: typing
    // starts in the edit box.
    form.firstFocus = Control::AddressEdit;
    // Bottom first: the address bar lies over the top of the player.
    form.controls = {
        control(Control::PlayerView, ControlKind::WebBrowser, Control::MainWindow, {0, 0, 680, 460},
                tutorialAddress, true),
        control(Control::AddressBar, ControlKind::GroupBox, Control::MainWindow, {0, -5, 680, 50}),
        label,
        edit,
        button,
        control(Control::BarOverlay, ControlKind::TransparentLabel, Control::AddressBar,
                {0, 5, 680, 45}),
    };
    return form;
}

void layoutControls(WindowRuntime& runtime) {
    // The margins are reals; each difference is truncated toward zero. The client size is read
    // afresh for every step.
    auto width = [&] { return runtime.clientWidth(Control::MainWindow); };
    runtime.writeProperty(Control::PlayerView, Property::width, width());
    runtime.writeProperty(Control::PlayerView, Property::height,
                          runtime.clientHeight(Control::MainWindow));
    runtime.writeProperty(Control::PlayButton, Property::left, static_cast<int>(width() - 85.0));
    runtime.writeProperty(Control::AddressEdit, Property::width, static_cast<int>(width() - 160.0));
    runtime.writeProperty(Control::AddressBar, Property::width, width());
}

void onAddressKey(WindowRuntime& runtime, int keyCode, int) {
    if (keyCode == 13)
        resolveVideoAddress(runtime);
}

void toggleAddressBar(WindowRuntime& runtime, int eventId, int) {
    if (eventId != hotkeyId)
        return;
    bool showing = intProperty(runtime, Control::AddressBar, Property::visible) == 1;
    runtime.writeProperty(Control::AddressBar, Property::visible, showing ? 0 : 1);
}
