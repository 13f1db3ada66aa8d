#pragma once

#include "platform/hotkeys.h"

#include <QHash>
#include <QSet>

namespace klavoro {

// Hot keys for unit tests: press() plays the role of the user.
class FakeHotKeys : public HotKeys {
public:
    struct Key {
        HotKeyReceiver* receiver = nullptr;
        int modifiers = 0;
        int vk = 0;
    };
    // Key combinations "another program" holds: registering them fails.
    QSet<QPair<int, int>> takenByOther; // (modifiers, vk)

    int addAtom(const QString& name) override;
    bool deleteAtom(int atom) override { return m_atoms.remove(m_atoms.key(atom)) > 0; }
    HotKeyResult registerHotKey(HotKeyReceiver* receiver, int id, int modifiers, int vk) override;
    bool unregisterHotKey(int id) override { return m_keys.remove(id) > 0; }

    const QHash<int, Key>& registered() const { return m_keys; }
    QHash<QString, int> atoms() const { return m_atoms; }
    // The user presses the combination; true when a registered key took it.
    bool press(int modifiers, int vk);

private:
    QHash<int, Key> m_keys;
    QHash<QString, int> m_atoms;
    int m_nextAtom = 0xC000;
};

} // namespace klavoro
