#pragma once

#include "platform/hotkeys.h"
#include "platform/x11/vkeys.h"

#include <QHash>

#include <memory>

class QSocketNotifier;

namespace klavoro::x11 {

// Hot keys as passive key grabs on the root window. Each combination is
// grabbed once for every state of the lock keys (Caps, Num, Scroll Lock), or
// the key would be dead while one of them is on.
class X11HotKeys : public HotKeys {
public:
    X11HotKeys();
    ~X11HotKeys() override;
    X11HotKeys(const X11HotKeys&) = delete;
    X11HotKeys& operator=(const X11HotKeys&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    QString errorText() const { return m_error; }

    int addAtom(const QString& name) override;
    // X atoms live until the server resets; nothing to delete.
    bool deleteAtom(int atom) override { return atom != 0; }
    HotKeyResult registerHotKey(HotKeyReceiver* receiver, int id, int modifiers, int vk) override;
    bool unregisterHotKey(int id) override;

private:
    struct Grab {
        HotKeyReceiver* receiver = nullptr;
        unsigned keycode = 0;
        unsigned int modifiers = 0;
    };
    QList<unsigned int> lockVariants() const;
    void ungrab(const Grab& grab);
    void readEvents();

    Display* m_display = nullptr;
    QString m_error;
    KeycodeMap m_keys;
    unsigned int m_lockMasks = 0;
    QHash<int, Grab> m_grabs;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace klavoro::x11
