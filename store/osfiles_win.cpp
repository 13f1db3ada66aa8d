#include "store/osfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstring>
#include <windows.h>

namespace klavoro {
namespace {

std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

QString lastErrorText(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString out = QString::number(code);
    if (text) {
        out += ' ' + QString::fromWCharArray(text).trimmed();
        LocalFree(text);
    }
    return out;
}

// The same shape as mkstemp's: six letters and digits.
QString randomSuffix() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString s;
    for (int i = 0; i < 6; ++i)
        s += QChar(kChars[QRandomGenerator::global()->bounded(62)]);
    return s;
}

} // namespace

QString errnoText(int err) {
    return QString::number(err) + ' ' + QString::fromLocal8Bit(std::strerror(err));
}

bool replaceFileWith(const QString& path, const QByteArray& bytes, bool sync, QString* error) {
    const QFileInfo info(path);
    const std::wstring target = wide(info.absoluteFilePath());
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        // A write-protected file stays as it is.
        *error = lastErrorText(ERROR_ACCESS_DENIED) + " : " + path;
        return false;
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring tmp;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        tmp = wide(info.absolutePath() + "/." + info.fileName() + ".tmp" + randomSuffix());
        file = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        *error = lastErrorText(GetLastError()) + " : " + path;
        return false;
    }
    bool ok = true;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - done, 1 << 30));
        ok = WriteFile(file, bytes.constData() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    if (ok && sync) ok = FlushFileBuffers(file);
    DWORD err = ok ? 0 : GetLastError();
    CloseHandle(file);
    if (ok && !MoveFileExW(tmp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | (sync ? MOVEFILE_WRITE_THROUGH : 0))) {
        ok = false;
        err = GetLastError();
    }
    if (!ok) {
        DeleteFileW(tmp.c_str());
        *error = lastErrorText(err) + " : " + path;
    }
    return ok;
}

bool syncFileToDisk(const QString& path) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

bool renameWithoutCopy(const QString& from, const QString& to) {
    if (QFileInfo::exists(to)) return false;
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0)) return true;
    if (GetLastError() == ERROR_NOT_SAME_DEVICE) return QFile::rename(from, to);
    return false;
}

bool renameOver(const QString& from, const QString& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool makeFolder(const QString& path, QString* error) {
    if (!CreateDirectoryW(wide(path).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
        if (error) *error = lastErrorText(GetLastError());
        return false;
    }
    if (!QFileInfo(path).isDir()) {
        if (error) *error = lastErrorText(ERROR_DIRECTORY);
        return false;
    }
    return true;
}

} // namespace klavoro
