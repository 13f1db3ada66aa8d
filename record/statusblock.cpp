#include "record/statusblock.h"

#include "platform/sharedmemory.h"
#include "store/sjis.h"

namespace klavoro {

QByteArray statusRecord(const QString& text) {
    constexpr int kTextBytes = kStatusBlockSize - 4;
    QByteArray bytes =
        toShiftJis(text.leftJustified(kTextBytes, QLatin1Char(' '))).left(kTextBytes);
    if (bytes.size() < kTextBytes) bytes.append(kTextBytes - bytes.size(), ' ');
    return QByteArray(4, '\0') + bytes;
}

bool StatusBlock::open(const QString& name) {
    if (!m_memory) return false;
    if (m_memory->openExisting(name)) return true;
    if (!m_memory->create(name, kStatusBlockSize)) return false;
    return m_memory->write(0, QByteArray(kStatusBlockSize, '\0')) && m_memory->flush();
}

bool StatusBlock::publish(const QString& text) {
    if (!m_memory || !m_memory->isOpen()) return false;
    return m_memory->write(0, statusRecord(text)) && m_memory->flush();
}

bool StatusBlock::close() {
    return m_memory && m_memory->close();
}

} // namespace klavoro
