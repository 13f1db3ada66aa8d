#include "platform/x11/posixsharedmemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace klavoro::x11 {
namespace {
QByteArray posixName(const QString& name) {
    QByteArray n = name.toUtf8();
    return n.startsWith('/') ? n : '/' + n;
}
} // namespace

PosixSharedMemory::~PosixSharedMemory() {
    close();
}

bool PosixSharedMemory::map(int fd, const QString& name, size_t size) {
    void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED) return false;
    m_data = static_cast<unsigned char*>(data);
    m_size = size;
    m_name = posixName(name);
    return true;
}

bool PosixSharedMemory::openExisting(const QString& name) {
    close();
    if (name.isEmpty()) return false;
    const int fd = shm_open(posixName(name).constData(), O_RDWR, 0);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || st.st_size <= 0) {
        ::close(fd);
        return false;
    }
    return map(fd, name, static_cast<size_t>(st.st_size));
}

bool PosixSharedMemory::create(const QString& name, int size) {
    close();
    if (name.isEmpty() || size <= 0) return false;
    const QByteArray n = posixName(name);
    const int fd = shm_open(n.constData(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    if (ftruncate(fd, size) != 0) {
        ::close(fd);
        shm_unlink(n.constData());
        return false;
    }
    if (!map(fd, name, static_cast<size_t>(size))) {
        shm_unlink(n.constData());
        return false;
    }
    m_created = true;
    return true;
}

bool PosixSharedMemory::write(int offset, const QByteArray& bytes) {
    if (!m_data || offset < 0 ||
        static_cast<size_t>(offset) + static_cast<size_t>(bytes.size()) > m_size)
        return false;
    std::memcpy(m_data + offset, bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

QByteArray PosixSharedMemory::read(int offset, int size) const {
    if (!m_data || offset < 0 || size < 0 ||
        static_cast<size_t>(offset) + static_cast<size_t>(size) > m_size)
        return {};
    return QByteArray(reinterpret_cast<const char*>(m_data + offset), size);
}

bool PosixSharedMemory::flush() {
    return m_data && msync(m_data, m_size, MS_SYNC) == 0;
}

bool PosixSharedMemory::close() {
    if (!m_data) return false;
    const bool ok = munmap(m_data, m_size) == 0;
    if (m_created) shm_unlink(m_name.constData());
    m_data = nullptr;
    m_size = 0;
    m_created = false;
    return ok;
}

bool PosixSharedMemory::remove(const QString& name) {
    return shm_unlink(posixName(name).constData()) == 0;
}

} // namespace klavoro::x11
