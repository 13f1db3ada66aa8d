#pragma once

#include <QByteArray>
#include <QString>

namespace klavoro {

// One named block of memory that other processes can open by its name.
class SharedMemory {
public:
    virtual ~SharedMemory() = default;
    // Maps an existing block; false when there is none (or it cannot be mapped).
    virtual bool openExisting(const QString& name) = 0;
    // Creates the block with `size` zero bytes and maps it.
    virtual bool create(const QString& name, int size) = 0;
    virtual bool isOpen() const = 0;
    // Copies bytes into the mapped block at `offset`; false when they do not fit.
    virtual bool write(int offset, const QByteArray& bytes) = 0;
    virtual QByteArray read(int offset, int size) const = 0;
    // Makes written bytes visible to readers.
    virtual bool flush() = 0;
    // Unmaps the block; the block itself stays for other processes.
    virtual bool close() = 0;
};

} // namespace klavoro
