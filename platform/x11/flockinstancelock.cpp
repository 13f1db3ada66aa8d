#include "platform/x11/flockinstancelock.h"

#include "store/programfolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace klavoro::x11 {

FlockInstanceLock::FlockInstanceLock(QString path) : m_path(std::move(path)) {}

FlockInstanceLock::~FlockInstanceLock() {
    release();
}

QString FlockInstanceLock::displayKey(const QString& display) {
    QString d = display.trimmed();
    // The screen number does not matter: one program per display.
    const qsizetype colon = d.lastIndexOf(':');
    if (colon >= 0) {
        const qsizetype dot = d.indexOf('.', colon);
        if (dot >= 0) d.truncate(dot);
    }
    if (d.startsWith(':')) d.remove(0, 1);
    QString key;
    for (const QChar c : d)
        key += (c.isLetterOrNumber() || c == '-') ? c : QChar('_');
    return key.isEmpty() ? QStringLiteral("nodisplay") : key;
}

QString FlockInstanceLock::defaultPath() {
    const QString key = displayKey(qEnvironmentVariable("DISPLAY"));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("klavoro-%1.lock").arg(key));
    return programFolder() + QStringLiteral(".klavoro-%1-%2.lock").arg(getuid()).arg(key);
}

bool FlockInstanceLock::acquire() {
    if (m_fd >= 0) return true;
    m_error.clear();
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error =
            QStringLiteral("%1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        if (errno != EWOULDBLOCK)
            m_error =
                QStringLiteral("%1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void FlockInstanceLock::release() {
    if (m_fd < 0) return;
    // The file stays: removing it would let a third start lock a new file
    // while a second still waits on the old one.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace klavoro::x11
