// Qt first: Xlib defines macros (Bool, Status) that break Qt headers.
#include <QSocketNotifier>

#include "platform/x11/x11hotkeys.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/keysym.h>

namespace klavoro::x11 {
namespace {
constexpr unsigned int kModifierBits = ShiftMask | ControlMask | Mod1Mask;
}

X11HotKeys::X11HotKeys() {
    m_display = openDisplay(&m_error);
    if (!m_display) return;
    m_keys.load(m_display);
    m_lockMasks = LockMask | modifierMaskOf(m_display, XK_Num_Lock) |
                  modifierMaskOf(m_display, XK_Scroll_Lock);
}

X11HotKeys::~X11HotKeys() {
    if (m_display) {
        const auto grabs = m_grabs;
        for (const Grab& g : grabs)
            ungrab(g);
        m_notifier.reset();
        XCloseDisplay(m_display);
    }
}

int X11HotKeys::addAtom(const QString& name) {
    if (!m_display || name.isEmpty()) return 0;
    return static_cast<int>(XInternAtom(m_display, name.toUtf8().constData(), False));
}

QList<unsigned int> X11HotKeys::lockVariants() const {
    // Every subset of the lock modifier bits.
    QList<unsigned int> variants{0};
    for (unsigned int bit = 1; bit != 0 && bit <= m_lockMasks; bit <<= 1) {
        if (!(m_lockMasks & bit)) continue;
        const qsizetype n = variants.size();
        for (qsizetype i = 0; i < n; ++i)
            variants.append(variants[i] | bit);
    }
    return variants;
}

void X11HotKeys::ungrab(const Grab& grab) {
    XErrorTrap trap(m_display);
    for (const unsigned int locks : lockVariants())
        XUngrabKey(m_display, static_cast<int>(grab.keycode), grab.modifiers | locks,
                   DefaultRootWindow(m_display));
    trap.failed();
}

HotKeyResult X11HotKeys::registerHotKey(HotKeyReceiver* receiver, int id, int modifiers, int vk) {
    if (!m_display || !receiver) return HotKeyResult::Failed;
    const unsigned keycode = m_keys.keycodeOf(vk);
    if (keycode == 0) return HotKeyResult::Failed;
    unregisterHotKey(id);
    Grab grab{receiver, keycode, 0};
    if (modifiers & kModAlt) grab.modifiers |= Mod1Mask;
    if (modifiers & kModControl) grab.modifiers |= ControlMask;
    if (modifiers & kModShift) grab.modifiers |= ShiftMask;

    XErrorTrap trap(m_display);
    for (const unsigned int locks : lockVariants())
        XGrabKey(m_display, static_cast<int>(keycode), grab.modifiers | locks,
                 DefaultRootWindow(m_display), False, GrabModeAsync, GrabModeAsync);
    if (trap.failed()) {
        ungrab(grab); // releases only the variants we did get
        return trap.lastErrorCode() == BadAccess ? HotKeyResult::TakenByOther
                                                 : HotKeyResult::Failed;
    }
    m_grabs.insert(id, grab);
    if (!m_notifier) {
        m_notifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readEvents(); });
    }
    readEvents(); // the sync above may have queued events already
    return HotKeyResult::Registered;
}

bool X11HotKeys::unregisterHotKey(int id) {
    const auto it = m_grabs.constFind(id);
    if (it == m_grabs.constEnd() || !m_display) return false;
    ungrab(*it);
    m_grabs.remove(id);
    return true;
}

void X11HotKeys::readEvents() {
    while (XPending(m_display) > 0) {
        XEvent ev;
        XNextEvent(m_display, &ev);
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            continue;
        }
        if (ev.type != KeyPress) continue;
        const unsigned int mods = ev.xkey.state & kModifierBits;
        for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
            if (it->keycode != ev.xkey.keycode || it->modifiers != mods) continue;
            // The receiver may unregister keys: do not keep the iterator across the call.
            HotKeyReceiver* receiver = it->receiver;
            const int id = it.key();
            receiver->hotKey(id);
            break;
        }
    }
}

} // namespace klavoro::x11
