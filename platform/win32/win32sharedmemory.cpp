#include "platform/win32/win32sharedmemory.h"

#include "platform/win32/win32handles.h"

#include <cstring>

namespace klavoro::win32 {

Win32SharedMemory::~Win32SharedMemory() {
    close();
}

bool Win32SharedMemory::map(HANDLE mapping, size_t size) {
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
    if (!view) {
        CloseHandle(mapping);
        return false;
    }
    if (size == 0) {
        MEMORY_BASIC_INFORMATION info{};
        if (!VirtualQuery(view, &info, sizeof info) || info.RegionSize == 0) {
            UnmapViewOfFile(view);
            CloseHandle(mapping);
            return false;
        }
        size = info.RegionSize;
    }
    m_mapping = mapping;
    m_data = static_cast<unsigned char*>(view);
    m_size = size;
    return true;
}

bool Win32SharedMemory::openExisting(const QString& name) {
    close();
    if (name.isEmpty()) return false;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, toWide(name).c_str());
    return mapping && map(mapping, 0);
}

bool Win32SharedMemory::create(const QString& name, int size) {
    close();
    if (name.isEmpty() || size <= 0) return false;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        DWORD(size), toWide(name).c_str());
    if (!mapping) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mapping);
        return false;
    }
    // A new mapping of the paging file is zero-filled.
    return map(mapping, size_t(size));
}

bool Win32SharedMemory::write(int offset, const QByteArray& bytes) {
    if (!m_data || offset < 0 || size_t(offset) + size_t(bytes.size()) > m_size) return false;
    std::memcpy(m_data + offset, bytes.constData(), size_t(bytes.size()));
    return true;
}

QByteArray Win32SharedMemory::read(int offset, int size) const {
    if (!m_data || offset < 0 || size < 0 || size_t(offset) + size_t(size) > m_size) return {};
    return QByteArray(reinterpret_cast<const char*>(m_data + offset), size);
}

bool Win32SharedMemory::flush() {
    return m_data && FlushViewOfFile(m_data, m_size);
}

bool Win32SharedMemory::close() {
    if (!m_data) return false;
    const bool ok = UnmapViewOfFile(m_data);
    CloseHandle(m_mapping);
    m_data = nullptr;
    m_mapping = nullptr;
    m_size = 0;
    return ok;
}

} // namespace klavoro::win32
