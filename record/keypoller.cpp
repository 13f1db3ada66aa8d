#include "record/keypoller.h"

#include "describe/keynames.h"
#include "platform/desktop.h"
#include "record/eventkind.h"
#include "store/imagename.h"

#include <ctime>

namespace klavoro {
namespace {
constexpr int kVkLeft = 1;
constexpr int kVkRight = 2;
constexpr int kVkMiddle = 4;
constexpr int kVkHalfWidth = 243;
constexpr int kVkFullWidth = 244;

QString downName(int vk) {
    switch (vk) {
    case kVkLeft:
        return kind::LeftDown;
    case kVkRight:
        return kind::RightDown;
    case kVkMiddle:
        return kind::MiddleDown;
    default:
        return kind::KeyDown;
    }
}

QString upName(int vk) {
    switch (vk) {
    case kVkLeft:
        return kind::LeftUp;
    case kVkRight:
        return kind::RightUp;
    case kVkMiddle:
        return kind::MiddleUp;
    default:
        return kind::KeyUp;
    }
}
} // namespace

quint32 tickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<quint32>(static_cast<quint64>(ts.tv_sec) * 1000u +
                                static_cast<quint64>(ts.tv_nsec) / 1000000u);
}

KeyPoller::KeyPoller(KeyState& keys, Desktop& desktop, std::function<quint32()> clock)
    : m_keys(keys), m_desktop(desktop), m_clock(std::move(clock)) {}

QString KeyPoller::poll(bool updateOnly, InputMessage& record) {
    record.pt = m_desktop.pointerPosition();
    m_keys.readAll(m_states);
    const auto& names = KeyNames();
    int special = 0;
    for (int vk = 1; vk < 256; ++vk) {
        if (names[vk].isEmpty()) continue;
        const quint16 value = m_states[vk];
        Row& r = m_table[vk];
        r.current = value != 0 ? 1 : -1;
        r.transition = r.previous - r.current;
        r.previous = r.current;
        // The half-width/full-width key reports a tap between polls only
        // through its pressed-since bit.
        if ((value & kKeyWasPressed) && vk == kVkHalfWidth) special = -1;
        if ((value & kKeyWasPressed) && vk == kVkFullWidth) special = 1;
    }
    if (updateOnly) return {};

    QString name;
    int code = 0;
    for (int vk = 1; vk < 256; ++vk) {
        const qint32 t = m_table[vk].transition;
        if (t == -2)
            name = downName(vk);
        else if (t == 2)
            name = upName(vk);
        if (t != 0) code = vk;
    }
    if (special != 0) {
        name = kind::KeyDown;
        code = special < 0 ? kVkHalfWidth : kVkFullWidth;
    }
    if (name.isEmpty()) name = kind::Move;
    record.wParam = static_cast<quint32>(code);
    record.lParam = 0;
    record.time = m_clock();
    return name;
}

QString KeyPoller::tick(InputMessage& record) {
    const QString name = poll(false, record);
    m_modifiers.alt = m_table[18].current == 1;
    m_modifiers.ctrl = m_table[17].current == 1;
    m_modifiers.shift = m_table[16].current == 1;
    return name;
}

int KeyPoller::isKeyDown(int vk) {
    const bool down = m_keys.asyncKeyState(vk) != 0;
    if (down && vk == kVkLeft) m_lastLeftStamp = timeStampNow();
    return down ? 1 : 0;
}

} // namespace klavoro
