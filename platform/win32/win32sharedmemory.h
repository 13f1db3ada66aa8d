#pragma once

#include "platform/sharedmemory.h"

#include <windows.h>

namespace klavoro::win32 {

// A named file mapping backed by the paging file, in the session's namespace.
// The block lives while any process holds a handle to it: when the creator
// closes it and no reader has it open, it is gone, as on the design's system.
// A view of an opened block is a whole number of pages: reads and writes may
// reach up to the page's end, not only the creator's size.
class Win32SharedMemory : public SharedMemory {
public:
    Win32SharedMemory() = default;
    ~Win32SharedMemory() override;
    Win32SharedMemory(const Win32SharedMemory&) = delete;
    Win32SharedMemory& operator=(const Win32SharedMemory&) = delete;

    bool openExisting(const QString& name) override;
    // False when a block of that name exists already (another copy runs).
    bool create(const QString& name, int size) override;
    bool isOpen() const override { return m_data != nullptr; }
    bool write(int offset, const QByteArray& bytes) override;
    QByteArray read(int offset, int size) const override;
    bool flush() override;
    bool close() override;

private:
    bool map(HANDLE mapping, size_t size);

    HANDLE m_mapping = nullptr;
    unsigned char* m_data = nullptr;
    size_t m_size = 0;
};

} // namespace klavoro::win32
