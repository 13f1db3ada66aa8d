#include "platform/x11/vkeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace klavoro::x11 {

int vkOfKeysym(XId s) {
    if (s >= XK_a && s <= XK_z) return 'A' + static_cast<int>(s - XK_a);
    if (s >= XK_A && s <= XK_Z) return 'A' + static_cast<int>(s - XK_A);
    if (s >= XK_0 && s <= XK_9) return '0' + static_cast<int>(s - XK_0);
    if (s >= XK_KP_0 && s <= XK_KP_9) return 96 + static_cast<int>(s - XK_KP_0);
    if (s >= XK_F1 && s <= XK_F24) return 112 + static_cast<int>(s - XK_F1);
    switch (s) {
    case XK_Break:
        return 3;
    case XK_BackSpace:
        return 8;
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_KP_Tab:
        return 9;
    case XK_Clear:
    case XK_KP_Begin:
        return 12;
    case XK_Return:
    case XK_KP_Enter:
        return 13;
    case XK_Shift_L:
    case XK_Shift_R:
        return 16;
    case XK_Control_L:
    case XK_Control_R:
        return 17;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift:
        return 18;
    case XK_Pause:
        return 19;
    case XK_Caps_Lock:
        return 20;
    case XK_Kanji:
        return 25;
    case XK_Escape:
        return 27;
    case XK_Henkan_Mode:
        return 28;
    case XK_Muhenkan:
        return 29;
    case XK_space:
    case XK_KP_Space:
        return 32;
    case XK_Prior:
    case XK_KP_Prior:
        return 33;
    case XK_Next:
    case XK_KP_Next:
        return 34;
    case XK_End:
    case XK_KP_End:
        return 35;
    case XK_Home:
    case XK_KP_Home:
        return 36;
    case XK_Left:
    case XK_KP_Left:
        return 37;
    case XK_Up:
    case XK_KP_Up:
        return 38;
    case XK_Right:
    case XK_KP_Right:
        return 39;
    case XK_Down:
    case XK_KP_Down:
        return 40;
    case XK_Select:
        return 41;
    case XK_Execute:
        return 43;
    case XK_Print:
    case XK_Sys_Req:
        return 44;
    case XK_Insert:
    case XK_KP_Insert:
        return 45;
    case XK_Delete:
    case XK_KP_Delete:
        return 46;
    case XK_Help:
        return 47;
    case XK_Super_L:
        return 91;
    case XK_Super_R:
        return 92;
    case XK_Menu:
        return 93;
    case XK_KP_Multiply:
        return 106;
    case XK_KP_Add:
        return 107;
    case XK_KP_Separator:
        return 108;
    case XK_KP_Subtract:
        return 109;
    case XK_KP_Decimal:
        return 110;
    case XK_KP_Divide:
        return 111;
    case XK_Num_Lock:
        return 144;
    case XK_Scroll_Lock:
        return 145;
    case XK_colon:
        return 186;
    case XK_semicolon:
    case XK_equal:
    case XK_plus:
        return 187;
    case XK_comma:
        return 188;
    case XK_minus:
        return 189;
    case XK_period:
        return 190;
    case XK_slash:
        return 191;
    case XK_at:
    case XK_grave:
        return 192;
    case XK_bracketleft:
        return 219;
    case XK_backslash:
    case XK_yen:
    case XK_bar:
        return 220;
    case XK_bracketright:
        return 221;
    case XK_asciicircum:
    case XK_apostrophe:
        return 222;
    case XK_Eisu_toggle:
        return 240;
    case XK_Hiragana_Katakana:
    case XK_Katakana:
    case XK_Hiragana:
        return 242;
    case XK_Zenkaku_Hankaku:
    case XK_Hankaku:
        return 243;
    case XK_Zenkaku:
        return 244;
    default:
        return 0;
    }
}

void KeycodeMap::load(Display* dpy) {
    m_plain.fill(0);
    m_numLock.fill(0);
    m_keypad.fill(false);
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(dpy, &minCode, &maxCode);
    int perCode = 0;
    KeySym* syms =
        XGetKeyboardMapping(dpy, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (!syms) return;
    for (int code = minCode; code <= maxCode && code < 256; ++code) {
        const KeySym* row = syms + (code - minCode) * perCode;
        const KeySym plain = perCode > 0 ? row[0] : NoSymbol;
        const KeySym shifted = perCode > 1 ? row[1] : NoSymbol;
        int vk = vkOfKeysym(plain);
        // The second backslash key of a Japanese keyboard has the underscore above it.
        if (plain == XK_backslash && shifted == XK_underscore) vk = 226;
        m_plain[code] = static_cast<unsigned char>(vk);
        m_keypad[code] = IsKeypadKey(plain);
        m_numLock[code] = static_cast<unsigned char>(
            IsKeypadKey(shifted) && vkOfKeysym(shifted) ? vkOfKeysym(shifted) : vk);
    }
    XFree(syms);
}

int KeycodeMap::vkOf(unsigned keycode, bool numLock) const {
    if (keycode > 255) return 0;
    return numLock ? m_numLock[keycode] : m_plain[keycode];
}

unsigned KeycodeMap::keycodeOf(int vk) const {
    if (vk <= 0 || vk > 255) return 0;
    for (const bool keypad : {false, true})
        for (unsigned code = 8; code < 256; ++code)
            if (m_plain[code] == vk && m_keypad[code] == keypad) return code;
    for (unsigned code = 8; code < 256; ++code)
        if (m_numLock[code] == vk) return code;
    return 0;
}

void ButtonMap::load(Display* dpy) {
    m_count = XGetPointerMapping(dpy, m_map.data(), static_cast<int>(m_map.size()));
}

int ButtonMap::logical(int physical) const {
    if (physical >= 1 && physical <= m_count) return m_map[physical - 1];
    return physical;
}

int ButtonMap::physical(int logical) const {
    for (int i = 0; i < m_count; ++i)
        if (m_map[i] == logical) return i + 1;
    return logical;
}

unsigned int modifierMaskOf(Display* dpy, XId sym) {
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map) return 0;
    unsigned int mask = 0;
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode code = map->modifiermap[mod * map->max_keypermod + i];
            if (code && XkbKeycodeToKeysym(dpy, code, 0, 0) == sym) mask |= 1u << mod;
        }
    XFreeModifiermap(map);
    return mask;
}

} // namespace klavoro::x11
