#include "platform/fake/fakehotkeys.h"

namespace klavoro {

int FakeHotKeys::addAtom(const QString& name) {
    if (name.isEmpty()) return 0;
    if (!m_atoms.contains(name)) m_atoms.insert(name, m_nextAtom++);
    return m_atoms.value(name);
}

HotKeyResult FakeHotKeys::registerHotKey(HotKeyReceiver* receiver, int id, int modifiers, int vk) {
    if (!receiver || vk <= 0 || vk > 255) return HotKeyResult::Failed;
    if (takenByOther.contains({modifiers, vk})) return HotKeyResult::TakenByOther;
    m_keys.insert(id, {receiver, modifiers, vk});
    return HotKeyResult::Registered;
}

bool FakeHotKeys::press(int modifiers, int vk) {
    for (auto it = m_keys.cbegin(); it != m_keys.cend(); ++it)
        if (it->modifiers == modifiers && it->vk == vk) {
            // The receiver may unregister keys; do not hold the iterator across the call.
            HotKeyReceiver* receiver = it->receiver;
            const int id = it.key();
            receiver->hotKey(id);
            return true;
        }
    return false;
}

} // namespace klavoro
