#include "platform/fake/fakesharedmemory.h"

#include <QHash>

namespace klavoro {
namespace {
QHash<QString, std::shared_ptr<QByteArray>>& blocks() {
    static QHash<QString, std::shared_ptr<QByteArray>> all;
    return all;
}
} // namespace

void FakeSharedMemory::removeAll() {
    blocks().clear();
}

QByteArray FakeSharedMemory::peek(const QString& name) {
    const auto block = blocks().value(name);
    return block ? *block : QByteArray();
}

bool FakeSharedMemory::openExisting(const QString& name) {
    m_block = blocks().value(name);
    return m_block != nullptr;
}

bool FakeSharedMemory::create(const QString& name, int size) {
    if (name.isEmpty() || size <= 0) return false;
    m_block = std::make_shared<QByteArray>(size, '\0');
    blocks().insert(name, m_block);
    return true;
}

bool FakeSharedMemory::write(int offset, const QByteArray& bytes) {
    if (!m_block || offset < 0 || offset + bytes.size() > m_block->size()) return false;
    m_block->replace(offset, bytes.size(), bytes);
    return true;
}

QByteArray FakeSharedMemory::read(int offset, int size) const {
    if (!m_block || offset < 0 || size < 0 || offset + size > m_block->size()) return {};
    return m_block->mid(offset, size);
}

bool FakeSharedMemory::close() {
    const bool wasOpen = m_block != nullptr;
    m_block.reset();
    return wasOpen;
}

} // namespace klavoro
