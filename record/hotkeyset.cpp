#include "record/hotkeyset.h"

#include "platform/hotkeys.h"
#include "record/hotkeynames.h"
#include "store/settings.h"

namespace klavoro {

namespace {
const QString& settingOf(const Settings& s, int action) {
    switch (action) {
    case HotKeySet::Pause:
        return s.hotkey0;
    case HotKeySet::Manual:
        return s.hotkey1;
    case HotKeySet::Area:
        return s.hotkey2;
    case HotKeySet::End:
        return s.hotkey3;
    default:
        return s.hotkey4;
    }
}
} // namespace

QString hotKeyLabel(int action) {
    switch (action) {
    case HotKeySet::Pause:
        return QStringLiteral("キャプチャー一時停止");
    case HotKeySet::Manual:
        return QStringLiteral("手動キャプチャー");
    case HotKeySet::Area:
        return QStringLiteral("範囲選択 開始/終了");
    case HotKeySet::End:
        return QStringLiteral("記録終了");
    case HotKeySet::FrontBack:
        return QStringLiteral("本体を前面/背面");
    default:
        return {};
    }
}

int HotKeySet::keyOf(const QString& setting) {
    const QString t = setting.trimmed();
    return t.isEmpty() ? 0 : t.at(0).toUpper().unicode();
}

void HotKeySet::registerAll(HotKeyReceiver* receiver, bool debug, QStringList* failures) {
    m_vk.fill(0);
    if (debug || !m_keys) return;
    const Settings& s = conf();
    for (int action = 0; action < kCount; ++action) {
        const int vk = keyOf(settingOf(s, action));
        if (vk == 0) continue;
        m_atoms[action] = m_keys->addAtom(hotKeyAtomName(action));
        const HotKeyResult r =
            m_keys->registerHotKey(receiver, idOf(action), kModControl | kModShift, vk);
        if (r == HotKeyResult::Registered) {
            m_vk[action] = vk;
        } else if (failures) {
            failures->append(
                QStringLiteral("Ctrl+Shift+%1（%2）").arg(QChar(vk)).arg(hotKeyLabel(action)));
        }
        m_registered = true;
    }
}

void HotKeySet::unregisterAll() {
    if (!m_registered || !m_keys) return;
    for (int action = 0; action < kCount; ++action) {
        m_keys->unregisterHotKey(idOf(action));
        if (m_atoms[action] != 0) m_keys->deleteAtom(m_atoms[action]);
        m_atoms[action] = 0;
    }
    m_vk.fill(0);
    m_registered = false;
}

int HotKeySet::actionOf(int id) const {
    const int action = id - kFirstId;
    return action >= 0 && action < kCount ? action : -1;
}

bool HotKeySet::isHotKeyKey(int vk) const {
    for (int k : m_vk)
        if (k != 0 && k == vk) return true;
    return false;
}

} // namespace klavoro
