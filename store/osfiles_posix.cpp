#include "store/osfiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace klavoro {

QString errnoText(int err) {
    return QString::number(err) + ' ' + QString::fromLocal8Bit(strerror(err));
}

namespace {

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QByteArray& dir) {
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool replaceFileWith(const QString& path, const QByteArray& bytes, bool sync, QString* error) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray dir = QFile::encodeName(info.absolutePath());

    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && ::access(target.constData(), W_OK) != 0) {
        // A write-protected file stays as it is, as deleting it would fail.
        *error = errnoText(errno) + " : " + path;
        return false;
    }
    QByteArray tmp = dir + "/." + QFile::encodeName(info.fileName()) + ".tmpXXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        *error = errnoText(errno) + " : " + path;
        return false;
    }
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    bool ok = writeAll(fd, bytes.constData(), bytes.size()) && (!sync || ::fsync(fd) == 0);
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tmp.constData(), target.constData()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmp.constData());
        *error = errnoText(err) + " : " + path;
        return false;
    }
    if (sync) syncFolder(dir);
    return true;
}

bool syncFileToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool renameWithoutCopy(const QString& from, const QString& to) {
    if (QFileInfo::exists(to)) return false;
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (errno == EXDEV) return QFile::rename(from, to);
    return false;
}

bool renameOver(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool makeFolder(const QString& path, QString* error) {
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0 && errno != EEXIST) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!QFileInfo(path).isDir()) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(ENOTDIR));
        return false;
    }
    return true;
}

} // namespace klavoro
