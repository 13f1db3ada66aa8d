#pragma once

#include <QString>

namespace klavoro {

// Modifier flags of a hot key.
constexpr int kModAlt = 1;
constexpr int kModControl = 2;
constexpr int kModShift = 4;

enum class HotKeyResult {
    Registered,
    TakenByOther, // another program holds the same key combination
    Failed,       // no display, unknown key, or the id is in use
};

class HotKeyReceiver {
public:
    virtual ~HotKeyReceiver() = default;
    virtual void hotKey(int id) = 0;
};

// Desktop-wide hot keys: the key reaches the receiver whichever window has focus.
class HotKeys {
public:
    virtual ~HotKeys() = default;
    // A desktop-wide number for a name; the same name gives the same number. 0 on failure.
    virtual int addAtom(const QString& name) = 0;
    virtual bool deleteAtom(int atom) = 0;
    // `vk` is a virtual-key code, `modifiers` a combination of kMod*.
    virtual HotKeyResult registerHotKey(HotKeyReceiver* receiver, int id, int modifiers,
                                        int vk) = 0;
    virtual bool unregisterHotKey(int id) = 0;
};

} // namespace klavoro
