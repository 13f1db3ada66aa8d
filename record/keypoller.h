#pragma once

#include "platform/keystate.h"
#include "record/inputmessage.h"
#include "record/modifierflags.h"

#include <QString>

#include <array>
#include <functional>

namespace klavoro {

class Desktop;

// Milliseconds of the monotonic clock, wrapping at 32 bits (the tick count).
quint32 tickCount();

// Finds key and button transitions by comparing the key states of two polls.
// Keeps the previous state, the current state and the transition of every
// named key: states are 1 (down) or -1 (up), transition = previous - current,
// so -2 is a press and +2 a release since the previous poll.
class KeyPoller {
public:
    struct Row {
        qint32 previous = 0;
        qint32 current = 0;
        qint32 transition = 0;
    };

    KeyPoller(KeyState& keys, Desktop& desktop, std::function<quint32()> clock = tickCount);

    // One poll: updates the table and fills `record` (wParam = key code of
    // the change, lParam 0, time, pointer position). Returns the event kind,
    // "MV" when nothing changed, or the empty name when `updateOnly` is set.
    QString poll(bool updateOnly, InputMessage& record);

    // Polls and then samples Alt, Ctrl and Shift from the poll, as the input timer does.
    QString tick(InputMessage& record);
    const ModifierFlags& modifiers() const { return m_modifiers; }

    // 1 when the key is down or was pressed since it was last read, else 0.
    // Asking about the left button (1) while it is down stamps the time.
    int isKeyDown(int vk);
    // 16-digit stamp of the last isKeyDown(1) that found the button down; empty when cleared.
    QString lastLeftStamp() const { return m_lastLeftStamp; }
    void clearLastLeftStamp() { m_lastLeftStamp.clear(); }

    const Row& row(int vk) const { return m_table[vk & 0xFF]; }

private:
    KeyState& m_keys;
    Desktop& m_desktop;
    std::function<quint32()> m_clock;
    std::array<Row, 256> m_table{};
    KeyStates m_states{};
    ModifierFlags m_modifiers;
    QString m_lastLeftStamp;
};

} // namespace klavoro
