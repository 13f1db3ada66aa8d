#pragma once

#include "platform/sharedmemory.h"

#include <memory>

namespace klavoro {

// Named blocks kept in this process; two instances with the same name see
// the same bytes, like two processes mapping one block.
class FakeSharedMemory : public SharedMemory {
public:
    // Forgets every block (between tests).
    static void removeAll();
    // A block as another process would see it; empty when there is none.
    static QByteArray peek(const QString& name);

    bool openExisting(const QString& name) override;
    bool create(const QString& name, int size) override;
    bool isOpen() const override { return m_block != nullptr; }
    bool write(int offset, const QByteArray& bytes) override;
    QByteArray read(int offset, int size) const override;
    bool flush() override { return m_block != nullptr; }
    bool close() override;
    int flushes = 0;

private:
    std::shared_ptr<QByteArray> m_block;
};

} // namespace klavoro
