#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace klavoro {

class HotKeyReceiver;
class HotKeys;

// The recording hot keys Ctrl+Shift+`hotkey0` .. `hotkey4`.
class HotKeySet {
public:
    enum Action { Pause = 0, Manual = 1, Area = 2, End = 3, FrontBack = 4 };
    static constexpr int kCount = 5;

    explicit HotKeySet(HotKeys* keys) : m_keys(keys) {}

    // Registers every key whose setting is not empty, each with its atom;
    // nothing in debug mode. The texts of keys that could not be had (another
    // program holds them) go to `failures`.
    void registerAll(HotKeyReceiver* receiver, bool debug, QStringList* failures);
    // Removes what registerAll set up (nothing when it registered nothing).
    void unregisterAll();
    bool isRegistered() const { return m_registered; }

    // The action of a hot-key identifier; -1 for identifiers not ours.
    int actionOf(int id) const;
    // True when `vk` with Ctrl+Shift is one of the registered keys.
    bool isHotKeyKey(int vk) const;

    static int idOf(int action) { return kFirstId + action; }
    // The virtual key of a setting: the code of its first character; 0 for none.
    static int keyOf(const QString& setting);

private:
    static constexpr int kFirstId = 0xB000;
    HotKeys* m_keys;
    bool m_registered = false;
    std::array<int, kCount> m_vk{};
    std::array<int, kCount> m_atoms{};
};

// The label of a hot key's action in the settings dialog ("記録終了", ...).
QString hotKeyLabel(int action);

} // namespace klavoro
