#pragma once

#include "platform/sharedmemory.h"

namespace klavoro::x11 {

// POSIX shared memory ("/" + name), mode 0600. A block this object created is
// unlinked when it closes, so it disappears like a mapping whose last
// handle was closed; a block opened from another process stays.
class PosixSharedMemory : public SharedMemory {
public:
    PosixSharedMemory() = default;
    ~PosixSharedMemory() override;
    PosixSharedMemory(const PosixSharedMemory&) = delete;
    PosixSharedMemory& operator=(const PosixSharedMemory&) = delete;

    bool openExisting(const QString& name) override;
    bool create(const QString& name, int size) override;
    bool isOpen() const override { return m_data != nullptr; }
    bool write(int offset, const QByteArray& bytes) override;
    QByteArray read(int offset, int size) const override;
    bool flush() override;
    bool close() override;

    // Removes a block by name (for tests and stale blocks).
    static bool remove(const QString& name);

private:
    bool map(int fd, const QString& name, size_t size);

    unsigned char* m_data = nullptr;
    size_t m_size = 0;
    QByteArray m_name;
    bool m_created = false;
};

} // namespace klavoro::x11
