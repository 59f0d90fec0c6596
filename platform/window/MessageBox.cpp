#include "platform/window/MessageBox.h"

#include <vector>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "platform/window/Utf8Crossing.h"

namespace {

enum Answer {
    answerOk = 0,
    answerCancel,
    answerAbort,
    answerRetry,
    answerIgnore,
    answerYes,
    answerNo,
    answerTryAgain = 9,
    answerContinue
};

struct Button {
    const char* label; // GTK's own translations apply where GTK has the label
    Answer answer;
};

std::vector<Button> buttonsOf(int style) {
    const Button ok{"_OK", answerOk}, cancel{"_Cancel", answerCancel}, yes{"_Yes", answerYes},
        no{"_No", answerNo}, abort{"_Abort", answerAbort}, retry{"_Retry", answerRetry},
        ignore{"_Ignore", answerIgnore}, tryAgain{"_Try Again", answerTryAgain},
        resume{"C_ontinue", answerContinue};
    switch (style & 0xF) {
    case 1:
        return {ok, cancel};
    case 2:
        return {abort, retry, ignore};
    case 3:
        return {yes, no, cancel};
    case 4:
        return {yes, no};
    case 5:
        return {retry, cancel};
    case 6:
        return {cancel, tryAgain, resume};
    default:
        return {ok};
    }
}

struct Icon {
    GtkMessageType type;
    const char* name;
};

Icon iconOf(int style) {
    switch (style & 0xF0) {
    case 0x10:
        return {GTK_MESSAGE_ERROR, "dialog-error"};
    case 0x20:
        return {GTK_MESSAGE_QUESTION, "dialog-question"};
    case 0x30:
        return {GTK_MESSAGE_WARNING, "dialog-warning"};
    case 0x40:
        return {GTK_MESSAGE_INFO, "dialog-information"};
    default:
        return {GTK_MESSAGE_OTHER, nullptr};
    }
}

GtkWidget* openBox = nullptr;

} // namespace

int showMessageBox(const Text& text, int style, const Text& title) {
    std::vector<Button> buttons = buttonsOf(style);
    Icon icon = iconOf(style);
    GtkWidget* box =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, icon.type, GTK_BUTTONS_NONE, nullptr);
    g_object_set(box, "text", utf8FromText(text).c_str(), nullptr);
    gtk_window_set_title(GTK_WINDOW(box), utf8FromText(title.empty() ? "信息：" : title).c_str());
    if (icon.name) {
        // Message dialogs show no icon unless given one.
        GtkWidget* image = gtk_image_new_from_icon_name(icon.name, GTK_ICON_SIZE_DIALOG);
        gtk_widget_show(image);
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(box), image);
        G_GNUC_END_IGNORE_DEPRECATIONS
    }
    for (const Button& button : buttons)
        gtk_dialog_add_button(GTK_DIALOG(box), g_dgettext("gtk30", button.label), button.answer);
    std::size_t defaultIndex = static_cast<std::size_t>((style >> 8) & 0xF);
    if (defaultIndex >= buttons.size())
        defaultIndex = 0;
    gtk_dialog_set_default_response(GTK_DIALOG(box), buttons[defaultIndex].answer);
    gtk_widget_grab_focus(
        gtk_dialog_get_widget_for_response(GTK_DIALOG(box), buttons[defaultIndex].answer));

    // Like Windows, the box closes without a button only when Cancel or a lone OK answers.
    int closeAnswer = -1;
    for (const Button& button : buttons)
        if (button.answer == answerCancel)
            closeAnswer = answerCancel;
    if (buttons.size() == 1)
        closeAnswer = buttons[0].answer;
    gtk_window_set_deletable(GTK_WINDOW(box), closeAnswer >= 0);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    // A box that blocks the program must not open behind a window that stays on top.
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);

    GtkWidget* outerBox = openBox;
    openBox = box;
    int answer = -1;
    while (answer < 0) {
        int response = gtk_dialog_run(GTK_DIALOG(box));
        answer = response >= 0 ? response : closeAnswer;
    }
    openBox = outerBox;
    gtk_widget_destroy(box);
    // The box is gone from the screen when the caller goes on, not a moment later.
    gdk_display_sync(gdk_display_get_default());
    return answer;
}

unsigned long openMessageBoxWindow() {
    if (!openBox || !gtk_widget_get_realized(openBox))
        return 0;
    return gdk_x11_window_get_xid(gtk_widget_get_window(openBox));
}
