#include "platform/window/VirtualKeys.h"

#include <X11/keysym.h>

namespace {

struct KeyPair {
    int virtualKey;
    unsigned long keysym;
};

// Keys whose codes are not a run of letters, digits or function keys.
constexpr KeyPair namedKeys[] = {
    {0x08, XK_BackSpace},  {0x09, XK_Tab},          {0x0C, XK_Clear},      {0x0D, XK_Return},
    {0x10, XK_Shift_L},    {0x11, XK_Control_L},    {0x12, XK_Alt_L},      {0x13, XK_Pause},
    {0x14, XK_Caps_Lock},  {0x1B, XK_Escape},       {0x20, XK_space},      {0x21, XK_Prior},
    {0x22, XK_Next},       {0x23, XK_End},          {0x24, XK_Home},       {0x25, XK_Left},
    {0x26, XK_Up},         {0x27, XK_Right},        {0x28, XK_Down},       {0x2C, XK_Print},
    {0x2D, XK_Insert},     {0x2E, XK_Delete},       {0x5B, XK_Super_L},    {0x5C, XK_Super_R},
    {0x5D, XK_Menu},       {0x6A, XK_KP_Multiply},  {0x6B, XK_KP_Add},     {0x6D, XK_KP_Subtract},
    {0x6E, XK_KP_Decimal}, {0x6F, XK_KP_Divide},    {0x90, XK_Num_Lock},   {0x91, XK_Scroll_Lock},
    {0xBA, XK_semicolon},  {0xBB, XK_equal},        {0xBC, XK_comma},      {0xBD, XK_minus},
    {0xBE, XK_period},     {0xBF, XK_slash},        {0xC0, XK_grave},      {0xDB, XK_bracketleft},
    {0xDC, XK_backslash},  {0xDD, XK_bracketright}, {0xDE, XK_apostrophe},
};

// Keys that the lookup from keysym also accepts, beside the table above.
constexpr KeyPair keysymAliases[] = {
    {0x0D, XK_KP_Enter},  {0x09, XK_ISO_Left_Tab}, {0x10, XK_Shift_R},
    {0x11, XK_Control_R}, {0x12, XK_Alt_R},        {0x12, XK_Meta_L},
};

} // namespace

unsigned long keysymFromVirtualKey(int virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= 0x60 && virtualKey <= 0x69) // numeric keypad 0-9
        return XK_KP_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) // F1-F24
        return XK_F1 + (virtualKey - 0x70);
    for (const KeyPair& pair : namedKeys)
        if (pair.virtualKey == virtualKey)
            return pair.keysym;
    return 0; // NoSymbol
}

int virtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= XK_0 && keysym <= XK_9)
        return static_cast<int>('0' + (keysym - XK_0));
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<int>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<int>('A' + (keysym - XK_A));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return static_cast<int>(0x60 + (keysym - XK_KP_0));
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return static_cast<int>(0x70 + (keysym - XK_F1));
    for (const KeyPair& pair : namedKeys)
        if (pair.keysym == keysym)
            return pair.virtualKey;
    for (const KeyPair& pair : keysymAliases)
        if (pair.keysym == keysym)
            return pair.virtualKey;
    return 0;
}
